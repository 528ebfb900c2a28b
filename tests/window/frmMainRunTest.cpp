#include "WindowFixture.h"
#include "support/TestFiles.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QThread>

#include <csignal>

#include <QTest>

namespace {

// The processes of a process group that have not ended (a zombie has).
QStringList LiveMembers(qint64 group)
{
    QStringList live;
    for (const QString &pid : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString stat = QString::fromLatin1(FileBytes("/proc/" + pid + "/stat"));
        // pid (name) state ppid pgrp ...: the name may hold blanks.
        const QStringList fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && fields[2].toLongLong() == group && fields[0] != "Z")
            live << pid;
    }
    return live;
}

// Waits a while for the group to end; its live members then.
QStringList MembersLeft(qint64 group)
{
    QElapsedTimer waited;
    waited.start();
    while (!LiveMembers(group).isEmpty() && waited.elapsed() < 10000)
        QThread::msleep(20);
    return LiveMembers(group);
}

class frmMainRunTest : public WindowFixture {
protected:
    TestHttpServer server;

    bool AnySlotBetween(int low, int high)
    {
        for (int i = 0; i < 9; ++i) {
            const int32_t value = Bar(QString("vpDL%1").arg(i))->Value();
            if (value > low && value < high)
                return true;
        }
        return false;
    }
};

} // namespace

// Half way through, the Run button, now Stop, ends the run: the files saved
// stay, the one in flight goes.
TEST_F(frmMainRunTest, ARunMovesTheBarsAndTheRunButtonStopsIt)
{
    // Six files on one slot, each sent slowly enough for the bars to be seen
    // moving: they end one after another, so the overall bar steps.
    const QString url = server.Url("/f#1#.bin?size=100000&chunk=2000&chunkdelay=5");
    window.StartUp(
        SaveList("run.txt", {JobRecord{"1", "c", url, "1", "6", "00", "1", "1", "", "", dir.filePath("out")}}, 1));
    window.show();
    QStringList captions;
    std::vector<int32_t> overall;
    bool slotPartlyFilled = false, slotBoxShown = false, stopped = false;
    WhileRunning(
        [&] {
            const QString caption = Button("cmdRun")->text();
            if (captions.isEmpty() || captions.last() != caption)
                captions << caption;
            const int32_t value = Bar("vp1")->Value();
            if (overall.empty() || overall.back() != value)
                overall.push_back(value);
            slotPartlyFilled = slotPartlyFilled || AnySlotBetween(0, 100);
            slotBoxShown = slotBoxShown || Control("picBoxvpDL")->isVisible();
            if (!stopped && value >= 50 && AnySlotBetween(0, 100)) {
                stopped = true;
                Button("cmdRun")->click(); // handled inside the run's wait
            }
        },
        [&] { Button("cmdRun")->click(); });

    ASSERT_TRUE(stopped);
    EXPECT_TRUE(window.Core().Engine().LastRunStopped());
    EXPECT_EQ(captions, QStringList({"&Stop"}));
    EXPECT_EQ(Button("cmdRun")->text(), "&Run");
    EXPECT_TRUE(slotPartlyFilled) << "a slot bar stood between empty and full";
    EXPECT_TRUE(slotBoxShown);
    EXPECT_FALSE(Control("picBoxvpDL")->isVisible());
    EXPECT_GE(overall.size(), 3u) << "the overall bar moved in steps";
    EXPECT_TRUE(std::is_sorted(overall.begin(), overall.end()));
    EXPECT_TRUE(Button("cmdLoad")->isEnabled()) << "what a run greys comes back";
    EXPECT_TRUE(window.Core().LG().Properties().ColumnSort);
    const qsizetype saved = QDir(dir.filePath("out")).entryList(QDir::Files | QDir::Hidden | QDir::System).size();
    EXPECT_TRUE(saved >= 3 && saved < 6) << saved;
    EXPECT_TRUE(Bar("vp1")->Text().startsWith(QString("Completed %1 Files (").arg(saved)))
        << Bar("vp1")->Text().toStdString();
    EXPECT_TRUE(window.Messages.isEmpty());
}

// Closing the window while a post-processing command runs ends the command's
// whole process group with the program (as a second Ctrl+C does on the
// command line) instead of leaving it running on its own.
TEST_F(frmMainRunTest, ClosingDuringPostProcessingEndsTheCommandsProcessGroup)
{
    const QString groupFile = dir.filePath("group");
    // The command leads its group ($$) and has a child in it.
    const QString cmd = "/bin/sh -c \"sleep 30 & echo $$ > " + groupFile + ".new; mv " + groupFile + ".new " +
        groupFile + "; wait\" #FILE#";
    window.StartUp(SaveList("pp.txt",
        {JobRecord{"1", "c", server.Url("/size=10/a.jpg"), "1", "1", "", "1", "1", "", "", dir.filePath("out"), "", "1",
            "", "", cmd}}));
    window.show();
    qint64 group = 0;
    QStringList left;
    WhileRunning(
        [&] {
            if (group || !QFile::exists(groupFile))
                return;
            group = FileBytes(groupFile).trimmed().toLongLong();
            if (group <= 0)
                return;
            EXPECT_EQ(LiveMembers(group).size(), 2);
            window.close();
            left = MembersLeft(group);
            ::kill(pid_t(-group), SIGKILL); // whatever was left, so that the run ends
        },
        [&] { Button("cmdRun")->click(); });

    ASSERT_GT(group, 0) << "the command ran";
    EXPECT_EQ(left, QStringList());
}

// The end of a run is told by the desktop only when the user has turned to
// another window meanwhile.
TEST_F(frmMainRunTest, TheEndOfARunIsANoticeWhenTheWindowIsNotTheActiveOne)
{
    window.StartUp(SaveList("quiet.txt", {JobRecord{"0", "unchecked"}}));
    window.show();
    QWidget other;
    for (bool windowActive : {true, false}) {
        SCOPED_TRACE(windowActive ? "window active" : "another window active");
        QWidget *active = windowActive ? static_cast<QWidget *>(&window) : &other;
        active->show();
        active->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(active));
        window.Notices.clear();
        Button("cmdRun")->click();
        const QString summary = window.Core().Engine().LastSummary();
        ASSERT_TRUE(summary.startsWith("Completed 0 Files")) << summary.toStdString();
        EXPECT_EQ(window.Notices, windowActive ? QStringList() : QStringList{summary});
    }
}

// The overall bar's tooltip follows the run's figures (files, bytes, speed,
// time left) and keeps the last ones; the bar's text stays the summary.
TEST_F(frmMainRunTest, TheOverallBarsTooltipHoldsTheRunsFigures)
{
    const QString url = server.Url("/t#1#.bin?size=10000&chunk=1000&chunkdelay=5");
    window.StartUp(
        SaveList("figures.txt", {JobRecord{"1", "c", url, "1", "2", "", "1", "1", "", "", dir.filePath("out")}}, 1));
    window.show();
    Button("cmdRun")->click();

    static const QRegularExpression last(R"(^2 of 2 files, 19\.5 KiB, \d+(\.\d)? (B|KiB|MiB)/s, 0 s left$)");
    EXPECT_TRUE(last.match(Bar("vp1")->toolTip()).hasMatch()) << Bar("vp1")->toolTip().toStdString();
    EXPECT_TRUE(Bar("vp1")->Text().startsWith("Completed 2 Files (20 KB) in ")) << Bar("vp1")->Text().toStdString();
}
