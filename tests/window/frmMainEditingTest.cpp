#include "WindowFixture.h"

#include "controls/grid/GridEventArgs.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>

namespace {

// The panel's text boxes and the field of the job each one edits.
const std::pair<const char *, int> FieldBoxes[] = {{"TxtCat", 1}, {"txtUrl", 2}, {"Txt1(0)", 3}, {"Txt1(1)", 4},
    {"Txt1(2)", 5}, {"Txt2(0)", 6}, {"Txt2(1)", 7}, {"Txt2(2)", 8}, {"TxtOutPre", 9}, {"TxtOutput", 10},
    {"TxtFileSeparator", 14}, {"TxtPP", 15}};

// The second of three jobs: post-processing that runs after download; each
// field shown in the grid differs from the others.
const JobRecord Dogs{"1", "Dogs", "http://b/#1#.jpg", "1", "5", "0", "2", "3", "00", "b_", "%TEMP%/b", "d2", "1", "1",
    "+", "echo #FILE#"};

class frmMainEditingTest : public WindowFixture {
protected:
    void StartWithThreeJobs()
    {
        window.StartUp(SaveList(
            "list.txt", {JobRecord{"1", "Cats", "http://a/#1#.jpg"}, Dogs, JobRecord{"0", "Birds", "http://c/x.jpg"}}));
    }

    void OpenPanelOn(int32_t row)
    {
        Grid().GotoCell(row, 0);
        window.BeginEdit();
    }
};

} // namespace

TEST_F(frmMainEditingTest, OpeningFillsThePanelLocksTheWindowAndCancelKeepsTheJob)
{
    StartWithThreeJobs();
    // No current row: nothing opens.
    ASSERT_EQ(Grid().Row(), -1);
    window.BeginEdit();
    EXPECT_FALSE(window.Editing());

    window.show();
    auto *menu = window.findChild<QMenu *>("mnuPopUp");

    OpenPanelOn(1);
    EXPECT_TRUE(window.Editing());
    EXPECT_EQ(Control("GfxTop")->height(), 3975 / 15);
    EXPECT_TRUE(Control("EditPanel")->isVisibleTo(&window));
    for (const char *name : {"cmdRun", "cmdLoad", "cmdSave"})
        EXPECT_FALSE(Button(name)->isEnabled()) << name;
    EXPECT_EQ(Control<QLabel>("LabelRowID")->text(), "1");
    EXPECT_EQ(Control<QLabel>("LabelDataID")->text(), "2");
    for (const auto &[name, field] : FieldBoxes)
        EXPECT_EQ(Box(name)->text(), Dogs.Field(field)) << name;
    EXPECT_TRUE(Check("chkRunPP")->isChecked());
    EXPECT_TRUE(Check("chkAllPP")->isChecked());
    EXPECT_TRUE(Box("TxtFileSeparator")->isEnabled());
    Check("chkAllPP")->click();
    EXPECT_FALSE(Box("TxtFileSeparator")->isEnabled());
    // While open, no menu.
    Q_EMIT LG()->MouseDown(2, 0, 10, 40);
    EXPECT_FALSE(menu->isVisible());

    // Cancel leaves the job and its row as they were.
    for (const auto &[name, field] : FieldBoxes)
        Box(name)->setText("changed");
    Check("chkRunPP")->setChecked(false);
    Button("CmdCancelEdit")->click();
    EXPECT_FALSE(window.Editing());
    EXPECT_FALSE(Control("EditPanel")->isVisibleTo(&window));
    for (int f = 0; f < JobRecord::FieldCount; ++f)
        EXPECT_EQ(Jobs().Record(2).Field(f), Dogs.Field(f)) << f;
    EXPECT_EQ(Grid().CellText(1, JobColCategory), "Dogs");
    EXPECT_EQ(Grid().CellImage(1, JobColPP), QVariant(JobImagePostProcessAuto));
}

