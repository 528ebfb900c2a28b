#include "WindowFixture.h"

#include "app/JobTable.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QFocusEvent>

#include <cerrno>
#include <cstring>

namespace {

using frmMainTest = WindowFixture;

} // namespace

// The loading itself is the start-up's; the window shows the loaded
// settings and starts with the edit panel and the slot bars put away.
TEST_F(frmMainTest, StartUpShowsTheListsSettingsOrFallsBackWithOneMessage)
{
    const QString list = SaveList("my jobs.txt", {JobRecord{"1", "a"}, JobRecord{"0", "b"}}, 6, true);
    const QString hidden = SaveList(".hidden.txt", {JobRecord{"1", "h"}});
    struct Case {
        QString commandLine;
        int messages;
        int rows;
        QString slots;
        bool resetLog;
    } cases[] = {
        {"'" + list + "'", 0, 2, "6", true}, // single quotes go as well as double ones
        // A missing file, a folder or a hidden file names no list; the program
        // folder's list is missing too.
        {dir.filePath("missing.txt"), 1, 10, "3", false},
        {dir.path(), 1, 10, "3", false},
        {hidden, 1, 10, "3", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.commandLine.toStdString());
        TestWindow fresh;
        fresh.StartUp(c.commandLine);
        ASSERT_EQ(fresh.Messages.size(), c.messages);
        if (c.messages) {
            EXPECT_TRUE(fresh.Messages[0].startsWith("Unable to load: ") && fresh.Messages[0].contains("/TvData.txt"))
                << fresh.Messages[0].toStdString();
        }
        EXPECT_EQ(fresh.Core().LG().ItemCount(), c.rows);
        EXPECT_EQ(fresh.findChild<QLineEdit *>("TxtDLs")->text(), c.slots);
        EXPECT_EQ(fresh.findChild<QCheckBox *>("chkLogReset")->isChecked(), c.resetLog);
        EXPECT_TRUE(fresh.findChild<QPushButton *>("cmdRun")->isEnabled());
        EXPECT_EQ(fresh.findChild<QWidget *>("GfxTop")->height(), 495 / 15);
        EXPECT_FALSE(fresh.findChild<QWidget *>("picBoxvpDL")->isVisible());
    }
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

TEST_F(frmMainTest, SaveAsksWithTheTextFilterSaysWhyItFailedAndLoadReadsTheChosenList)
{
    window.StartUp(SaveList("list.txt", {JobRecord{"1", "a"}}, 4));
    window.Core().Settings().NumDLs = 7;
    window.findChild<QCheckBox *>("chkLogReset")->setChecked(true);

    // A save that fails says which file and why; the list there stays.
    const QString readOnly = SaveList("read-only.txt", {JobRecord{"1", "old"}});
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ReadOther));
    const QByteArray before = FileBytes(readOnly);
    window.SaveAnswer = readOnly;
    Button("cmdSave")->click();
    EXPECT_EQ(window.Messages,
        QStringList{"Unable to save: " + readOnly + ": " + QString::fromLocal8Bit(std::strerror(EACCES))});
    EXPECT_EQ(FileBytes(readOnly), before);

    window.SaveAnswer = dir.filePath("saved.Txt");
    Button("cmdSave")->click();
    ASSERT_EQ(window.SaveAsked.size(), 2);
    EXPECT_TRUE(window.SaveAsked[1].endsWith("|Txt Files|*.Txt"));
    EXPECT_FALSE(window.FileDialogOpen());

    TestWindow other;
    other.StartUp(SaveList("other.txt", {JobRecord{"1", "x"}, JobRecord{"1", "y"}, JobRecord{"1", "z"}}, 2));
    other.OpenAnswer = window.SaveAnswer;
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
