#include "app/AppCore.h"
#include "app/JobListFile.h"
#include "support/TestHttpServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <signal.h>
#include <functional>
#include <vector>

namespace {

struct CliResult {
    bool finished = false;
    QProcess::ExitStatus status = QProcess::CrashExit;
    int exitCode = -1;
    QString out;
    QString err;
};

// "tavrin --run" against the local server, with its data folder in a
// temporary folder.
class RunCommandCli : public ::testing::Test {
protected:
    RunCommandCli() { QDir().mkpath(AppData()); }

    QString AppData() const { return dir.filePath("appdata"); }
    QString DefaultLog() const { return AppData() + "/Velmora/TvLog.txt"; }

    JobRecord Job(const QString &pathTemplate, const QString &l1 = "1", const QString &u1 = "1")
    {
        JobRecord job;
        job.Get = "1";
        job.Url = server.Url(pathTemplate);
        job.L1 = l1;
        job.U1 = u1;
        job.L2 = "1";
        job.U2 = "1";
        job.Output = dir.filePath("out");
        return job;
    }

    // Saves the jobs as a job list file the way the program does.
    QString SaveList(const std::vector<JobRecord> &jobs, int32_t numDLs = 3)
    {
        AppCore other;
        other.Settings.NumDLs = numDLs;
        for (const JobRecord &job : jobs)
            other.Jobs.AppendRecord(job);
        const QString path = dir.filePath("jobs.txt");
        EXPECT_TRUE(JobListFile::SaveJobList(path, other.Settings, other.Jobs));
        return path;
    }

    // Runs the program; whileRunning is called once it has started.
    CliResult RunTavrin(const QStringList &arguments, const std::function<void(QProcess &)> &whileRunning = {})
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("APPDATA", AppData());
        process.setProcessEnvironment(environment);
        process.start(TAVRIN_EXECUTABLE, arguments);
        CliResult result;
        if (!process.waitForStarted(10000))
            return result;
        if (whileRunning)
            whileRunning(process);
        result.finished = process.waitForFinished(30000);
        if (!result.finished) {
            process.kill();
            process.waitForFinished(5000);
        }
        result.status = process.exitStatus();
        result.exitCode = process.exitCode();
        result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
        result.err = QString::fromLocal8Bit(process.readAllStandardError());
        return result;
    }

    // Ctrl+C, to the program only (never to a process group).
    static void Interrupt(QProcess &process)
    {
        const qint64 pid = process.processId();
        if (pid > 0 && process.state() == QProcess::Running)
            ::kill(pid_t(pid), SIGINT);
    }

    static QStringList Lines(const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList lines = QString::fromLocal8Bit(file.readAll()).split("\r\n");
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }

    static QByteArray FileBytes(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    // The summary line on stdout: "Completed N Files (K KB) in S Secs.".
    static void ExpectSummary(const QString &out, int files, int kb)
    {
        static const QRegularExpression form(R"(^Completed (\d+) Files \((\d+) KB\) in \d+ Secs\.\n$)");
        const QRegularExpressionMatch match = form.match(out);
        ASSERT_TRUE(match.hasMatch()) << out.toStdString();
        EXPECT_EQ(match.captured(1).toInt(), files);
        EXPECT_EQ(match.captured(2).toInt(), kb);
    }

    TestHttpServer server;
    QTemporaryDir dir;
};

} // namespace

// A list written on Windows: the output folder uses backslashes.
TEST_F(RunCommandCli, DownloadsTwentyNumberedFilesLogsThemAndPrintsTheSummary)
{
    JobRecord job = Job("/size=2000/delay=50/img#1#.jpg", "1", "20");
    job.Format1 = "00";
    job.Prefix = "p_";
    job.Output = dir.path() + "\\dl\\twenty";
    const QString list = SaveList({job}, 4);

    const CliResult result = RunTavrin({"--run", list});

    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.status, QProcess::NormalExit);
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.err, "") << "no terminal, no live progress";
    ExpectSummary(result.out, 20, 40);
    EXPECT_EQ(server.MaxOpenRequests(), 4) << "the list's slot count";

    const QString folder = dir.filePath("dl/twenty/");
    QStringList urlLines;
    QStringList saved;
    for (int i = 1; i <= 20; ++i) {
        const QString name = QString("img%1.jpg").arg(i, 2, 10, QChar('0'));
        urlLines << server.Url("/size=2000/delay=50/" + name) + " > p_" + name;
        saved << "File Saved: " + folder + "p_" + name;
        EXPECT_EQ(FileBytes(folder + "p_" + name), TestHttpServer::Body(0, 2000)) << name.toStdString();
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 20) << "nothing else, no spool file";

    const QStringList log = Lines(DefaultLog());
    ASSERT_FALSE(log.isEmpty()) << "the log goes to the data folder's TvLog.txt";
    EXPECT_TRUE(QRegularExpression(R"(^Log file opened at .+ on .+ as #\d+$)").match(log[0]).hasMatch())
        << log[0].toStdString();
    EXPECT_EQ(log.filter(" > "), urlLines);
    QStringList savedLines = log.filter(QRegularExpression("^File Saved: "));
    ASSERT_EQ(savedLines.size(), 20);
    for (int i = 0; i < savedLines.size(); ++i) {
        EXPECT_TRUE(savedLines[i].endsWith(QString(" TotalKB: %1").arg(2 * (i + 1)))) << savedLines[i].toStdString();
        savedLines[i] = savedLines[i].section(" TotalKB: ", 0, 0);
    }
    savedLines.sort();
    EXPECT_EQ(savedLines, saved);
}