TEST_F(frmMainEditingTest, OkStoresEveryFieldAsTypedInRecordAndRow)
{
    StartWithThreeJobs();
    OpenPanelOn(0);
    const char *typed[] = {"Fish", "http://new/#1#_#2#.png", "x", "&H10", "000", "3", "-4", "0", "p#2#",
        "%APPDATA%\\out", " ", "tool #FILEPATH#"};
    for (size_t i = 0; i < std::size(FieldBoxes); ++i)
        Box(FieldBoxes[i].first)->setText(typed[i]);
    Check("chkRunPP")->setChecked(true);
    Check("chkAllPP")->setChecked(false); // the separator box is disabled but still stored
    Button("cmdOkEdit")->click();

    EXPECT_FALSE(window.Editing());
    EXPECT_EQ(Control("GfxTop")->height(), 495 / 15);
    for (const char *name : {"cmdRun", "cmdLoad", "cmdSave"})
        EXPECT_TRUE(Button(name)->isEnabled()) << name;
    EXPECT_FALSE(Button("CmdCancelEdit")->isEnabled());
    const JobRecord &job = Jobs().Record(1);
    for (size_t i = 0; i < std::size(FieldBoxes); ++i)
        EXPECT_EQ(job.Field(FieldBoxes[i].second), typed[i]) << FieldBoxes[i].first;
    EXPECT_EQ(QStringList({job.Get, job.LastDate, job.RunPP, job.AllPP}), QStringList({"1", "", "1", ""}));
    EXPECT_EQ(Grid().CellText(0, JobColOutput), "%APPDATA%\\out");
    EXPECT_EQ(Grid().CellImage(0, JobColPP), QVariant(JobImagePostProcessAuto));

    // The second job: RunPP off and AllPP unchecked are stored empty (an AllPP
    // of "yes" shows unchecked), the blank command as typed.
    Jobs().Record(2).AllPP = "yes";
    OpenPanelOn(1);
    Check("chkRunPP")->setChecked(false);
    Box("TxtPP")->setText("   ");
    Button("cmdOkEdit")->click();
    EXPECT_EQ(QStringList({Jobs().Record(2).RunPP, Jobs().Record(2).AllPP, Jobs().Record(2).CmdPP}),
        QStringList({"", "", "   "}));
}

TEST_F(frmMainEditingTest, CopyAppendsTheShownFieldsAndDeleteMarksTheJobDeleted)
{
    StartWithThreeJobs();
    Choose(1); // no current row: nothing
    Choose(2);
    EXPECT_EQ(Grid().ItemCount(), 3);
    Grid().GotoCell(1, 3);
    ASSERT_TRUE(Choose(1));
    ASSERT_EQ(Grid().ItemCount(), 4);
    EXPECT_EQ(std::make_tuple(Grid().Row(), Grid().Col(), Grid().ItemData(3)), std::make_tuple(3, 0, 4));
    const JobRecord &copy = Jobs().Record(4);
    for (int f = 0; f < JobRecord::FieldCount; ++f) // post-processing is not copied
        EXPECT_EQ(copy.Field(f), f <= 11 ? Dogs.Field(f) : CompactText()) << f;
    EXPECT_EQ(Grid().CellImage(3, JobColPP).toInt(), JobImageNone);
    EXPECT_EQ(Grid().CellText(3, JobColLastDate), "d2");

    Grid().GotoCell(0, 0);
    ASSERT_TRUE(Choose(2));
    ASSERT_EQ(Grid().ItemCount(), 3);
    EXPECT_EQ(Grid().ItemData(0), 2);
    EXPECT_TRUE(Jobs().Record(1).Deleted);
    // A copy after a delete still takes the next record index.
    Grid().GotoCell(1, 0);
    Choose(1);
    EXPECT_EQ(Grid().ItemData(3), 5);
}

TEST_F(frmMainEditingTest, PostProcessRunsTheCommandNowAndChoicesMeanwhileAreDropped)
{
    const QString out = dir.filePath("pp");
    // RunPP off: the menu runs the command all the same, on the job's file
    // that is there.
    QDir().mkpath(out);
    ASSERT_TRUE(QFile(out + "/1.jpg").open(QIODevice::WriteOnly));
    window.StartUp(SaveList("list.txt",
        {JobRecord{"0", "a", "http://x/#1#.jpg", "1", "1", "0", "", "", "", "", out, "", "", "", "",
            "sh -c \"sleep 0.5; touch #OUT#/#FILE#.done\""}}));
    Grid().GotoCell(0, 0);
    bool copyChosen = false;
    WhileRunning([&] { copyChosen = copyChosen || Choose(1); }, [&] { Choose(9); });
    EXPECT_TRUE(copyChosen);
    EXPECT_TRUE(QFileInfo::exists(out + "/1.jpg.done"));
    EXPECT_EQ(Grid().ItemCount(), 1);
    // Afterwards the menu works again.
    Choose(1);
    EXPECT_EQ(Grid().ItemCount(), 2);
}

