#include "WindowFixture.h"

#include "app/JobTable.h"
#include "app/window/frmAbout.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QLabel>

namespace {

using frmMainTest = WindowFixture;

// At 96 DPI a pixel is 15 twips.
QRect Twips(int left, int top, int width, int height)
{
    return QRect(qRound(left / 15.0), qRound(top / 15.0), qRound(width / 15.0), qRound(height / 15.0));
}

} // namespace

TEST_F(frmMainTest, StartUpLoadsTheCommandLineListOrFallsBackWithOneMessage)
{
    const QString list = SaveList("my jobs.txt", {JobRecord{"1", "a"}, JobRecord{"0", "b"}}, 6, true);
    struct Case {
        QString commandLine;
        int messages;
        int rows;
        QString slots;
        bool resetLog;
    } cases[] = {
        {list, 0, 2, "6", true},
        {"  \"" + list + "\"  ", 0, 2, "6", true},      // quoted, blanks in the path
        {"'" + list + "'", 0, 2, "6", true},           // single quotes go as well
        {dir.filePath("missing.txt"), 1, 10, "3", false}, // the program folder's list is missing too
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.commandLine.toStdString());
        TestWindow fresh;
        fresh.StartUp(c.commandLine);
        ASSERT_EQ(fresh.Messages.size(), c.messages);
        if (c.messages) {
            EXPECT_TRUE(fresh.Messages[0].startsWith("Unable to load: ")) << fresh.Messages[0].toStdString();
        }
        EXPECT_EQ(fresh.Core().LG().ItemCount(), c.rows);
        EXPECT_EQ(fresh.findChild<QLineEdit *>("TxtDLs")->text(), c.slots);
        EXPECT_EQ(fresh.findChild<QCheckBox *>("chkLogReset")->isChecked(), c.resetLog);
        EXPECT_EQ(fresh.windowTitle(), QString("Tavrin™"));
        EXPECT_TRUE(fresh.findChild<QPushButton *>("cmdRun")->isEnabled());
        EXPECT_EQ(fresh.findChild<ProgressBar *>("vp1")->Text(), QString());
        EXPECT_EQ(fresh.findChild<ProgressBar *>("vp1")->Value(), 0);
    }
}

