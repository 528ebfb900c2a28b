#include "engine/RunIntegrationFixture.h"

namespace {

// "tavrin --run" against the local server, with the fixture's data folder.
// What a run downloads, logs and counts is the engine's and tested there;
// here only what the program adds: exit statuses, the summary on stdout,
// signals, and waiting for downloads past the run's end.
class RunCommandCli : public RunIntegrationFixture {
protected:
    // The summary alone on stdout; without a terminal nothing on stderr.
    static void ExpectSummaryOnly(const CliResult &result, int files, int kb)
    {
        EXPECT_EQ(result.err, "");
        EXPECT_TRUE(result.out.endsWith('\n') && result.out.count('\n') == 1) << result.out.toStdString();
        ExpectCompleted(result.out.trimmed(), files, kb);
    }
};

} // namespace

// The first run is on a new account: not even ~/.local/share exists yet. A
// job waits only so long for its last download (here shortened to 0.5 s);
// without a window the program still waits for it before it ends, and
// counts it.
TEST_F(RunCommandCli, ExitsWithZeroOnlyWhenEveryFileWasSaved)
{
    environment.remove("APPDATA");
    environment.remove("XDG_DATA_HOME");
    environment.insert("HOME", dir.filePath("newhome"));
    environment.insert("TAVRIN_END_WAIT_MS", "500");
    const CliResult saved =
        RunTavrin({"--run", SaveList({Job("/size=2000/img#1#.jpg", "1", "3"), Job("/size=3000/delay=1500/late.bin")})});
    EXPECT_EQ(saved.exitCode, 0) << saved.err.toStdString();
    ExpectSummaryOnly(saved, 4, 9);
    EXPECT_EQ(FileBytes(Out("late.bin")), TestHttpServer::Body(0, 3000));
    EXPECT_TRUE(
        FileLines(dir.filePath("newhome/.local/share/Velmora/TvLog.txt")).value(0).startsWith("Log file opened"));

    // The list now holds the first jobs too.
    const CliResult result =
        RunTavrin({"--run", SaveList({Job("/status=404/gone.jpg"), Job("/status=302/moved.jpg")})});
    EXPECT_EQ(result.exitCode, 1);
    ExpectSummaryOnly(result, 4, 9);
}

// A checked job skipped because its folder is unusable means not every file
// was saved; the counting pass and the job pass each log the folder. A
// Windows drive path is unusable, and so is a folder that is empty as written
// or once its variables are expanded (it would be the root folder).
TEST_F(RunCommandCli, AJobSkippedForItsFolderMakesTheRunExitWithOne)
{
    environment.remove("WinDir");
    std::vector<JobRecord> jobs{Job("/size=10/ok.jpg")};
    for (const QString output : {"C:\\Pics", "", "%windir%"}) {
        jobs.push_back(Job("/size=10/s.jpg"));
        jobs.back().Output = output;
    }

    const CliResult result = RunTavrin({"--run", SaveList(jobs)});

    EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
    ExpectSummaryOnly(result, 1, 0);
    const QString unusable = "Unable to Access Output Folder : ";
    const QStringList eachPass{unusable + "C:\\Pics", unusable, unusable + "%windir%"};
    EXPECT_EQ(FileLines(dir.filePath("appdata/Velmora/TvLog.txt")).filter(unusable), eachPass + eachPass);
    EXPECT_EQ(server.Requests(), QStringList{"/size=10/ok.jpg"});
}

// Ctrl+C (to the program alone), SIGTERM and SIGHUP act as the Stop button:
// the busy downloads are cancelled (no spool file is left) and the run ends
// with its summary.
TEST_F(RunCommandCli, InterruptTermAndHangUpStopTheRunWhichStillPrintsItsSummary)
{
    app.Settings().NumDLs = 2;
    const QString list = SaveList({Job("/size=10/delay=20000/slow#1#.bin", "1", "6")});
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        const qsizetype before = server.Requests().size();
        const CliResult result = RunTavrin({"--run", list}, [&](QProcess &process) {
            Signal(process, signal, [&] { return server.Requests().size() >= before + 2; });
        });

        EXPECT_EQ(result.exitCode, 1) << signal;
        ExpectSummaryOnly(result, 0, 0);
        EXPECT_EQ(server.Requests().size(), before + 2)
            << "both slots were busy, and nothing is started after the stop";
        EXPECT_TRUE(OutFiles().isEmpty());
    }
}