TEST_F(frmMainEditingTest, EditRequestsAreAnsweredByColumn)
{
    // The folder's path variable is expanded and the folder made before it opens.
    window.StartUp(
        SaveList("list.txt", {JobRecord{"1", "a", "http://a", "", "", "", "", "", "", "", "%APPDATA%/b b"}}));
    const QString out = window.Core().Settings().DataFolder + "/b b";
    struct Case {
        int32_t col;
        bool cancel, panelOpens, folderOpens, changed;
    } cases[] = {
        {0, true, true, false, false},
        {1, true, false, false, false},
        {2, false, false, false, true},
        {3, false, false, false, false},
        {12, false, false, false, false},
        {13, true, false, false, false},
        {14, true, false, true, false},
        {15, false, false, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.col);
        Grid().GotoCell(0, c.col);
        window.Opened.clear();
        RequestEditArgs args{0, c.col};
        Q_EMIT LG()->RequestEdit(&args);
        EXPECT_EQ(args.Cancel, c.cancel);
        EXPECT_EQ(window.Editing(), c.panelOpens);
        EXPECT_EQ(window.Opened, c.folderOpens ? QStringList{out + "/"} : QStringList{});
        EXPECT_EQ(Grid().CellChanged(0, c.col), c.changed);
        // With the panel open, every request is refused.
        RequestEditArgs again{0, 3};
        Q_EMIT LG()->RequestEdit(&again);
        EXPECT_EQ(again.Cancel, c.panelOpens);
        if (window.Editing())
            Button("CmdCancelEdit")->click();
    }
    EXPECT_TRUE(QFileInfo(out).isDir());
    window.Opened.clear();
    Choose(10); // "Browse Ouput" opens the same folder
    EXPECT_EQ(window.Opened, QStringList{out + "/"});
}

TEST_F(frmMainEditingTest, SearchFindsTheNextJobByCategoryUrlOrOutputAndWrapsOnce)
{
    std::vector<JobRecord> jobs;
    for (int i = 0; i < 7; ++i)
        jobs.push_back(JobRecord{"0", QString("c%1").arg(i), QString("http://u%1").arg(i), "", "", "", "", "", "",
            "needle", QString("/o%1").arg(i), "needle"});
    jobs[1].Category = "Cat";
    jobs[3].Url = "http://host/CaT.jpg";
    jobs[5].Output = "/tmp/cAt";
    window.StartUp(SaveList("list.txt", jobs));
    struct Case {
        int32_t current;
        const char *text;
        int32_t found; // the current row afterwards
        bool hit;      // a hit moves to column 0
    } cases[] = {
        {-1, "CAT", 1, true}, {1, "cat", 3, true}, {3, "cat", 5, true}, {5, "cat", 1, true}, // round to the top
        {5, "c3", 3, true}, {0, "c0", 0, false}, // the current row itself: no pass reaches it
        {2, "needle", 2, false},                 // Prefix and LastDate are not searched
        {4, "", 4, false}, {-1, "nowhere", -1, false},
        {6, "U6", 6, true}, // from the last row the second pass takes every row
    };
    auto *search = Box("txtSearch");
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.current << " " << c.text);
        if (c.current >= 0)
            Grid().GotoCell(c.current, 3);
        else
            Grid().SetRow(-1);
        ASSERT_EQ(Grid().Row(), c.current);
        search->setText(c.text);
        Button("cmdSearch")->click();
        EXPECT_EQ(Grid().Row(), c.found);
        if (c.current >= 0) {
            EXPECT_EQ(Grid().Col(), c.hit ? 0 : 3);
        }
    }
    // Enter in the box searches as well, with the normal pointer after it.
    search->setText("o0");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    QCoreApplication::sendEvent(search, &enter);
    EXPECT_EQ(Grid().Row(), 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
