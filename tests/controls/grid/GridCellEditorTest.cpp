#include "GridInputSupport.h"

#include <QCursor>
#include <QLineEdit>
#include <functional>
#include <gtest/gtest.h>

namespace {

// A grid the user may edit by Enter and a double-click, as the job list is.
struct EditGrid : InputGrid {
    EditGrid()
    {
        store.SetEditable(true);
        store.SetEditTrigger(18);
        box = grid.findChild<QLineEdit *>("txtEdit");
    }
    void Open(int32_t row, int32_t col)
    {
        DoubleClick(Cell(row, col));
        events.clear();
    }
    bool Shown() const { return box->isVisibleTo(&grid); }
    QLineEdit *box = nullptr;
};

} // namespace

TEST(GridEdit, ALongTextIsEditedWhole)
{
    EditGrid g;
    const QString text = QString(40000, 'u');
    g.store.SetCellText(1, 1, text);
    g.Open(1, 1);
    g.Key(Qt::Key_End, {}, QString(), g.box);
    g.Type("x", g.box);
    g.Key(Qt::Key_Return, {}, "\r", g.box);
    EXPECT_EQ(g.store.CellText(1, 1), text + "x");
    EXPECT_TRUE(g.store.CellChanged(1, 1)) << "even with TrackEdits off";
}

TEST(GridEdit, EscapeAndARefusedUpdateKeepTheOldText)
{
    EditGrid g;
    bool refuse = true;
    QObject::connect(&g.grid, &ListGrid::RequestUpdate, [&](RequestUpdateArgs *a) { a->Cancel = refuse; });
    g.Open(2, 0);
    g.Type("new", g.box);
    g.Key(Qt::Key_Escape, {}, "\x1b", g.box);
    EXPECT_FALSE(g.Shown());
    EXPECT_EQ(g.store.CellText(2, 0), "row 2");
    EXPECT_TRUE(g.events.filter(QRegularExpression("^(Request|CellUpdated)")).isEmpty()) << "Escape raises nothing";

    g.Open(2, 0);
    g.Type("new", g.box);
    g.Key(Qt::Key_Return, {}, "\r", g.box);
    EXPECT_TRUE(g.Shown()) << "the host refused: the box stays open";
    EXPECT_EQ(g.store.CellText(2, 0), "row 2");
    EXPECT_EQ(g.events.filter(QRegularExpression("^(Request|CellUpdated)")),
        QStringList({"RequestUpdate 2 0 new", "CellUpdated 2 0"}));
    g.Key(Qt::Key_Down, {}, QString(), g.box);
    EXPECT_EQ(g.store.Row(), 2) << "the key cannot move while the edit cannot end";
    g.Key(Qt::Key_Escape, {}, "\x1b", g.box);
    EXPECT_FALSE(g.Shown());
    EXPECT_EQ(g.store.CellText(2, 0), "row 2");
    EXPECT_FALSE(g.store.CellChanged(2, 0));

    refuse = false;
    g.Open(2, 0);
    g.Key(Qt::Key_Return, {}, "\r", g.box);
    EXPECT_EQ(g.events.filter(QRegularExpression("^(Request|CellUpdated)")), QStringList({"CellUpdated 2 0"}))
        << "an unchanged text is not offered to the host";
    EXPECT_FALSE(g.store.CellChanged(2, 0));
}

TEST(GridEdit, TheColumnsInputFilterAndCaseShapeWhatIsTyped)
{
    const std::tuple<const char *, QString, QString> cases[] = {
        {"1234567890,-", "1a2.b3", "12.3"},
        {">", "MiXeD 1!", "MIXED 1!"},
        {"<", "MiXeD", "mixed"},
        {"", "any 9?", "any 9?"},
    };
    for (const auto &[filter, typed, stored] : cases) {
        EditGrid g;
        g.store.SetColAttribute(2, ColAttr::InputFilter, filter);
        g.Open(0, 2);
        g.Type(typed, g.box);
        EXPECT_EQ(g.box->text(), stored) << filter;
        EXPECT_EQ(g.events.filter("EditKeyPress").size(), typed.size()) << "every character is shown to the host";
    }
}

