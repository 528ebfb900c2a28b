// The window driven as a user drives it: real clicks and keys through the
// application (focus moves on a press, shortcuts go through the shortcut
// map), on the offscreen platform.

#include "WindowFixture.h"

#include "app/JobTable.h"
#include "app/window/frmMenu.h"
#include "controls/grid/ListGrid.h"

#include <QAction>
#include <QApplication>
#include <QTest>

namespace {

class frmMainInputTest : public WindowFixture {
protected:
    TestHttpServer server;

    GridStore &Grid() { return window.Core().LG(); }
    ListGrid *LG() { return Control<ListGrid>("LG"); }
    QLineEdit *Box(const QString &name) { return Control<QLineEdit>(name); }
    QWidget *Focused() { return QApplication::focusWidget(); }

    void ShowActive()
    {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    // One checked job of `files` files sent slowly enough to be in flight
    // for a while; each row is current in turn when the panel opens on it.
    void StartWithSlowJob(int files = 4)
    {
        const QString url = server.Url("/f#1#.bin?size=60000&chunk=2000&chunkdelay=5");
        window.StartUp(SaveList(
            "run.txt", {JobRecord{"1", "c", url, "1", QString::number(files), "0", "", "", "", "", dir.filePath("out")}},
            1));
    }

    // Types into the slot-count box as a user does: click, select all, type.
    void TypeSlotCount(const QString &text)
    {
        QTest::mouseClick(Box("TxtDLs"), Qt::LeftButton);
        Box("TxtDLs")->selectAll();
        QTest::keyClicks(Box("TxtDLs"), text);
    }

    void PressKey(int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(Focused(), Qt::Key(key), mods);
        QCoreApplication::processEvents();
    }

    QAction *MenuItem(int16_t index) { return window.findChild<frmMenu *>()->mnuPop(index); }
};

} // namespace

// ---- the slot-count box ------------------------------------------------------

// A refused count keeps the focus, and the gesture that tried to take it does
// nothing: a click on Save asks for no file, Tab stays, Alt+S saves nothing.
TEST_F(frmMainInputTest, ARefusedSlotCountKeepsTheFocusAndTheClickDoesNothing)
{
    window.StartUp(SaveList("list.txt", {JobRecord{"0", "a"}}, 3));
    ShowActive();
    window.SaveAnswer = dir.filePath("saved.txt");

    TypeSlotCount("0");
    QTest::mouseClick(Button("cmdSave"), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.SaveAsked.isEmpty());
    EXPECT_EQ(Focused(), Box("TxtDLs"));
    PressKey(Qt::Key_Tab);
    EXPECT_EQ(Focused(), Box("TxtDLs"));
    PressKey(Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(window.SaveAsked.isEmpty());
    QTest::mouseClick(LG(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 50));
    QCoreApplication::processEvents();
    EXPECT_EQ(Focused(), Box("TxtDLs"));
    EXPECT_EQ(window.Core().Settings().NumDLs, 3);

    // Once the count is right, the same click saves with it.
    Box("TxtDLs")->selectAll();
    QTest::keyClicks(Box("TxtDLs"), "5");
    QTest::mouseClick(Button("cmdSave"), Qt::LeftButton);
    EXPECT_EQ(window.SaveAsked.size(), 1);
    EXPECT_EQ(window.Core().Settings().NumDLs, 5);
}

// Leaving the window for another program judges nothing: a count typed but not
// yet left is not applied, and the slot bars keep what they show.
TEST_F(frmMainInputTest, LeavingTheWindowDoesNotApplyTheSlotCount)
{
    window.StartUp(SaveList("list.txt", {JobRecord{"0", "a"}}, 3));
    ShowActive();
    TypeSlotCount("7");
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

// ---- the edit panel from the keyboard ----------------------------------------

TEST_F(frmMainInputTest, TabRunsThroughThePanelThenOkAndCancelAndEnterAndEscapeAnswerIt)
{
    window.StartUp(SaveList("list.txt", {JobRecord{"1", "a", "http://a/#1#.jpg", "1", "2", "", "", "", "", "", "", "",
                                            "", "1", "+", "echo"}}));
    ShowActive();
    Grid().GotoCell(0, 0);
    window.BeginEdit();
    ASSERT_EQ(Focused(), Box("txtUrl"));
    QStringList order;
    for (int i = 0; i < 16; ++i) {
        PressKey(Qt::Key_Tab);
        order << Focused()->objectName();
    }
    EXPECT_EQ(order, QStringList({"Txt1(0)", "Txt1(1)", "Txt1(2)", "TxtCat", "Txt2(0)", "Txt2(1)", "Txt2(2)",
                         "TxtOutPre", "TxtOutput", "chkRunPP", "chkAllPP", "TxtFileSeparator", "TxtPP", "cmdOkEdit",
                         "CmdCancelEdit", order.value(15)}));
    EXPECT_NE(order.value(15), "LG") << "the grid under the panel is passed by";

    // Escape is Cancel: the job stays.
    Box("TxtCat")->setFocus();
    QTest::keyClicks(Focused(), "zzz");
    PressKey(Qt::Key_Escape);
    EXPECT_FALSE(window.Editing());
    EXPECT_EQ(window.Core().Jobs().Record(1).Category, "a");

    // Enter in a box is OK: the job takes what was typed.
    window.BeginEdit();
    Box("TxtCat")->setFocus();
    QTest::keyClicks(Focused(), "b");
    PressKey(Qt::Key_Return);
    EXPECT_FALSE(window.Editing());
    EXPECT_EQ(window.Core().Jobs().Record(1).Category, "ab");
    EXPECT_EQ(Focused(), LG());
}

// The buttons answer Alt and their letter from the start: Alt+R runs before
// any run has set the caption.
TEST_F(frmMainInputTest, AltRRunsFromTheFirstMoment)
{
    window.StartUp(SaveList("list.txt", {JobRecord{"0", "a"}}));
    ShowActive();
    EXPECT_EQ(Button("cmdRun")->text(), "&Run");
    PressKey(Qt::Key_R, Qt::AltModifier);
    QTest::qWait(300); // a shortcut's click is animated
    EXPECT_TRUE(Bar("vp1")->Text().startsWith("Completed 0 Files")) << Bar("vp1")->Text().toStdString();
}

// A job's texts are stored exactly as they were, however long.
TEST_F(frmMainInputTest, ThePanelKeepsTextsLongerThanALineEditsDefaultLimit)
{
    const QString url = "http://a/" + QString(40000, 'u') + "#1#.jpg";
    const QString command = "echo " + QString(33000, 'c');
    window.StartUp(SaveList("list.txt", {JobRecord{"1", "a", url, "1", "2", "", "", "", "", "", "", "", "", "", "",
                                            command}}));
    Grid().GotoCell(0, 0);
    window.BeginEdit();
    Button("cmdOkEdit")->click();
    EXPECT_EQ(window.Core().Jobs().Record(1).Url, url);
    EXPECT_EQ(window.Core().Jobs().Record(1).CmdPP, command);
    EXPECT_EQ(Grid().CellText(0, JobColUrl), url);
}

// ---- during a run ------------------------------------------------------------

// While a run goes, Stop stays available whatever the panel does, and what the
// run refuses looks unavailable until it ends.
TEST_F(frmMainInputTest, DuringARunStopStaysEnabledAndRefusedActionsAreGreyed)
{
    StartWithSlowJob(6);
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
