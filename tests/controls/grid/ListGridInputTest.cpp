#include "GridInputSupport.h"

#include <QElapsedTimer>
#include <QScrollBar>
#include <QWheelEvent>
#include <functional>
#include <gtest/gtest.h>
#include <numeric>

using Rows = std::vector<int32_t>;

namespace {

QScrollBar *ScrollBar(ListGrid &grid, Qt::Orientation orientation)
{
    for (QScrollBar *bar : grid.findChildren<QScrollBar *>()) {
        if (bar->orientation() == orientation)
            return bar;
    }
    return nullptr;
}

// The rows from first to last, both included.
Rows RowsFrom(int32_t first, int32_t last)
{
    Rows rows(static_cast<size_t>(last - first + 1));
    std::iota(rows.begin(), rows.end(), first);
    return rows;
}

} // namespace

TEST(GridClick, ShiftAndCtrlSelectSeveralRowsOnlyWithMultiSelect)
{
    const Qt::KeyboardModifiers none, shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier;
    using Clicks = std::vector<std::pair<int32_t, Qt::KeyboardModifiers>>;
    const std::tuple<const char *, bool, Clicks, Rows> cases[] = {
        {"shift from the current row", true, {{2, none}, {5, shift}}, {2, 3, 4, 5}},
        {"shift replaces what was selected", true, {{7, none}, {8, ctrl}, {1, none}, {3, shift}}, {1, 2, 3}},
        {"ctrl toggles one row", true, {{2, none}, {5, ctrl}, {7, ctrl}, {2, ctrl}}, {5, 7}},
        {"shift without MultiSelect", false, {{2, none}, {5, shift}}, {5}},
        {"ctrl without MultiSelect", false, {{2, none}, {5, ctrl}}, {5}},
        {"ctrl on the only selected row", false, {{2, none}, {2, ctrl}}, {}},
    };
    for (const auto &[name, multiSelect, clicks, selected] : cases) {
        InputGrid g;
        g.store.SetMultiSelect(multiSelect);
        for (const auto &[row, mods] : clicks)
            g.Click(g.Cell(row, 1), mods);
        EXPECT_EQ(SelectedRows(g.store), selected) << name;
        EXPECT_EQ(g.store.Row(), clicks.back().first) << name;
        EXPECT_EQ(g.store.Col(), 1) << name;
    }
}

TEST(GridClick, RaisesItsEventsInTheHostsNumbering)
{
    InputGrid g;
    g.Click(g.Cell(3, 2), Qt::ShiftModifier | Qt::AltModifier);
    EXPECT_EQ(g.events,
        QStringList({"RowColChanged", "Scroll", "SelectionChanged", "MouseDown 1 5", "MouseUp 1 5", "Click"}));
    g.events.clear();
    g.Click(g.Cell(4, 0), Qt::ControlModifier, Qt::RightButton);
    EXPECT_EQ(g.events, QStringList({"RowColChanged", "Scroll", "SelectionChanged", "MouseDown 2 2", "MouseUp 2 2"}))
        << "another button makes the row the only selected one; no Click";
    EXPECT_EQ(SelectedRows(g.store), Rows({4}));
}

// The check-box strip and Space toggle the row's check and leave the
// selection; without check boxes Space is an ordinary key.
TEST(GridClick, TheCheckBoxStripAndSpaceToggleTheRowCheck)
{
    InputGrid g;
    g.Click(g.Cell(2, 0));
    g.events.clear();
    g.Key(Qt::Key_Space, {}, " ");
    EXPECT_EQ(g.events.mid(0, 2), QStringList({"KeyDown 32 0", "KeyPress 32"})) << "not used without check boxes";
    g.store.SetCheckBoxes(true);
    g.events.clear();
    g.Key(Qt::Key_Space, {}, " ");
    EXPECT_TRUE(g.store.ItemAttribute(2, ItemAttr::Checked).toBool());
    EXPECT_EQ(g.events.filter("KeyDown").size(), 0);
    EXPECT_TRUE(g.events.contains("ItemChecked 2"));
    g.events.clear();
    g.Click(g.ClientPoint(15, g.grid.RowTop(3) + 8));
    EXPECT_TRUE(g.store.ItemAttribute(3, ItemAttr::Checked).toBool());
    EXPECT_EQ(SelectedRows(g.store), Rows({2}));
    EXPECT_EQ(g.events.mid(0, 2), QStringList({"ItemChecked 3", "MouseDown 1 0"}));
    g.Click(g.ClientPoint(16, g.grid.RowTop(3) + 8));
    EXPECT_TRUE(g.store.ItemAttribute(3, ItemAttr::Checked).toBool()) << "one pixel further is the row";
    EXPECT_EQ(SelectedRows(g.store), Rows({3}));
}

