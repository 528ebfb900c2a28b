// The window driven as a user drives it: real clicks and keys through the
// application (focus moves on a press, shortcuts go through the shortcut
// map), on the offscreen platform.

#include "WindowFixture.h"

#include <QApplication>
#include <QTest>

namespace {

class frmMainInputTest : public WindowFixture {
protected:
    TestHttpServer server;

    QWidget *Focused() { return QApplication::focusWidget(); }

    void ShowActive()
    {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
};

} // namespace

// Leaving the window for another program judges nothing: a count typed but not
// yet left is not applied, and the slot bars keep what they show.
TEST_F(frmMainInputTest, LeavingTheWindowDoesNotApplyTheSlotCount)
{
    window.StartUp(SaveList("list.txt", {JobRecord{"0", "a"}}, 3));
    ShowActive();
    QTest::mouseClick(Box("TxtDLs"), Qt::LeftButton);
    Box("TxtDLs")->selectAll();
    QTest::keyClicks(Box("TxtDLs"), "7");
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_EQ(window.Core().Settings().NumDLs, 3);
    // Nor does a refused text pull the focus back from the other program.
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    Box("TxtDLs")->selectAll();
    QTest::keyClicks(Box("TxtDLs"), "0");
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    QTest::qWait(20);
    EXPECT_TRUE(other.isActiveWindow());
}

// Enter (OK) and Escape (Cancel) in the panel are pressed under X by
// WindowKeysEndToEnd.sh.
TEST_F(frmMainInputTest, TabRunsThroughThePanelThenOkAndCancelAndEnterAndEscapeAnswerIt)
{
    window.StartUp(SaveList("list.txt",
        {JobRecord{"1", "a", "http://a/#1#.jpg", "1", "2", "", "", "", "", "", "", "", "", "1", "+", "echo"}}));
    ShowActive();
    Grid().GotoCell(0, 0);
    window.BeginEdit();
    ASSERT_EQ(Focused(), Box("txtUrl"));
    QStringList order;
    for (int i = 0; i < 16; ++i) {
        QTest::keyClick(Focused(), Qt::Key_Tab);
        order << Focused()->objectName();
    }
    EXPECT_EQ(order,
        QStringList(
            {"Txt1(0)", "Txt1(1)", "Txt1(2)", "TxtCat", "Txt2(0)", "Txt2(1)", "Txt2(2)", "TxtOutPre", "TxtOutput",
                "chkRunPP", "chkAllPP", "TxtFileSeparator", "TxtPP", "cmdOkEdit", "CmdCancelEdit", order.value(15)}));
    EXPECT_NE(order.value(15), "LG") << "the grid under the panel is passed by";
}

// A job's texts are stored exactly as they were, however long.
TEST_F(frmMainInputTest, ThePanelKeepsTextsLongerThanALineEditsDefaultLimit)
{
    const QString url = "http://a/" + QString(40000, 'u') + "#1#.jpg";
    const QString command = "echo " + QString(33000, 'c');
    window.StartUp(
        SaveList("list.txt", {JobRecord{"1", "a", url, "1", "2", "", "", "", "", "", "", "", "", "", "", command}}));
    Grid().GotoCell(0, 0);
    window.BeginEdit();
    Button("cmdOkEdit")->click();
    EXPECT_EQ(Jobs().Record(1).Url, url);
    EXPECT_EQ(Jobs().Record(1).CmdPP, command);
    EXPECT_EQ(Grid().CellText(0, JobColUrl), url);
}

// While a run goes, Stop stays available whatever the panel does, and what the
// run refuses looks unavailable until it ends.
TEST_F(frmMainInputTest, DuringARunStopStaysEnabledAndRefusedActionsAreGreyed)
{
    // One job of six files sent slowly enough to be in flight for a while.
    const QString url = server.Url("/f#1#.bin?size=60000&chunk=2000&chunkdelay=5");
    window.StartUp(
        SaveList("run.txt", {JobRecord{"1", "c", url, "1", "6", "0", "", "", "", "", dir.filePath("out")}}, 1));
    window.show();
    Grid().GotoCell(0, 0);
    const OleColour headerColour = Grid().Properties().ForeColorHdr;
    bool stopEnabledWhileEditing = false, greyed = false, stopped = false;
    WhileRunning(
        [&] {
            if (stopped || !window.Core().Engine().IsRunning())
                return;
            greyed = !MenuItem(2)->isEnabled() && !MenuItem(9)->isEnabled() && MenuItem(0)->isEnabled() &&
                MenuItem(1)->isEnabled() && !Button("cmdLoad")->isEnabled() &&
                Grid().Properties().ForeColorHdr != headerColour && !Grid().Properties().ColumnSort;
            if (!window.Editing()) {
                window.BeginEdit();
                return;
            }
            stopEnabledWhileEditing = Button("cmdRun")->isEnabled();
            stopped = true;
            Button("cmdRun")->click();
        },
        [&] { Button("cmdRun")->click(); });

    EXPECT_TRUE(stopped);
    EXPECT_TRUE(stopEnabledWhileEditing);
    EXPECT_TRUE(greyed);
    EXPECT_TRUE(window.Core().Engine().LastRunStopped());
    // The run is over and the panel still open: Run waits for OK or Cancel.
    EXPECT_FALSE(Button("cmdRun")->isEnabled());
    for (int16_t index : {int16_t(0), int16_t(1), int16_t(2), int16_t(9), int16_t(10)})
        EXPECT_TRUE(MenuItem(index)->isEnabled()) << index;
    EXPECT_EQ(Grid().Properties().ForeColorHdr, headerColour);
    Button("CmdCancelEdit")->click();
    EXPECT_TRUE(Button("cmdRun")->isEnabled());
    EXPECT_TRUE(Button("cmdLoad")->isEnabled());
}
