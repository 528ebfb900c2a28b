#include "WindowFixture.h"

#include "app/JobTable.h"
#include "app/window/frmMenu.h"
#include "controls/grid/ListGrid.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

namespace {

class frmMainPasteTest : public WindowFixture {
protected:
    GridStore &Grid() { return window.Core().LG(); }
    JobTable &Jobs() { return window.Core().Jobs(); }
    ListGrid *LG() { return Control<ListGrid>("LG"); }
    QString BoxText(const QString &name) { return Control<QLineEdit>(name)->text(); }

    void StartWithTwoJobs()
    {
        window.StartUp(SaveList("list.txt", {JobRecord{"1", "Cats", "http://a/#1#.jpg"},
                                             JobRecord{"0", "Birds", "http://c/x.jpg"}}));
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
        QAction *item = window.findChild<frmMenu *>()->mnuPop(12);
        ASSERT_NE(item, nullptr);
        item->trigger();
    }
};

} // namespace

// Ctrl+V on the grid and the menu item both add the guessed job as the last
// row, make it current and open the panel on it; OK keeps what the panel
// shows.
TEST_F(frmMainPasteTest, CtrlVAndTheMenuItemAddTheGuessedJobWithThePanelOpenOnIt)
{
    StartWithTwoJobs();
    QAction *item = window.findChild<frmMenu *>()->mnuPop(12);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), "New Job from Clipboard URL");
    const struct {
        bool byKey;
        QString url, guessed, category, l1, u1, format1;
    } cases[] = {
        {true, "http://www.example.com/pics/img0042.jpg\n", "http://www.example.com/pics/img#1#.jpg", "example.com", "1",
         "42", "0000"},
        {false, "https://x.org/view.php?id=0", "https://x.org/view.php?id=#1#", "x.org", "0", "0", ""},
    };
    int32_t rows = 2;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.url.toStdString());
        if (c.byKey)
            Paste(c.url);
        else
            ChooseNewFromClipboard(c.url);
        ASSERT_EQ(Grid().ItemCount(), ++rows);
        EXPECT_EQ(Grid().Row(), rows - 1);
        EXPECT_TRUE(window.Editing());
        EXPECT_TRUE(Control("EditPanel")->isVisibleTo(&window));
        EXPECT_EQ(BoxText("txtUrl"), c.guessed);
        EXPECT_EQ(BoxText("TxtCat"), c.category);
        EXPECT_EQ(BoxText("Txt1(0)"), c.l1);
        EXPECT_EQ(BoxText("Txt1(1)"), c.u1);
        EXPECT_EQ(BoxText("Txt1(2)"), c.format1);
        EXPECT_EQ(BoxText("TxtOutput"), "%MYDOC%/Tavrin/" + c.category);
        Button("cmdOkEdit")->click();
        const JobRecord &job = Jobs().Record(Grid().ItemData(rows - 1));
        EXPECT_EQ(job.Url, c.guessed);
        EXPECT_EQ(job.Get, "1");
        EXPECT_TRUE(Grid().CellChecked(rows - 1, JobColGet));
        EXPECT_EQ(Grid().CellText(rows - 1, JobColU1), c.u1);
    }
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
