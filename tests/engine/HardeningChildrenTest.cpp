#include "HardeningFixture.h"

#include <QThread>

#include <fcntl.h>
#include <set>

namespace {

using HardeningChildren = HardeningFixture;

// Ended: gone, or a zombie that nobody has reaped yet.
bool ProcessEnded(const QString &pidFile)
{
    const QByteArray pid = FileBytes(pidFile).trimmed();
    if (pid.toInt() <= 0)
        return false;
    QElapsedTimer waited;
    waited.start();
    do {
        const QByteArray stat = FileBytes("/proc/" + pid + "/stat");
        if (stat == "<missing>" || stat.mid(stat.lastIndexOf(')') + 2, 1) == "Z")
            return true;
        QThread::msleep(20);
    } while (waited.elapsed() < 5000);
    return false;
}

// The descriptors this process was given without close-on-exec when it
// started (by the shell or the test runner): any child inherits those.
std::set<int> InheritedAtStart()
{
    std::set<int> descriptors{0, 1, 2};
    for (const QString &name : QDir("/proc/self/fd").entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (::fcntl(name.toInt(), F_GETFD) == 0)
            descriptors.insert(name.toInt());
    }
    return descriptors;
}
const std::set<int> inheritedAtStart = InheritedAtStart();

// The descriptors of an "ls -l /proc/PID/fd" listing that the child got
// from the run, with what they point to. The launcher's own stray
// /dev/null is harmless and not counted.
QStringList Leaked(const QByteArray &listing)
{
    QStringList leaked;
    for (const QByteArray &line : listing.trimmed().split('\n')) {
        const QList<QByteArray> parts = line.simplified().split(' ');
        if (parts.size() < 3 || parts[parts.size() - 2] != "->")
            continue;
        const int fd = parts[parts.size() - 3].toInt();
        if (!inheritedAtStart.count(fd) && parts.last() != "/dev/null")
            leaked << QString::fromLocal8Bit(line);
    }
    return leaked;
}

// The command leads a process group of its own (a terminal's Ctrl+C does not
// reach it) and inherits no descriptor but its standard three.
TEST_F(HardeningChildren, ACommandRunsInItsOwnGroupWithOnlyTheStandardDescriptors)
{
    const QString probe = "/bin/sh -c \"cut -d' ' -f5 /proc/$$/stat > %1; ls -l /proc/$$/fd > %2\" #FILE#";
    Add(WithCommand(Job("/size=10/one.bin"), probe.arg(dir.filePath("pgid"), dir.filePath("fds"))));

    ASSERT_TRUE(Run());

    const int group = FileBytes(dir.filePath("pgid")).trimmed().toInt();
    EXPECT_GT(group, 0);
    EXPECT_NE(group, int(::getpgrp()));
    const QByteArray listing = FileBytes(dir.filePath("fds"));
    EXPECT_TRUE(listing.contains(" 2 -> ")) << listing.toStdString();
    EXPECT_EQ(Leaked(listing), QStringList()) << listing.toStdString();
}

// Ctrl+C on the terminal reaches the whole foreground group: it stops the
// run but the running command goes on to its end.
TEST_F(HardeningChildren, CtrlCOnTheTerminalLetsTheRunningCommandFinish)
{
    const QString pid = dir.filePath("pid"), done = dir.filePath("done");
    const QString cmd = QString("/bin/sh -c \"echo $$ > %1; sleep 1; echo ok > %2\" #FILE#").arg(pid, done);
    const QString list = SaveList({WithCommand(Job("/size=10/one.bin"), cmd)});

    const CliResult result = RunTavrin({"--run", list}, [&](QProcess &process) {
        if (WaitFor(process, [&] { return QFileInfo::exists(pid); }))
            ::kill(-pid_t(process.processId()), SIGINT);
    });

    EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
    EXPECT_EQ(FileBytes(done), "ok\n");
}

// A second Ctrl+C, or SIGTERM after a first, ends the program at once and
// the running command with it: no orphan is left.
class SecondSignal : public HardeningChildren, public ::testing::WithParamInterface<int> {};

TEST_P(SecondSignal, EndsTheRunningCommandToo)
{
    const int second = GetParam();
    const QString pid = dir.filePath("pid");
    const QString cmd = QString("/bin/sh -c \"echo $$ > %1; exec sleep 60\" #FILE#").arg(pid);
    const QString list = SaveList({WithCommand(Job("/size=10/s.bin"), cmd)});

    const CliResult result = RunTavrin({"--run", list}, [&](QProcess &process) {
        if (!WaitFor(process, [&] { return QFileInfo::exists(pid); }))
            return;
        ::kill(pid_t(process.processId()), SIGINT);
        process.waitForFinished(200);
        ::kill(pid_t(process.processId()), second);
    });

    EXPECT_EQ(result.exitCode, 128 + second);
    EXPECT_TRUE(ProcessEnded(pid));
}

INSTANTIATE_TEST_SUITE_P(CtrlCOrTerm, SecondSignal, ::testing::Values(SIGINT, SIGTERM));

// SIGTERM and SIGHUP stop the run as the Stop button does: the summary is
// printed and the status says not everything was saved.
TEST_F(HardeningChildren, TermAndHangUpStopTheRun)
{
    const QString list = SaveList({Job("/size=1000/chunk=100/chunkdelay=500/h#1#.bin", "1", "3")});
    for (const int signal : {SIGTERM, SIGHUP}) {
        const qsizetype before = server.Requests().size();
        const CliResult result = RunTavrin({"--run", list}, [&](QProcess &process) {
            if (WaitFor(process, [&] { return server.Requests().size() > before; }))
                ::kill(pid_t(process.processId()), signal);
        });

        EXPECT_EQ(result.exitCode, 1) << signal << result.err.toStdString();
        ExpectCompleted(result.out.trimmed(), 0, 0, 30);
    }
}

} // namespace
