#include "controls/grid/ListGrid.h"
#include "GridRows.h"
#include "controls/grid/GridPainter.h"
#include "util/Errors.h"
#include "util/Units.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

// Opens the column views and their resize hook to the tests.
class TestGrid : public ListGrid {
public:
    using ListGrid::ColumnViewAt;
    using ListGrid::ListGrid;
    using ListGrid::RaiseColumnSizeChanged;
};

} // namespace

TEST(ListGrid, ColumnViewsFollowTheStoresColumns)
{
    TestGrid grid;
    GridStore &store = grid.Store();
    QLineEdit editor;
    Fill(store, {ColTypeText, ColTypeText, ColTypeText}, {});
    EXPECT_EQ(grid.Geometry().ColumnWidthPx(1), 67) << "1000 twips at 15 twips per pixel, rounded";

    // ColumnSizeChanged names a display position; the host's answer is kept
    // in the column shown there.
    store.SetColPosition(0, 2);
    grid.BindControl(2, &editor);
    QObject::connect(&grid, &ListGrid::ColumnSizeChanged, [](ColumnSizeChangedArgs *args) {
        if (args->Col == 0)
            args->MoveControl &= ~4; // the editor keeps its left edge
    });
    EXPECT_EQ(grid.RaiseColumnSizeChanged(0), 11);
    EXPECT_EQ(grid.RaiseColumnSizeChanged(2), 0) << "column 0 has no bound editor";
    EXPECT_THROW(grid.RaiseColumnSizeChanged(3), SubscriptError);

    store.AddColumn("later", 0);
    EXPECT_EQ(grid.ColumnViewAt(2).BoundControl, &editor) << "adding a column keeps the others";
    EXPECT_EQ(grid.ColumnViewAt(2).MoveControl, 11);

    store.SetScaleUnits(ScalePixels);
    EXPECT_EQ(grid.Geometry().ColumnWidthPx(0), 67) << "converted widths keep their pixels";
    store.SetColAttribute(0, ColAttr::Width, 40);
    EXPECT_EQ(grid.Geometry().ColumnWidthPx(0), 40);

    store.SetScaleUnits(ScaleTwips);
    store.SetFormatString("a|b|c|d|e");
    EXPECT_EQ(grid.Geometry().ColumnWidthPx(4), 67) << "five columns of 1000 twips";
    EXPECT_EQ(grid.ColumnViewAt(2).BoundControl, nullptr) << "the column list was re-created";
    EXPECT_THROW(grid.BindControl(6, &editor), SubscriptError);
}

// The window connects to the grid alone, also when the grid shows a store
// that a headless run uses (the owning form is driven by the input tests).
TEST(ListGrid, TheStoresEventsReachTheWindowThroughTheGrid)
{
    GridStore shared;
    Fill(shared, {ColTypeText, ColTypeText}, {});
    TestGrid wrapping(shared);
    EXPECT_EQ(&wrapping.Store(), &shared);
    EXPECT_EQ(wrapping.Geometry().ColumnWidthPx(1), 67) << "columns made before the grid";
    QStringList events;
    const std::pair<void (ListGrid::*)(), const char *> forwarded[] = {{&ListGrid::ItemCountChanged, "count"},
        {&ListGrid::RowColChanged, "rowcol"}, {&ListGrid::SelectionChanged, "selection"},
        {&ListGrid::SortComplete, "sorted"}};
    for (const auto &event : forwarded)
        QObject::connect(&wrapping, event.first, [&events, name = event.second] { events << name; });
    QObject::connect(&wrapping, &ListGrid::PropertyChanged, [&](const QString &name) { events << name; });
    QObject::connect(
        &wrapping, &ListGrid::CustomSort, [](CustomSortArgs *args) { args->Swap = args->Value1 < args->Value2; });

    GridStore &store = wrapping.Store();
    store.SetMultiSelect(true);
    store.AddItem("a");
    store.AddItem("b");
    store.GotoCell(1, 0);
    store.RemoveItem(1); // the selected last row: the current row moves up
    CustomSortArgs comparison{true, 0, "a", "b"};
    Q_EMIT store.CustomSort(&comparison);
    Q_EMIT store.SortComplete();

    EXPECT_EQ(
        events, QStringList({"MultiSelect", "count", "count", "rowcol", "selection", "rowcol", "count", "sorted"}));
    EXPECT_TRUE(comparison.Swap) << "the window's answer reaches the sort";
}

TEST(ListGrid, AutoSizedRowsFitTheirWrappedText)
{
    TestGrid grid;
    GridStore &store = grid.Store();
    store.SetScaleUnits(ScalePixels);
    store.AddColumn(QStringLiteral("Text"), 400, 4, 0, QString(), QString(), 4, true);
    const int32_t row = store.AddItem();
    store.SetCellText(row, 0, QStringLiteral("one\ntwo"));
    EXPECT_EQ(store.ItemAt(row).Height, 16) << "not fitted without AutoSizeRow";
    store.SetAutoSizeRow(true);
    store.SetCellText(row, 0, QStringLiteral("one\ntwo\nthree\nfour\nfive"));
    const int line = QFontMetrics(GridPainter::Font(store.Properties())).lineSpacing();
    EXPECT_GE(store.ItemAttribute(row, ItemAttr::Height).toFloat(), 5 * line);
    EXPECT_LT(store.ItemAttribute(row, ItemAttr::Height).toFloat(), 6 * line);
}
