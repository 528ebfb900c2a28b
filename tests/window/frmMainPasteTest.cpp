#include "WindowFixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

namespace {

class frmMainPasteTest : public WindowFixture {
protected:
    void StartWithTwoJobs()
    {
        window.StartUp(SaveList(
            "list.txt", {JobRecord{"1", "Cats", "http://a/#1#.jpg"}, JobRecord{"0", "Birds", "http://c/x.jpg"}}));
        window.show();
        Grid().GotoCell(0, 3);
    }
    void Paste(const QString &clipboard)
    {
        QGuiApplication::clipboard()->setText(clipboard);
        QTest::keyClick(LG(), Qt::Key_V, Qt::ControlModifier);
    }
    void ChooseNewFromClipboard(const QString &clipboard)
    {
        QGuiApplication::clipboard()->setText(clipboard);
        ASSERT_TRUE(Choose(12));
    }
};

} // namespace

// The menu item adds the guessed job as the last row, makes it current and
// opens the panel on it; OK keeps what the panel shows. (Ctrl+V on the grid
// does the same under X: WindowPasteEndToEnd.sh.)
TEST_F(frmMainPasteTest, CtrlVAndTheMenuItemAddTheGuessedJobWithThePanelOpenOnIt)
{
    StartWithTwoJobs();
    EXPECT_EQ(MenuItem(12)->text(), "New Job from Clipboard URL");
    ChooseNewFromClipboard("https://x.org/view.php?id=0");
    ASSERT_EQ(Grid().ItemCount(), 3);
    EXPECT_EQ(Grid().Row(), 2);
    EXPECT_TRUE(Control("EditPanel")->isVisibleTo(&window));
    EXPECT_EQ(Box("txtUrl")->text(), "https://x.org/view.php?id=#1#");
    Button("cmdOkEdit")->click();
    const JobRecord &job = Jobs().Record(Grid().ItemData(2));
    EXPECT_EQ(job.Url, "https://x.org/view.php?id=#1#");
    EXPECT_EQ(job.Get, "1");
    EXPECT_TRUE(Grid().CellChecked(2, JobColGet));
    EXPECT_TRUE(window.Messages.isEmpty());
}

// A text that is not a URL is refused with a message that says so; while
// the panel is open or a cell is edited, Ctrl+V adds nothing.
TEST_F(frmMainPasteTest, NothingIsAddedForOtherTextOrWhileEditing)
{
    StartWithTwoJobs();
    Paste("shopping list: 12 eggs");
    ChooseNewFromClipboard("");
    EXPECT_EQ(window.Messages,
        (QStringList{"Not an http, https or ftp URL: shopping list: 12 eggs", "Not an http, https or ftp URL: "}));
    EXPECT_FALSE(window.Editing());

    window.BeginEdit();
    Paste("http://x.com/a1.jpg");
    ChooseNewFromClipboard("http://x.com/a1.jpg");
    Button("CmdCancelEdit")->click();

    Grid().GotoCell(1, JobColCategory);
    QTest::keyClick(LG(), Qt::Key_Return);
    ASSERT_TRUE(LG()->Editing());
    Paste("http://x.com/a1.jpg");
    EXPECT_TRUE(LG()->Editing());

    EXPECT_EQ(Grid().ItemCount(), 2);
    EXPECT_EQ(Jobs().JobCount(), 2);
    EXPECT_EQ(window.Messages.size(), 2);
}