TEST(GridClick, ACheckBoxColumnIsToggledThroughTheEditRequest)
{
    InputGrid g;
    g.store.SetColAttribute(2, ColAttr::Type, 3);
    g.store.SetColAttribute(2, ColAttr::Alignment, 4); // the box at the cell's left, middle
    bool refuse = false;
    QObject::connect(&g.grid, &ListGrid::RequestEdit, [&](RequestEditArgs *a) { a->Cancel = refuse; });
    const int32_t box = g.grid.Geometry().Layout().CheckBoxSize;
    g.Click(g.Cell(2, 2, 1 + box / 2));
    EXPECT_FALSE(g.store.CellChecked(2, 2)) << "not editable: no toggle";
    g.store.SetEditable(true);
    g.events.clear();
    g.Click(g.Cell(2, 2, 1 + box / 2));
    EXPECT_TRUE(g.store.CellChecked(2, 2));
    EXPECT_EQ(g.events.mid(0, 2), QStringList({"RequestEdit 2 2", "CellUpdated 2 2"}));
    refuse = true;
    g.Click(g.Cell(2, 2, 1 + box / 2));
    EXPECT_TRUE(g.store.CellChecked(2, 2)) << "the host refused";
    refuse = false;
    g.Click(g.Cell(2, 2, box + 10));
    EXPECT_TRUE(g.store.CellChecked(2, 2)) << "beside the box";
}

TEST(GridHeader, ABorderDragResizesTheColumn)
{
    InputGrid g;
    g.store.SetAllowUserResizing(1);
    g.Move(g.Header(0, 98), Qt::NoButton);
    EXPECT_EQ(g.grid.cursor().shape(), Qt::SplitHCursor);
    g.Press(g.Header(0, 98));
    g.Move(g.Header(0, 1));
    EXPECT_EQ(g.grid.Geometry().ColumnWidthPx(0), 100) << "a width of 1 pixel is ignored";
    g.events.clear();
    g.Move(g.Header(0, 150));
    g.Move(g.Header(0, 150));
    g.Release(g.Header(0, 150));
    EXPECT_EQ(g.grid.Geometry().ColumnWidthPx(0), 150);
    EXPECT_FLOAT_EQ(g.store.ColumnAt(0).Width, 2250) << "in twips";
    EXPECT_EQ(g.events.filter("ColumnSizeChanged"), QStringList({"ColumnSizeChanged 0 0"}));
    EXPECT_EQ(g.events.filter("SortComplete").size() + g.events.filter("ColumnClick").size(), 0);
    EXPECT_NE(g.grid.cursor().shape(), Qt::SplitHCursor);

    g.store.SetAllowUserResizing(2);
    g.Move(g.Header(1, 98), Qt::NoButton);
    EXPECT_NE(g.grid.cursor().shape(), Qt::SplitHCursor) << "only 1 and 4 allow resizing";
}

TEST(GridHeader, AHeaderClickSortsOrRaisesColumnClick)
{
    InputGrid g(5);
    g.Press(g.Header(1));
    EXPECT_EQ(g.grid.View().State.PressedColumn, 1);
    g.Move(g.Header(2));
    EXPECT_EQ(g.grid.View().State.PressedColumn, -1) << "drawn normal away from the pressed column";
    g.Move(g.Header(1));
    g.Release(g.Header(1));
    EXPECT_EQ(g.grid.View().State.PressedColumn, -1);
    EXPECT_EQ(g.events.filter("ColumnClick"), QStringList({"ColumnClick 1"}));

    g.store.SetColumnSort(true);
    g.events.clear();
    g.Click(g.Header(0));
    g.Click(g.Header(0));
    EXPECT_EQ(g.store.CellText(0, 0), "row 4") << "the second click sorts descending";
    g.Click(g.Header(1), Qt::ControlModifier);
    EXPECT_EQ(g.grid.View().Sorter.SortCol(), 0);
    EXPECT_EQ(g.grid.View().Sorter.SubSortCol(), 1);
    EXPECT_EQ(std::make_pair(g.store.ColumnAt(0).SortOrder, g.store.ColumnAt(1).SortOrder), std::make_pair(0, 1))
        << "Ctrl adds the column ascending under the kept order";
    g.Click(g.Header(1));
    EXPECT_EQ(std::make_pair(g.grid.View().Sorter.SortCol(), g.grid.View().Sorter.SubSortCol()), std::make_pair(1, -1));
    EXPECT_EQ(g.events.filter("SortComplete").size(), 4);
    EXPECT_EQ(g.events.filter("ColumnClick").size(), 0);
}