// Ctrl+C on the terminal reaches the whole foreground group: it stops the
// run, which waits for the running post-processing command (in a group of
// its own) to end. A second Ctrl+C, or SIGTERM, ends the program at once
// and the command with it: no summary, no orphan.
class SecondSignalCli : public RunCommandCli, public ::testing::WithParamInterface<int> {};

TEST_P(SecondSignalCli, CtrlCLetsTheRunningCommandFinishUnlessASecondSignalComes)
{
    const int second = GetParam();
    const QString pid = dir.filePath("pid"), done = dir.filePath("done");
    const QString rest = second ? "exec sleep 60" : "sleep 1; echo ok > " + done;
    const QString cmd = QString("/bin/sh -c \"echo $$ > %1; %2\" #FILE#").arg(pid, rest);

    const CliResult result =
        RunTavrin({"--run", SaveList({WithCommand(Job("/size=10/one.bin"), cmd)})}, [&](QProcess &process) {
            Signal(
                process, SIGINT, [&] { return QFileInfo::exists(pid); }, true);
            EXPECT_FALSE(process.waitForFinished(200)) << "the first Ctrl+C waits for the command";
            if (second)
                Signal(process, second);
        });

    EXPECT_TRUE(QFileInfo::exists(Out("one.bin")));
    if (!second) {
        EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
        EXPECT_EQ(FileBytes(done), "ok\n");
        return;
    }
    EXPECT_EQ(result.exitCode, 128 + second);
    EXPECT_EQ(result.out, "") << "no summary";
    const QByteArray stat = "/proc/" + FileBytes(pid).trimmed() + "/stat";
    EXPECT_TRUE(
        WaitUntil([&] { return FileBytes(stat) == "<missing>" || FileBytes(stat).split(' ').value(2) == "Z"; }, 5000))
        << "the command ended too";
    EXPECT_FALSE(QFileInfo::exists(done));
}

INSTANTIATE_TEST_SUITE_P(NoneCtrlCOrTerm, SecondSignalCli, ::testing::Values(0, SIGINT, SIGTERM));

// SIGKILL in the middle of nine downloads from one host at once: the folder
// holds complete targets only, never a partial body under any name.
TEST_F(RunCommandCli, AKilledRunLeavesOnlyCompleteTargets)
{
    app.Settings().NumDLs = 9;
    const QString list = SaveList({Job("/size=400000/chunk=20000/chunkdelay=#1#0/k#1#.bin", "1", "18")});

    const CliResult result = RunTavrin({"--run", list}, [&](QProcess &process) {
        Signal(process, SIGKILL, [&] { return server.Requests().size() >= 9 && !OutFiles().isEmpty(); });
    });

    EXPECT_EQ(result.exitCode, -1);
    EXPECT_EQ(server.MaxOpenRequests(), 9);
    const QStringList files = OutFiles();
    EXPECT_LT(files.size(), 18) << "killed in the middle";
    for (const QString &name : files)
        EXPECT_EQ(FileBytes(Out(name)), TestHttpServer::Body(0, 400000)) << name.toStdString();
}

// A server that trickles a byte a second never trips the stall rule; the
// overall limit stops the run as Stop does, during the job's end wait: the
// downloads still running are cancelled, not waited for.
TEST_F(RunCommandCli, MaxTimeStopsATrickle)
{
    const QString small = SaveList({Job("/size=10/t.bin")}, "small.txt");
    const QString list = SaveList({Job("/size=600/chunk=1/chunkdelay=1000/t#1#.bin", "1", "2")});
    const CliResult stopped = RunTavrin({"--run", "--max-time", "1.5", list});
    EXPECT_EQ(stopped.exitCode, 1) << stopped.err.toStdString();
    ExpectSummaryOnly(stopped, 1, 0);
    EXPECT_EQ(OutFiles(), QStringList{"t.bin"});
    EXPECT_EQ(RunTavrin({"--run", "--max-time", "600", small}).exitCode, 0);
}