TEST(GridEdit, ScrollingSortingAndLeavingTheGridEndTheEdit)
{
    EditGrid g;
    bool refuse = false;
    QObject::connect(&g.grid, &ListGrid::RequestUpdate, [&](RequestUpdateArgs *a) { a->Cancel = refuse; });
    g.Open(3, 1);
    g.Type("w", g.box);
    g.Wheel(-120);
    EXPECT_FALSE(g.Shown());
    EXPECT_EQ(g.store.CellText(3, 1), "w") << "scrolling commits";

    refuse = true;
    g.Open(4, 1);
    g.Type("v", g.box);
    g.Wheel(-120);
    EXPECT_TRUE(g.Shown()) << "the host kept it open";
    EXPECT_EQ(g.box->geometry().top(), g.Cell(4, 1, 0).y() - 8) << "and the box follows its cell";
    g.grid.Sort(1);
    EXPECT_TRUE(g.events.filter("SortComplete").isEmpty()) << "no sort while the edit cannot end";
    refuse = false;
    g.grid.Sort(1);
    EXPECT_EQ(g.events.filter("SortComplete").size(), 1);
    EXPECT_FALSE(g.Shown());

    g.Open(5, 2);
    g.Type("q", g.box);
    QCursor::setPos(g.grid.mapToGlobal(QPoint(-50, -50)));
    QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
    QCoreApplication::sendEvent(g.box, &out);
    EXPECT_FALSE(g.Shown()) << "the focus went elsewhere";
    EXPECT_EQ(g.store.CellText(5, 2), "q");

    g.Open(6, 2);
    g.Type("r", g.box);
    QCursor::setPos(g.grid.mapToGlobal(g.Cell(6, 2)));
    QFocusEvent click(QEvent::FocusOut, Qt::MouseFocusReason);
    QCoreApplication::sendEvent(g.box, &click);
    EXPECT_TRUE(g.Shown()) << "a click on the grid itself ends the edit through the press";
    QFocusEvent tab(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(g.box, &tab);
    EXPECT_FALSE(g.Shown()) << "Tab leaves the grid, wherever the mouse is";
    EXPECT_EQ(g.store.CellText(6, 2), "r");

    g.Open(1, 1);
    g.store.Clear();
    EXPECT_TRUE(g.grid.EndEdit()) << "an edit whose rows were cleared just closes";
    EXPECT_FALSE(g.Shown());
}

TEST(GridEdit, APressThatCannotEndTheEditMovesNothingNorDoesItsDrag)
{
    for (const bool multiSelect : {false, true}) {
        EditGrid g;
        g.store.SetMultiSelect(multiSelect);
        QObject::connect(&g.grid, &ListGrid::RequestUpdate, [](RequestUpdateArgs *a) { a->Cancel = true; });
        g.Open(2, 1);
        g.Type("new", g.box);
        g.Press(g.Cell(5, 1));
        g.Move(g.Cell(7, 1));
        g.Move(g.ClientPoint(50, g.grid.Geometry().ClientSize().height() + 5));
        g.Release(g.Cell(7, 1));
        EXPECT_TRUE(g.Shown()) << multiSelect;
        EXPECT_EQ(std::make_pair(g.store.Row(), g.store.Col()), std::make_pair(2, 1)) << multiSelect;
        EXPECT_EQ(SelectedRows(g.store), std::vector<int32_t>({2})) << multiSelect;
        EXPECT_EQ(g.grid.Geometry().TopRow(), 0) << multiSelect;
        EXPECT_TRUE(g.events.filter(QRegularExpression("^(RowColChanged|SelectionChanged|Scroll)$")).isEmpty())
            << multiSelect << ": " << g.events.join(", ").toStdString();
    }
}

TEST(GridEdit, NothingOpensWhereEditingIsNotPossible)
{
    const std::pair<const char *, std::function<void(EditGrid &)>> cases[] = {
        {"check-box column", [](EditGrid &g) { g.store.SetColAttribute(1, ColAttr::Type, 3); }},
        {"not editable", [](EditGrid &g) { g.store.SetEditable(false); }},
        {"locked", [](EditGrid &g) { g.store.SetViewSetting(ViewSetting::Locked, true); }},
        {"no rows", [](EditGrid &g) { g.store.Clear(); }},
    };
    for (const auto &[name, setUp] : cases) {
        EditGrid g;
        setUp(g);
        g.events.clear();
        if (g.store.ItemCount() > 0)
            g.grid.EditCell(0, 1);
        g.Key(Qt::Key_Return, {}, "\r");
        EXPECT_FALSE(g.Shown()) << name;
        EXPECT_TRUE(g.events.filter("RequestEdit").isEmpty()) << name;
    }
}

TEST(GridEdit, EachTriggerOpensTheBoxOnTheCurrentCell)
{
    const std::pair<int32_t, std::function<void(EditGrid &)>> triggers[] = {
        {2, [](EditGrid &g) { g.Key(Qt::Key_Return, {}, "\r"); }},
        {4, [](EditGrid &g) { g.Key(Qt::Key_F2); }},
        {8, [](EditGrid &g) { g.Click(g.Cell(2, 1)); }},
        {16, [](EditGrid &g) { g.DoubleClick(g.Cell(2, 1)); }},
        {32, [](EditGrid &g) { g.Key(Qt::Key_Q, {}, "q"); }},
    };
    for (const auto &[trigger, action] : triggers) {
        for (int32_t bits : {trigger, 0}) {
            EditGrid g;
            g.store.SetEditTrigger(bits);
            g.store.GotoCell(2, 1);
            action(g);
            EXPECT_EQ(g.Shown(), bits != 0) << "trigger " << trigger << ", bits " << bits;
            EXPECT_EQ(g.events.filter("RequestEdit").size(), bits != 0 ? 1 : 0) << "trigger " << trigger;
        }
    }
}
