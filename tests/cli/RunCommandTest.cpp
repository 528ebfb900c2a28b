#include "engine/RunIntegrationFixture.h"
#include "app/JobListFile.h"

#include <QProcess>

#include <signal.h>

namespace {

struct CliResult {
    int exitCode = -2; // -1 after a crash, -2 when it did not end
    QString out, err;
};

// "tavrin --run" against the local server, with the fixture's data folder.
class RunCommandCli : public RunIntegrationFixture {
protected:
    QString DefaultLog() const { return dir.filePath("appdata/Velmora/TvLog.txt"); }

    // Saves the jobs as a job list file the way the program does.
    QString SaveList(const std::vector<JobRecord> &jobs, int32_t numDLs = 3)
    {
        app.Settings().NumDLs = numDLs;
        app.Settings().LogFile.clear();
        for (const JobRecord &job : jobs)
            Add(job);
        const QString path = dir.filePath("jobs.txt");
        EXPECT_TRUE(JobListFile::SaveJobList(path, app.Settings(), app.Jobs()));
        return path;
    }

    // Runs the program; whileRunning is called once it has started.
    CliResult RunTavrin(const QString &list, const std::function<void(QProcess &)> &whileRunning = {})
    {
        QProcess process;
        process.start(TAVRIN_EXECUTABLE, {"--run", list});
        CliResult result;
        if (!process.waitForStarted(10000))
            return result;
        if (whileRunning)
            whileRunning(process);
        if (process.waitForFinished(30000))
            result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        process.kill();
        process.waitForFinished(5000);
        result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
        result.err = QString::fromLocal8Bit(process.readAllStandardError());
        return result;
    }

    // Once ready holds, Ctrl+C to the program only (never to a process group).
    static void Interrupt(QProcess &process, const std::function<bool()> &ready = [] { return true; })
    {
        for (int waited = 0; !ready() && waited < 10000; waited += 20)
            process.waitForFinished(20);
        if (process.state() == QProcess::Running)
            ::kill(pid_t(process.processId()), SIGINT);
    }

    // The summary alone on stdout.
    static void ExpectSummaryLine(const QString &out, int files, int kb)
    {
        EXPECT_TRUE(out.endsWith('\n') && out.count('\n') == 1) << out.toStdString();
        ExpectCompleted(out.trimmed(), files, kb, 30);
    }
};

} // namespace

// A list written on Windows: the output folder uses backslashes.
TEST_F(RunCommandCli, DownloadsTwentyNumberedFilesLogsThemAndPrintsTheSummary)
{
    JobRecord job = Job("/size=2000/delay=50/img#1#.jpg", "1", "20", "00", "p_");
    job.Output = dir.path() + "\\dl\\twenty";

    const CliResult result = RunTavrin(SaveList({job}, 4));

    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.err, "") << "no terminal, no live progress";
    ExpectSummaryLine(result.out, 20, 40);
    EXPECT_EQ(server.MaxOpenRequests(), 4) << "the list's slot count";

    // The log goes to the data folder's TvLog.txt.
    const QStringList log = FileLines(DefaultLog());
    EXPECT_TRUE(log.value(0).startsWith("Log file opened at ")) << log.value(0).toStdString();
    EXPECT_EQ(log.filter("File Saved: ").size(), 20);
    const QString folder = dir.filePath("dl/twenty/");
    QStringList urlLines, files;
    for (int i = 1; i <= 20; ++i) {
        const QString name = QString("img%1.jpg").arg(i, 2, 10, QChar('0'));
        urlLines << server.Url("/size=2000/delay=50/" + name) + " > p_" + name;
        files << "p_" + name;
        EXPECT_EQ(FileBytes(folder + "p_" + name), TestHttpServer::Body(0, 2000)) << i;
        EXPECT_EQ(log.filter(QRegularExpression(QRegularExpression::escape("File Saved: " + folder + "p_" + name) + " TotalKB: \\d+$")).size(), 1);
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), files) << "nothing else, no spool file";
    EXPECT_EQ(log.filter(" > "), urlLines);
}