TEST_F(frmMainTest, ControlsCarryTheirCaptionsTooltipsAndPlaces)
{
    window.StartUp(SaveList("list.txt", {JobRecord{"1", "a"}}));
    struct Case {
        const char *name, *caption, *tooltip;
        QRect place;
    } cases[] = {
        {"cmdRun", "Run", "", Twips(120, 420, 1215, 375)},
        {"cmdViewLog", "View Log", "", Twips(1440, 420, 1215, 375)},
        {"cmdLoad", "Load", "Load Configuration File", Twips(4380, 420, 1215, 375)},
        {"cmdSave", "Save", "Save Configuration File", Twips(5700, 420, 1215, 375)},
        {"cmdAbout", "About", "", Twips(9960, 420, 1215, 375)},
        {"cmdSearch", "v", "Browse for an Access Database", Twips(3420, 60, 315, 315)},
        {"chkLogReset", "Reset Log", "Reset Log File at next run", Twips(7020, 90, 1155, 255)},
        {"lblSearch", "Search", "", Twips(180, 120, 510, 195)},
        {"Label4", "Download Threads", "", Twips(8820, 120, 1395, 255)},
        {"txtSearch", "", "Search in Category, Url and Output", Twips(900, 60, 2475, 315)},
        {"TxtDLs", "3", "Number of concurrent downloads (1-9)", Twips(8400, 60, 315, 315)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QWidget *control = Control(c.name);
        ASSERT_NE(control, nullptr);
        const QVariant text = control->property("text");
        EXPECT_EQ(text.toString(), QString::fromUtf8(c.caption));
        EXPECT_EQ(control->toolTip(), QString::fromUtf8(c.tooltip));
        // Captions may grow to the right to fit the desktop's font.
        EXPECT_EQ(control->pos(), c.place.topLeft());
        EXPECT_EQ(control->height(), c.place.height());
        EXPECT_GE(control->width(), c.place.width());
        EXPECT_TRUE(text.isNull() || control->width() == c.place.width()
                    || control->width() == control->sizeHint().width());
    }
    // The frame is collapsed to its search strip; the edit buttons start disabled.
    EXPECT_EQ(Control("GfxTop")->height(), 495 / 15);
    EXPECT_FALSE(Button("cmdOkEdit")->isEnabled());
    EXPECT_FALSE(Button("CmdCancelEdit")->isEnabled());
    EXPECT_FALSE(Control("picBoxvpDL")->isVisible());
}

TEST_F(frmMainTest, ResizingFillsTheWindowWithTheGridAndNeverGoesBelowOne)
{
    window.StartUp(SaveList("list.txt", {JobRecord{"1", "a"}}));
    window.show();
    // Inner size in pixels -> grid width and height, bottom strip top, frame
    // and banner width, all in pixels at 15 twips each.
    struct Case {
        int width, height;
        int gridW, gridH, stripTop, frameW, bannerW;
    } cases[] = {
        {752, 495, 746, 340, 432, 748, 784},   // the design size: 11280 x 7425 twips
        {1000, 700, 994, 545, 637, 996, 1032}, // larger
        {200, 100, 194, 1, 92, 196, 232},      // lower than the grid's top edge plus the strip
        {4, 3, 1, 1, 92, 1, 36},               // narrower than every margin
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        window.resize(c.width, c.height);
        QWidget *grid = Control("LG");
        EXPECT_EQ(grid->geometry(), QRect(4, 92, c.gridW, c.gridH));
        EXPECT_EQ(Control("picButtom")->y(), c.stripTop);
        EXPECT_EQ(Control("GfxTop")->width(), c.frameW);
        EXPECT_EQ(Control("TopImage")->width(), c.bannerW);
    }
}

TEST_F(frmMainTest, EditingAndRunStatesEnableTheRightButtons)
{
    window.StartUp(SaveList("list.txt", {JobRecord{"1", "a"}}));
    const QStringList panel = {"cmdOkEdit", "CmdCancelEdit"};
    const QStringList top = {"cmdRun", "cmdLoad", "cmdSave"};
    for (bool editing : {true, false}) {
        window.SetEditing(editing);
        for (const QString &name : panel)
            EXPECT_EQ(Button(name)->isEnabled(), editing) << name.toStdString();
        for (const QString &name : top)
            EXPECT_EQ(Button(name)->isEnabled(), !editing) << name.toStdString();
    }
    struct Case {
        int16_t state;
        bool before, after;
    } cases[] = {{0, true, false}, {7, false, false}, {2, false, true}, {-1, true, true}, {0, true, false}, {1, false, true}};
    for (const Case &c : cases) {
        ASSERT_EQ(Button("cmdRun")->isEnabled(), c.before);
        window.SetRunState(c.state);
        EXPECT_EQ(Button("cmdRun")->isEnabled(), c.after) << c.state;
    }
}

TEST_F(frmMainTest, SaveAsksWithTheTextFilterAndLoadReadsTheChosenList)
{
    window.StartUp(SaveList("list.txt", {JobRecord{"1", "a"}}, 4));
    window.Core().Settings().NumDLs = 7;
    window.findChild<QCheckBox *>("chkLogReset")->setChecked(true);

    window.SaveAnswer = dir.filePath("saved.Txt");
    Button("cmdSave")->click();
    ASSERT_EQ(window.SaveAsked.size(), 1);
    EXPECT_TRUE(window.SaveAsked[0].endsWith("|Txt Files|*.Txt"));
    EXPECT_FALSE(window.FileDialogOpen());

    TestWindow other;
    other.StartUp(SaveList("other.txt", {JobRecord{"1", "x"}, JobRecord{"1", "y"}, JobRecord{"1", "z"}}, 2));
    other.OpenAnswer = window.SaveAnswer;
    Button("cmdLoad"); // the window's own, for the control check
    other.findChild<QPushButton *>("cmdLoad")->click();
    ASSERT_EQ(other.OpenAsked.size(), 1);
    // The first open starts in the program folder with no filter.
    EXPECT_EQ(other.OpenAsked[0], other.Core().Settings().ProgramFolder + "|");
    EXPECT_EQ(other.Core().LG().ItemCount(), 1);
    EXPECT_EQ(other.Core().LG().CellText(0, JobColCategory), "a");
    EXPECT_EQ(other.findChild<QLineEdit *>("TxtDLs")->text(), "7");
    EXPECT_TRUE(other.findChild<QCheckBox *>("chkLogReset")->isChecked());

    // A cancelled open changes nothing.
    other.OpenAnswer.clear();
    other.findChild<QPushButton *>("cmdLoad")->click();
    EXPECT_EQ(other.Core().LG().ItemCount(), 1);
    EXPECT_TRUE(other.Messages.isEmpty());
}

TEST_F(frmMainTest, TheSaveFilterAlsoMatchesOtherSpellingsOfTheExtension)
{
    EXPECT_EQ(frmMain::QtFileFilter("Txt Files|*.Txt"), "Txt Files (*.Txt *.txt *.TXT)");
    EXPECT_EQ(frmMain::QtFileFilter("A|*.a;*.B|All|*"), "A (*.a *.A *.B *.b);;All (*)");
    EXPECT_EQ(frmMain::QtFileFilter(""), "");
}

TEST_F(frmMainTest, TheSlotCountBoxRefusesWhatIsNotOneToNine)
{
    window.StartUp(SaveList("list.txt", {JobRecord{"1", "a"}}));
    window.show();
    auto *box = Control<QLineEdit>("TxtDLs");
    struct Case {
        const char *typed;
        int32_t numDLs;
    } cases[] = {{"2.5", 2}, {"10", 2}, {"3.7", 4}, {"0", 4}, {"x", 4}, {" 9 ", 9}};
    for (const Case &c : cases) {
        box->setText(c.typed);
        QFocusEvent leave(QEvent::FocusOut);
        QCoreApplication::sendEvent(box, &leave);
        EXPECT_EQ(window.Core().Settings().NumDLs, c.numDLs) << c.typed;
    }
}

TEST_F(frmMainTest, AboutShowsTheProductTheVersionAndTheLink)
{
    window.StartUp(SaveList("list.txt", {JobRecord{"1", "a"}}));
    window.show();
    Button("cmdAbout")->click();
    auto *about = window.findChild<frmAbout *>();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isModal());
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->findChild<QLabel *>("lblProduct")->text(), QString("Tavrin™"));
    EXPECT_EQ(about->findChild<QLabel *>("lblVersion")->text(), QString("Version: ") + TAVRIN_VERSION);
    EXPECT_TRUE(about->findChild<QLabel *>("lblLink")->text().contains(frmAbout::LinkTarget()));
    about->accept();
}