TEST(GridDrag, DraggingSelectsFromThePressedRowAndScrollsBelowTheGrid)
{
    InputGrid g;
    g.store.SetMultiSelect(true);
    g.Press(g.Cell(1, 0));
    g.Move(g.Cell(3, 0));
    EXPECT_EQ(SelectedRows(g.store), Rows({1, 2, 3}));
    g.Move(g.Cell(4, 0), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(SelectedRows(g.store), Rows({1, 2, 3})) << "Ctrl selects nothing new";

    const int32_t max = g.grid.Geometry().Bar(VerticalBar).Max;
    ASSERT_GT(max, 2);
    g.Move(g.ClientPoint(50, g.grid.Geometry().ClientSize().height() + 5));
    EXPECT_EQ(g.grid.Geometry().TopRow(), 1) << "the first step comes at once";
    QElapsedTimer waited;
    waited.start();
    while (g.grid.Geometry().TopRow() < max && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(g.grid.Geometry().TopRow(), max) << "scrolls until the last row shows, then stops";
    EXPECT_TRUE(g.store.ItemAttribute(g.store.ItemCount() - 1, ItemAttr::Selected).toBool());
    g.Release(g.ClientPoint(50, g.grid.Geometry().ClientSize().height() + 5));
}

// However the view reached the end, its top row is the vertical maximum, the
// last row shows whole, and no scroll downwards moves the view back up. The
// bar's own actions at the end are checked with ScrollBy below.
TEST(GridScroll, NoScrollDownwardsMovesTheViewUpAtTheEnd)
{
    using Action = std::function<void(InputGrid &)>;
    const auto below = [](InputGrid &g) { return g.ClientPoint(50, g.grid.Geometry().ClientSize().height() + 5); };
    // One pixel into the last row: however little of it shows, it is hit.
    const Action clickLastRow = [](InputGrid &g) {
        g.Click(g.ClientPoint(50, g.grid.RowTop(g.store.ItemCount() - 1) + 1));
    };
    const std::pair<const char *, Action> ways[] = {
        {"the bar's bottom",
            [](InputGrid &g) { ScrollBar(g.grid, Qt::Vertical)->triggerAction(QAbstractSlider::SliderToMaximum); }},
        {"Ctrl+End", [](InputGrid &g) { g.Key(Qt::Key_End, Qt::ControlModifier); }},
        {"a click on the partly shown last row",
            [clickLastRow](InputGrid &g) {
                const int32_t height = g.grid.Geometry().ClientSize().height();
                while (g.grid.RowTop(g.store.ItemCount() - 1) >= height)
                    g.Wheel(-120);
                ASSERT_GT(g.grid.RowTop(g.store.ItemCount() - 1) + 16, height) << "partly shown";
                clickLastRow(g);
            }},
    };
    const std::pair<const char *, Action> downwards[] = {
        {"wheel down", [](InputGrid &g) { g.Wheel(-120); }},
        {"auto-scroll down",
            [below](InputGrid &g) {
                g.Press(g.Cell(g.grid.Geometry().TopRow(), 0));
                g.Move(below(g));
                g.Release(below(g));
            }},
        {"a click on the last row", clickLastRow},
    };
    for (const auto &[way, reach] : ways) {
        for (const auto &[name, action] : downwards) {
            InputGrid g;
            reach(g);
            const int32_t end = g.grid.Geometry().TopRow();
            const int32_t last = g.store.ItemCount() - 1;
            EXPECT_EQ(end, g.grid.Geometry().Bar(VerticalBar).Max) << way;
            EXPECT_LE(g.grid.RowTop(last) + g.store.ItemAt(last).Height, g.grid.Geometry().ClientSize().height())
                << way << ": the last row shows whole";
            action(g);
            EXPECT_EQ(g.grid.Geometry().TopRow(), end) << way << ", then " << name;
            EXPECT_EQ(ScrollBar(g.grid, Qt::Vertical)->maximum(), end) << way << ", then " << name;
        }
    }
}

// A row added while Redraw is off and made current, as a copied job is, is
// scrolled into view whole: the range counts it before Redraw is back on.
TEST(GridScroll, ARowAddedWhileRedrawIsOffIsScrolledIntoViewWhole)
{
    InputGrid g;
    g.store.SetRedraw(false);
    const int32_t row = g.store.AddItem(QStringLiteral("copy"));
    g.store.GotoCell(row, 0);
    g.store.SetRedraw(true);
    EXPECT_EQ(g.grid.Geometry().TopRow(), g.grid.Geometry().Bar(VerticalBar).Max);
    EXPECT_LE(g.grid.RowTop(row) + g.store.ItemAt(row).Height, g.grid.Geometry().ClientSize().height());
}

TEST(GridKeys, NavigationKeysMoveTheCurrentCellWithinTheGrid)
{
    InputGrid g;
    const int32_t page = g.grid.ItemsVisible();
    const int32_t last = g.store.ItemCount() - 1;
    const std::tuple<int, Qt::KeyboardModifiers, int32_t, int32_t> steps[] = {
        {Qt::Key_Down, {}, 1, 0},
        {Qt::Key_Up, {}, 0, 0},
        {Qt::Key_Up, {}, 0, 0},
        {Qt::Key_Right, {}, 0, 1},
        {Qt::Key_End, {}, 0, 3},
        {Qt::Key_Right, {}, 0, 3},
        {Qt::Key_Home, {}, 0, 0},
        {Qt::Key_PageDown, {}, page, 0},
        {Qt::Key_PageUp, {}, 0, 0},
        {Qt::Key_End, Qt::ControlModifier, last, 0},
        {Qt::Key_Down, {}, last, 0},
        {Qt::Key_Home, Qt::ControlModifier, 0, 0},
    };
    g.Click(g.Cell(0, 0));
    for (const auto &[key, mods, row, col] : steps) {
        g.Key(key, mods);
        EXPECT_EQ(g.store.Row(), row) << "key " << key;
        EXPECT_EQ(g.store.Col(), col) << "key " << key;
        EXPECT_EQ(SelectedRows(g.store), Rows({row})) << "key " << key;
    }
    EXPECT_EQ(g.events.filter("KeyDown").size(), 0) << "every one was used";
}

// From the current row 5, with and without MultiSelect: Shift with the
// arrows, Home and End selects from the anchor row and Ctrl+A every row
// (one SelectionChanged); without it they move the current row (Shift+Home
// and End as Ctrl+Home and Ctrl+End do) and select it alone.
TEST(GridKeys, ShiftAndCtrlKeysSelectWithMultiSelectOnly)
{
    const std::tuple<bool, std::vector<int>, int32_t, Rows> cases[] = {
        {false, {Qt::Key_A}, 5, {5}},
        {false, {Qt::Key_Down}, 6, {6}},
        {true, {Qt::Key_Down, Qt::Key_Down}, 7, RowsFrom(5, 7)},
        {true, {Qt::Key_Down, Qt::Key_Down, Qt::Key_Home}, 0, RowsFrom(0, 7)},
        {true, {Qt::Key_Home}, 0, RowsFrom(0, 5)},
        {true, {Qt::Key_End}, 29, RowsFrom(5, 29)},
        {true, {Qt::Key_A}, 5, RowsFrom(0, 29)},
    };
    for (const auto &[multiSelect, keys, row, selected] : cases) {
        InputGrid g;
        g.store.SetMultiSelect(multiSelect);
        g.Click(g.Cell(5, 1));
        g.events.clear();
        for (const int key : keys) {
            if (key == Qt::Key_A)
                g.Key(key, Qt::ControlModifier, "\x01");
            else
                g.Key(key, Qt::ShiftModifier);
        }
        const std::string name = std::to_string(multiSelect) + " " + std::to_string(keys.back());
        EXPECT_EQ(std::make_pair(g.store.Row(), g.store.Col()), std::make_pair(row, 1)) << name;
        EXPECT_EQ(SelectedRows(g.store), selected) << name;
        if (multiSelect && keys.back() == Qt::Key_A) {
            EXPECT_EQ(g.events.filter("SelectionChanged").size(), 1) << name;
        }
    }
}

TEST(GridKeys, LettersAndDigitsFindRowsInTheSearchColumn)
{
    InputGrid g;
    g.store.SetViewSetting(ViewSetting::SearchColumn, 1);
    g.Type("b2", &g.grid);
    EXPECT_EQ(g.store.Row(), 2);
    g.Type("3", &g.grid);
    EXPECT_EQ(g.store.Row(), 3) << "b23 typed within a second: the first row at or after it is b3";
    EXPECT_EQ(g.grid.Geometry().TopRow(), 3);
    EXPECT_EQ(g.events.filter("KeyPress"), QStringList({"KeyPress 98", "KeyPress 50", "KeyPress 51"}));
    g.store.SetViewSetting(ViewSetting::SearchColumn, 9);
    g.Type("c", &g.grid);
    EXPECT_EQ(g.store.Row(), 3) << "a search column beyond the columns finds nothing";
}

TEST(GridWindow, EachWheelEventScrollsOneLine)
{
    InputGrid g;
    g.store.SetFormatString("a|b|c|d|e|f|g");
    g.grid.RefreshView();
    g.Wheel(-360);
    EXPECT_EQ(g.grid.Geometry().TopRow(), 1) << "three notches in one event scroll one row";
    g.Wheel(-120);
    g.Wheel(120);
    EXPECT_EQ(g.grid.Geometry().TopRow(), 1);
    g.Wheel(-120, Qt::ControlModifier);
    EXPECT_EQ(g.grid.Geometry().LeftCol(), 1) << "Ctrl turns the columns";
    EXPECT_EQ(g.events.filter("Scroll").size(), 4);
    g.Wheel(120);
    g.Wheel(120);
    EXPECT_EQ(g.events.filter("Scroll").size(), 5) << "nothing moves at the top";
}

// The scroll bars are part of the grid: one notch over either scrolls one
// row, and with Ctrl one column, as over the cells.
TEST(GridWindow, TheWheelOverTheScrollBarsScrollsAsOverTheCells)
{
    // The bar under the wheel, the keys held -> top row and left column.
    const std::tuple<const char *, Qt::Orientation, Qt::KeyboardModifiers, int32_t, int32_t> cases[] = {
        {"vertical bar, Ctrl", Qt::Vertical, Qt::ControlModifier, 0, 1},
        {"horizontal bar", Qt::Horizontal, {}, 1, 0},
    };
    for (const auto &[name, orientation, mods, top, left] : cases) {
        InputGrid g;
        QScrollBar *bar = ScrollBar(g.grid, orientation);
        ASSERT_TRUE(bar->isVisibleTo(&g.grid));
        g.events.clear();
        const QPointF at(bar->width() / 2, bar->height() / 2);
        QWheelEvent wheel(
            at, bar->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, mods, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(bar, &wheel);
        EXPECT_EQ(g.grid.Geometry().TopRow(), top) << name;
        EXPECT_EQ(g.grid.Geometry().LeftCol(), left) << name;
        EXPECT_EQ(bar->value(), orientation == Qt::Vertical ? top : left) << name;
        EXPECT_EQ(g.events.filter("Scroll").size(), 1) << name;
    }
}

TEST(GridWindow, GotoCellAndScrollActionsMoveTheBarsAndRaiseScroll)
{
    InputGrid g;
    const auto scrolls = [&g] { return g.events.filter("Scroll").size(); };
    const auto *vertical = g.grid.findChildren<QScrollBar *>()[1];
    ASSERT_EQ(vertical->orientation(), Qt::Vertical);
    g.store.GotoCell(29, 3);
    EXPECT_EQ(scrolls(), 1);
    EXPECT_EQ(g.grid.Geometry().TopRow(), 29 - (g.grid.ItemsVisible() - 1)) << "the last row at the bottom";
    EXPECT_EQ(vertical->value(), g.grid.Geometry().TopRow());
    EXPECT_EQ(g.grid.Geometry().LeftCol(), 1) << "columns 1 to 3 fit in the client, 330 less the bar";
    EXPECT_TRUE(g.store.ItemAttribute(29, ItemAttr::Selected).toBool());

    // The bar's actions, each from where the last one left it.
    const int32_t page = g.grid.Geometry().Bar(VerticalBar).PageSize;
    const int32_t max = g.grid.Geometry().Bar(VerticalBar).Max;
    const std::tuple<ScrollAction, int32_t, int32_t> actions[] = {{ScrollAction::Top, 0, 0},
        {ScrollAction::LineUp, 0, 0}, {ScrollAction::PageDown, 0, page}, {ScrollAction::LineDown, 0, page + 1},
        {ScrollAction::ThumbTrack, 9, 9}, {ScrollAction::EndScroll, 0, 9}, {ScrollAction::Bottom, 0, max},
        {ScrollAction::PageDown, 0, max}};
    for (const auto &[action, track, top] : actions) {
        g.grid.ScrollBy(VerticalBar, action, track);
        EXPECT_EQ(vertical->value(), top) << static_cast<int>(action);
    }
    EXPECT_EQ(scrolls(), 1 + 5) << "no move, no event";
    g.store.Clear();
    EXPECT_EQ(g.grid.Geometry().TopRow(), 0);
    EXPECT_EQ(g.grid.Geometry().LeftCol(), 0);
}