TEST_F(RunCommandCli, ARunThatDidNotSaveEveryFileExitsWithOne)
{
    const CliResult result =
        RunTavrin(SaveList({Job("/size=10/ok.jpg"), Job("/status=404/gone.jpg"), Job("/status=302/moved.jpg")}));

    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "");
    ExpectSummaryLine(result.out, 1, 0);
}

// A list that cannot be loaded exits with 2, a run that fails before any
// download with 3: an error on stderr and no summary.
TEST_F(RunCommandCli, FailuresBeforeTheRunExitWithTwoOrThree)
{
    const QString outOfRange = SaveList({Job("/size=10/a.jpg"), Job("/size=10/b#1#.jpg", "1", "99999999999")});
    const std::tuple<QString, int, QString> cases[] = {{dir.filePath("no-such-list.txt"), 2, "Unable to load: "},
                                                       {outOfRange, 3, "Unexpected event: "}};
    for (const auto &[list, exitCode, error] : cases) {
        const CliResult result = RunTavrin(list);
        EXPECT_EQ(result.exitCode, exitCode);
        EXPECT_TRUE(result.err.startsWith(error)) << result.err.toStdString();
        EXPECT_EQ(result.out, "");
    }
    EXPECT_TRUE(server.Requests().isEmpty());
}

// Ctrl+C acts as the Stop button: the busy downloads are cancelled (no spool
// file is left) and the run ends with its summary.
TEST_F(RunCommandCli, AnInterruptStopsTheRunWhichStillPrintsItsSummary)
{
    const CliResult result = RunTavrin(SaveList({Job("/size=10/delay=20000/slow#1#.bin", "1", "6")}, 2),
                                       [this](QProcess &p) { Interrupt(p, [this] { return server.OpenRequests() == 2; }); });

    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "");
    ExpectSummaryLine(result.out, 0, 0);
    EXPECT_EQ(server.Requests().size(), 2) << "both slots were busy, and nothing is started after the stop";
    EXPECT_TRUE(QDir(OutFolder()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

// The first Ctrl+C only asks the run to stop, which waits for the running
// post-processing command; a second one ends the process at once.
TEST_F(RunCommandCli, ASecondInterruptEndsTheProcessAtOnce)
{
    const QString marker = dir.filePath("pp.txt");
    JobRecord job = Job("/size=10/one.bin");
    job.RunPP = "1";
    job.CmdPP = QString("/bin/sh -c \"sleep 3; echo #FILE# >> %1\"").arg(marker);

    const CliResult result = RunTavrin(SaveList({job}), [this](QProcess &process) {
        Interrupt(process, [this] { return !FileLines(DefaultLog()).filter("  Command (1): ").isEmpty(); });
        EXPECT_FALSE(process.waitForFinished(200)) << "the first interrupt waits for the command";
        Interrupt(process);
    });

    EXPECT_TRUE(result.exitCode != 0 && result.exitCode != -2) << result.exitCode;
    EXPECT_EQ(result.out, "") << "no summary";
    EXPECT_FALSE(QFile::exists(marker)) << "the process ended while its command still ran";
    EXPECT_TRUE(QFile::exists(Out("one.bin")));
}

// A job waits only so long for its last download (here shortened to 0.5 s);
// without a window the program still waits for it before it ends, and
// counts it.
TEST_F(RunCommandCli, WaitsForADownloadThatOutlivesTheJobsEndWait)
{
    env.Set("TAVRIN_END_WAIT_MS", "500");
    const CliResult result = RunTavrin(SaveList({Job("/size=3000/delay=1500/late.bin")}));
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    ExpectSummaryLine(result.out, 1, 3);
    EXPECT_EQ(FileBytes(Out("late.bin")).size(), 3000);
}