TEST_F(RunCommandCli, ARunThatDidNotSaveEveryFileExitsWithOne)
{
    const CliResult result = RunTavrin({"--run", SaveList({Job("/size=10/ok.jpg"), Job("/status=404/gone.jpg"),
                                                           Job("/status=302/moved.jpg")})});

    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "");
    ExpectSummary(result.out, 1, 0);
}

TEST_F(RunCommandCli, AMissingListExitsWithTwo)
{
    const CliResult result = RunTavrin({"--run", dir.filePath("no-such-list.txt")});

    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.err.startsWith("Unable to load: ")) << result.err.toStdString();
    EXPECT_EQ(result.out, "") << "no run, no summary";
    EXPECT_TRUE(server.Requests().isEmpty());
}

TEST_F(RunCommandCli, ABoundOutOfRangeExitsWithThree)
{
    JobRecord job = Job("/size=10/img#1#.jpg", "1", "99999999999");
    const CliResult result = RunTavrin({"--run", SaveList({Job("/size=10/first.jpg"), job})});

    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_TRUE(result.err.startsWith("Unexpected event: ")) << result.err.toStdString();
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(server.Requests().isEmpty());
}

// Ctrl+C acts as the Stop button: the busy downloads are cancelled and the
// run ends with its summary.
TEST_F(RunCommandCli, AnInterruptStopsTheRunWhichStillPrintsItsSummary)
{
    const QString list = SaveList({Job("/size=10/delay=20000/slow#1#.bin", "1", "6")}, 2);

    const CliResult result = RunTavrin({"--run", list}, [this](QProcess &process) {
        QElapsedTimer waited;
        waited.start();
        while (server.OpenRequests() < 2 && waited.elapsed() < 10000)
            process.waitForFinished(20);
        ASSERT_EQ(server.OpenRequests(), 2) << "both slots are downloading";
        Interrupt(process);
    });

    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.status, QProcess::NormalExit);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "");
    ExpectSummary(result.out, 0, 0);
    EXPECT_EQ(server.Requests().size(), 2) << "nothing is started after the stop";
    EXPECT_TRUE(QDir(dir.filePath("out")).entryList(QDir::Files | QDir::Hidden).isEmpty())
        << "no file, and no spool file left by the cancelled downloads";
}

// The first Ctrl+C only asks the run to stop, which waits for the running
// post-processing command; a second one ends the process at once.
TEST_F(RunCommandCli, ASecondInterruptEndsTheProcessAtOnce)
{
    const QString marker = dir.filePath("pp.txt");
    JobRecord job = Job("/size=10/one.bin");
    job.RunPP = "1";
    job.CmdPP = QString("/bin/sh -c \"sleep 3; echo #FILE# >> %1\"").arg(marker);
    const QString list = SaveList({job});

    const CliResult result = RunTavrin({"--run", list}, [this](QProcess &process) {
        QElapsedTimer waited;
        waited.start();
        while (Lines(DefaultLog()).filter(QRegularExpression("^  Command \\(1\\): ")).isEmpty()
               && waited.elapsed() < 10000)
            process.waitForFinished(20);
        Interrupt(process);
        EXPECT_FALSE(process.waitForFinished(200)) << "the first interrupt waits for the command";
        Interrupt(process);
    });

    ASSERT_TRUE(result.finished);
    EXPECT_NE(result.exitCode, 0);
    EXPECT_EQ(result.out, "") << "no summary";
    EXPECT_FALSE(QFile::exists(marker)) << "the process ended while its command still ran";
    EXPECT_TRUE(QFile::exists(dir.filePath("out/one.bin")));
}
