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
// What a run downloads, logs and counts is the engine's and tested there;
// here only what the program adds: exit statuses, the summary on stdout,
// Ctrl+C, and waiting for downloads past the run's end.
class RunCommandCli : public RunIntegrationFixture {
protected:
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

    // The summary alone on stdout; without a terminal nothing on stderr.
    static void ExpectSummaryOnly(const CliResult &result, int files, int kb)
    {
        EXPECT_EQ(result.err, "");
        EXPECT_TRUE(result.out.endsWith('\n') && result.out.count('\n') == 1) << result.out.toStdString();
        ExpectCompleted(result.out.trimmed(), files, kb, 30);
    }
};

} // namespace

TEST_F(RunCommandCli, ExitsWithZeroOnlyWhenEveryFileWasSaved)
{
    EXPECT_EQ(RunTavrin(SaveList({Job("/size=2000/img#1#.jpg", "1", "3")})).exitCode, 0);
    EXPECT_EQ(FileBytes(Out("img3.jpg")), TestHttpServer::Body(0, 2000));

    // The list now holds the first job too.
    const CliResult result = RunTavrin(SaveList({Job("/status=404/gone.jpg"), Job("/status=302/moved.jpg")}));
    EXPECT_EQ(result.exitCode, 1);
    ExpectSummaryOnly(result, 3, 6);
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
    ExpectSummaryOnly(result, 0, 0);
    EXPECT_EQ(server.Requests().size(), 2) << "both slots were busy, and nothing is started after the stop";
    EXPECT_TRUE(OutFiles().isEmpty());
}

// The first Ctrl+C only asks the run to stop, which waits for the running
// post-processing command; a second one ends the process at once.
TEST_F(RunCommandCli, ASecondInterruptEndsTheProcessAtOnce)
{
    const QString marker = dir.filePath("pp.txt");
    JobRecord job = Job("/size=10/one.bin");
    job.RunPP = "1";
    job.CmdPP = QString("/bin/sh -c \"sleep 3; echo #FILE# >> %1\"").arg(marker);
    const QString log = dir.filePath("appdata/Velmora/TvLog.txt");

    const CliResult result = RunTavrin(SaveList({job}), [&](QProcess &process) {
        Interrupt(process, [&] { return !FileLines(log).filter("  Command (1): ").isEmpty(); });
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
    ExpectSummaryOnly(result, 1, 3);
    EXPECT_EQ(FileBytes(Out("late.bin")).size(), 3000);
}
