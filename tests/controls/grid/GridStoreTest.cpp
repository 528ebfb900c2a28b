#include "controls/grid/GridStore.h"
#include "GridRows.h"
#include "controls/grid/ImageList.h"
#include "util/Errors.h"

#include <gtest/gtest.h>

namespace {

// Records the store's requests to the view and its row events, in order.
struct ViewLog {
    QStringList events;
    std::vector<int32_t> rowFits;

    explicit ViewLog(GridStore &grid)
    {
        const std::pair<void (GridStore::*)(), const char *> recorded[] = {{&GridStore::RepaintRequested, "repaint"},
            {&GridStore::LayoutRequested, "layout"}, {&GridStore::ScrollBarsRequested, "scrollbars"},
            {&GridStore::ItemCountChanged, "count"}, {&GridStore::Cleared, "cleared"}};
        for (const auto &signal : recorded)
            QObject::connect(&grid, signal.first, [this, name = signal.second] { events << name; });
        QObject::connect(&grid, &GridStore::RowFitRequested, [this](int32_t row) { rowFits.push_back(row); });
    }
};

// What a failing call must leave as it was: each row's text, height and image.
QStringList Rows(const GridStore &grid)
{
    QStringList rows;
    for (int r = 0; r < grid.ItemCount(); ++r)
        rows << QStringLiteral("%1 %2 %3")
                    .arg(grid.CellText(r, 0))
                    .arg(grid.ItemAttribute(r, ItemAttr::Height).toFloat())
                    .arg(grid.CellImage(r, 0).toInt());
    return rows;
}

} // namespace

// Index 0 appends, any other index inserts; records move with their rows
// through growing and shrinking of the store. With one column the text is
// kept whole, tabs and all.
TEST(GridStore, InsertsAndRemovalsMoveTheRecordsWithTheirRows)
{
    GridStore grid;
    grid.SetCacheIncrement(3);
    const std::pair<QString, int> added[] = {{"a\t", 0}, {"b", 0}, {"c", 1}, {"d", 0}, {"e", 3}, {"f", 0}, {"g", 2}};
    for (const auto &[text, index] : added)
        grid.SetItemData(grid.AddItem(text, index), text.at(0).unicode());
    EXPECT_EQ(grid.AddItem("h", 0), 7);
    grid.RemoveItem(1);
    grid.RemoveItem(6);
    QStringList rows;
    for (int r = 0; r < grid.ItemCount(); ++r)
        rows << grid.CellText(r, 0) + QChar(grid.ItemData(r));
    EXPECT_EQ(rows, QStringList({"a\ta", "gg", "bb", "ee", "dd", "ff"}));
}

// The selected rows are also kept aside so that clearing them does not walk
// every row: both must agree through removals, re-used slots and Clear. A
// re-used slot starts as a new item.
TEST(GridStore, SelectionAgreesWithTheRowFlagsAndAReusedSlotStartsAfresh)
{
    GridStore grid;
    Fill(grid, {ColTypeText}, {"0", "1", "2", "3", "4", "5", "6", "7"});
    grid.SetMultiSelect(true);
    EXPECT_TRUE(grid.SelectRange(5, 2));
    EXPECT_FALSE(grid.SelectRange(3, 4)) << "already selected";
    grid.SetItemAttribute(7, ItemAttr::Selected, true);
    grid.RemoveItem(1); // the slots above the removed row move down
    EXPECT_EQ(SelectedRows(grid), std::vector<int32_t>({1, 2, 3, 4, 6}));
    EXPECT_EQ(grid.SelectedCount(), 5);
    grid.SetItemAttribute(6, ItemAttr::Checked, true);
    grid.SetItemData(6, 7);
    grid.SetItemAttribute(6, ItemAttr::Tag, "tag");
    grid.SetCellChecked(6, 0, true);
    grid.RemoveItem(6);
    grid.AddItem("new"); // takes the slot the removed row left
    EXPECT_EQ(std::vector<int>({grid.ItemAttribute(6, ItemAttr::Selected).toBool(),
                  grid.ItemAttribute(6, ItemAttr::Checked).toBool(), grid.CellChecked(6, 0), grid.ItemData(6)}),
        std::vector<int>({0, 0, 0, 0}));
    EXPECT_EQ(grid.ItemAttribute(6, ItemAttr::Tag).toString(), "");
    EXPECT_EQ(grid.SelectedCount(), 4);
    EXPECT_TRUE(grid.ClearSelection());
    EXPECT_TRUE(SelectedRows(grid).empty());
    EXPECT_FALSE(grid.ClearSelection());
    grid.SetItemAttribute(0, ItemAttr::Selected, true);
    grid.Clear();
    grid.AddItem("x");
    EXPECT_EQ(grid.SelectedCount(), 0);
    EXPECT_THROW(grid.SelectRange(0, 1), SubscriptError);
}

// A loaded list adds its rows in one step: they must be the rows AddItem
// gives one at a time, a removed row's slot reused afresh, the cells sharing
// the default format, with one count signal for them all.
TEST(GridStore, AddItemsGivesTheRowsOfAddItemInOneStep)
{
    GridStore single, bulk;
    for (GridStore *grid : {&single, &bulk}) {
        Fill(*grid, {ColTypeCheckBox, ColTypeText}, {"1\ta", "0\tb", "1\tc"});
        grid->SetCellAttribute(2, 1, CellAttr::BackColor, 0xFF);
        grid->SetItemAttribute(2, ItemAttr::Selected, true);
        grid->RemoveItem(2);
    }
    ViewLog log(bulk);
    for (int k = 0; k < 40; ++k)
        single.AddItem();
    bulk.AddItems(40);
    EXPECT_EQ(log.events.count("count"), 1);

    // Every attribute of every row and cell, then each format's count of cells.
    const auto describe = [](const GridStore &grid) {
        QVariantList values;
        for (int32_t r = 0; r < grid.ItemCount(); ++r) {
            values << grid.ItemData(r) << grid.CellText(r, 0) << grid.CellText(r, 1);
            for (int a = 0; a <= int(ItemAttr::Height); ++a)
                values << grid.ItemAttribute(r, ItemAttr(a));
            for (int a = 0; a <= int(CellAttr::FontName); ++a)
                values << grid.CellAttribute(r, 0, CellAttr(a)) << grid.CellAttribute(r, 1, CellAttr(a));
        }
        for (const FormatRecord &format : grid.Formats())
            values << format.RefCount;
        return values;
    };
    EXPECT_EQ(describe(bulk), describe(single));
}

// Removing the last position moves the current cell one row up, whichever
// row it was on; removing any other position leaves it. A removed selected
// row passes its selection to the row that takes its place, or to the new
// last row. Removing the only row empties the grid; the columns stay.
TEST(GridStore, RemoveItemMovesTheCurrentCellAndTheSelectionByTheirRules)
{
    // Current row, removed row -> current row, the row selected afterwards.
    const int32_t cases[][4] = {{3, 3, 2, 2}, {1, 3, 0, 1}, {2, 1, 2, 1}, {0, 3, 0, 0}, {1, 1, 1, 1}};
    for (const auto &[current, removed, row, selected] : cases) {
        GridStore grid;
        Fill(grid, {ColTypeText, ColTypeText}, {"r0", "r1", "r2", "r3"});
        grid.GotoCell(current, 1);
        grid.RemoveItem(removed);
        EXPECT_EQ(std::vector<int>({grid.Row(), grid.Col(), grid.SelectedCount(),
                      grid.ItemAttribute(selected, ItemAttr::Selected).toBool()}),
            std::vector<int>({row, 1, 1, 1}))
            << "current " << current << ", removed " << removed;
    }

    GridStore grid;
    Fill(grid, {ColTypeText, ColTypeText}, {"a"});
    grid.GotoCell(0, 1);
    ViewLog log(grid);
    grid.RemoveItem(0);
    EXPECT_EQ(
        std::vector<int>({grid.ItemCount(), grid.Row(), grid.Col(), grid.Cols()}), std::vector<int>({0, -1, -1, 1}));
    EXPECT_EQ(std::vector<qsizetype>({log.events.count("count"), log.events.count("cleared")}),
        std::vector<qsizetype>({1, 1}));
}

TEST(GridStore, OutOfRangeArgumentsThrowAndChangeNothing)
{
    GridStore grid;
    Fill(grid, {ColTypeText, ColTypeText}, {"a", "b"});
    grid.SetCellImage(0, 0, 7);
    grid.SetAutoSizeRow(true);
    grid.AddColumn("late");
    const QStringList before = Rows(grid);

    EXPECT_THROW(grid.CellText(-1, 0), SubscriptError);
    EXPECT_THROW(grid.SetCellText(0, 2, "x"), SubscriptError) << "no cell for a column added after the row";
    EXPECT_THROW(grid.RemoveItem(5), SubscriptError);
    EXPECT_THROW(grid.GotoCell(0, 9), SubscriptError);
    EXPECT_THROW(grid.RowCollaps(0, 9, false, 1000), SubscriptError);
    for (const int32_t image : {32768, -32769})
        EXPECT_THROW(grid.SetCellImage(0, 0, image), OverflowError) << image;

    EXPECT_EQ(Rows(grid), before);
    EXPECT_TRUE(grid.Properties().AutoSizeRow) << "RowCollaps restores it";
    grid.AddItem("c");
    EXPECT_EQ(grid.CellText(2, 2), "");
}

// A change of the grid's colour or font goes to the cells made after it.
TEST(GridStore, NewCellsTakeTheGridsFormatAndExistingOnesKeepTheirs)
{
    GridStore grid;
    Fill(grid, {ColTypeText, ColTypeText}, {"a"});
    grid.SetBackColor(0x00AA00);
    grid.SetFont("Courier", 10);
    grid.AddItem("b");
    EXPECT_NE(grid.CellAttribute(0, 0, CellAttr::BackColor).toUInt(), 0x00AA00u);
    EXPECT_EQ(grid.CellAttribute(1, 0, CellAttr::BackColor).toUInt(), 0x00AA00u);
    EXPECT_EQ(grid.CellAttribute(1, 0, CellAttr::FontName).toString(), "Courier");
}

// The rules behind the attribute setters: a progress value is clamped and
// kept in progress columns only; an image key is resolved, an unknown one
// clears the image; the edit mark repaints nothing; a row's colours and bold
// go to each of its cells.
TEST(GridStore, AttributeSettersApplyTheirRules)
{
    GridStore grid;
    ImageList images;
    images.Add("one");
    images.Add("two");
    grid.SetImageList(&images);
    Fill(grid, {ColTypeText, ColTypeProgress}, {"a", "b"});
    const std::tuple<int32_t, QVariant, QVariant> progress[] = {{1, 150, 100}, {1, -3, 0}, {0, 50, 0}};
    for (const auto &[col, value, read] : progress) {
        grid.SetCellAttribute(0, col, CellAttr::ProgressValue, value);
        EXPECT_EQ(grid.CellAttribute(0, col, CellAttr::ProgressValue), read) << col << " " << value.toInt();
    }
    grid.SetCellAttribute(0, 0, CellAttr::Image, "two");
    EXPECT_EQ(grid.CellAttribute(0, 0, CellAttr::Image), "two");
    ViewLog log(grid);
    grid.SetCellAttribute(0, 0, CellAttr::Image, "unknown");
    EXPECT_EQ(grid.CellAttribute(0, 0, CellAttr::Image), 0);
    grid.SetCellAttribute(0, 0, CellAttr::Changed, true);
    EXPECT_FALSE(log.events.contains("repaint"));

    grid.SetItemAttribute(1, ItemAttr::BackColor, 0xFFu);
    grid.SetItemAttribute(1, ItemAttr::FontBold, true);
    EXPECT_FALSE(grid.ItemAttribute(1, ItemAttr::BackColor).isValid());
    EXPECT_EQ(QVariantList({grid.CellAttribute(1, 0, CellAttr::BackColor), grid.CellAttribute(1, 1, CellAttr::FontBold),
                  grid.CellAttribute(0, 0, CellAttr::FontBold)}),
        QVariantList({0xFFu, true, false}));
}

TEST(GridStore, CountsSelectionAndTrackedEdits)
{
    GridStore grid;
    Fill(grid, {ColTypeText, ColTypeText}, {"a", "b", "c"});
    grid.SetItemAttribute(0, ItemAttr::Checked, true);
    grid.SetItemAttribute(2, ItemAttr::Checked, true);
    EXPECT_EQ(grid.CheckedCount(), 2);
    grid.SetItemAttribute(1, ItemAttr::Selected, true);
    int rowColChanges = 0;
    QObject::connect(&grid, &GridStore::RowColChanged, [&] { ++rowColChanges; });
    grid.GotoCell(2, 1);
    grid.GotoCell(2, 1);
    EXPECT_EQ(std::vector<int>({grid.Row(), grid.Col(), grid.SelectedCount()}), std::vector<int>({2, 1, 1}));
    EXPECT_TRUE(grid.ItemAttribute(2, ItemAttr::Selected).toBool()) << "GotoCell selects only its row";
    EXPECT_EQ(rowColChanges, 2) << "always, even when already current";

    grid.SetCellText(1, 1, "x");
    EXPECT_FALSE(grid.CellChanged(1, 1));
    grid.SetTrackEdits(true);
    grid.SetCellText(1, 1, "y");
    EXPECT_TRUE(grid.CellChanged(1, 1));
}

TEST(GridStore, RefreshViewAndClearRepaintEvenWithRedrawOff)
{
    GridStore grid;
    Fill(grid, {ColTypeText, ColTypeText}, {"a"});
    ViewLog log(grid);
    grid.SetRedraw(false);
    grid.RefreshView();
    grid.Clear();
    EXPECT_EQ(log.events.count("repaint"), 2);
    EXPECT_EQ(grid.ItemCount(), 0);
}

// Heights in pixels at 15 twips per pixel; a new row starts at the minimum.
TEST(GridStore, RowHeightsStayWithinTheMinimumAndMaximum)
{
    // Minimum and maximum in twips, pixels asked for -> collapsed and fitted heights.
    const int32_t cases[][5] = {
        {0, 0, 5, 5, 16}, // no minimum set: 16 pixels for fitted rows
        {0, 0, 500, 500, 500},
        {300, 600, 10, 20, 20},
        {300, 600, 30, 30, 30},
        {300, 600, 75, 40, 40},
    };
    for (const auto &[minTwips, maxTwips, pixels, collapsed, fitted] : cases) {
        GridStore grid;
        grid.SetRowHeightMin(minTwips);
        grid.SetRowHeightMax(maxTwips);
        Fill(grid, {ColTypeText}, {"a", "b"});
        EXPECT_EQ(grid.ItemAt(0).Height, minTwips ? minTwips / 15 : 16);
        grid.RowCollaps(0, -1, false, pixels * 15);
        grid.SetFittedRowHeight(1, pixels);
        EXPECT_FLOAT_EQ(grid.ItemAttribute(0, ItemAttr::Height).toFloat(), static_cast<float>(collapsed * 15))
            << minTwips << " " << pixels;
        EXPECT_EQ(grid.ItemAt(1).Height, fitted) << minTwips << " " << pixels;
    }
}

TEST(GridStoreColumns, AddColumnAppendsOrInsertsAndNewCellsCopyTheColumn)
{
    GridStore grid;
    grid.AddColumn("overwritten", 100, 0); // alignment 0 marks a blank slot
    EXPECT_EQ(grid.AddColumn("a"), 0);
    EXPECT_EQ(grid.AddColumn("b"), 1);
    EXPECT_EQ(grid.AddColumn("c"), 2);
    EXPECT_EQ(ColumnOrder(grid), std::vector<int>({0, 1, 2}));
    EXPECT_EQ(grid.ColumnAt(0).Heading, "a");

    EXPECT_EQ(grid.AddColumn("d", 0, 4, 0, "", "", 4, false, 1), 1);
    EXPECT_EQ(ColumnOrder(grid), std::vector<int>({0, 3, 1, 2}));
    grid.AddItem("A\tB\tC\tD\tE"); // a part beyond the columns is dropped
    EXPECT_EQ(grid.CellText(0, 1), "D") << "cells are reached through the column order";
    EXPECT_EQ(grid.CellText(0, 2), "B");

    grid.SetColAttribute(1, ColAttr::WordWrap, true); // display position 2
    grid.AddItem();
    EXPECT_FALSE(grid.CellAttribute(0, 2, CellAttr::WordWrap).toBool()) << "existing cells keep theirs";
    EXPECT_TRUE(grid.CellAttribute(1, 2, CellAttr::WordWrap).toBool());
}

TEST(GridStoreColumns, ColPositionExchangesTwoColumnsAndANewWidthGoesToTheView)
{
    GridStore grid;
    Fill(grid, {ColTypeText, ColTypeNumber, ColTypeDate, ColTypeNumber}, {});
    EXPECT_THROW(grid.AddColumn("big", 0, 4, 40000), OverflowError);
    grid.SetColPosition(0, 3);
    grid.SetColPosition(0, 3);
    EXPECT_EQ(ColumnOrder(grid), std::vector<int>({3, 1, 2, 0})) << "the same value again changes nothing";
    EXPECT_THROW(grid.SetColPosition(0, 4), SubscriptError);
    std::vector<int32_t> widths;
    QObject::connect(&grid, &GridStore::ColumnWidthChanged, [&widths](int32_t index) { widths.push_back(index); });
    grid.SetColAttribute(1, ColAttr::Heading, "h");
    grid.SetColAttribute(1, ColAttr::Width, 1500.0f);
    EXPECT_EQ(widths, std::vector<int32_t>({1}));
}

TEST(GridStoreColumns, FormatStringCreatesHeadedColumns)
{
    GridStore grid;
    grid.SetFormatString("^No.|<Name|>Size");
    QStringList columns;
    for (int k = 0; k <= grid.Cols(); ++k)
        columns << QStringLiteral("%1 %2 %3 %4")
                       .arg(grid.ColumnAt(k).Heading)
                       .arg(grid.ColumnAt(k).Alignment)
                       .arg(grid.ColumnAt(k).Width)
                       .arg(grid.ColumnAt(k).Visible);
    EXPECT_EQ(columns, QStringList({"No. 5 1000 1", "Name 4 1000 1", "Size 6 1000 1", " 0 0 0"}))
        << "one more blank slot than there are parts";

    grid.AddItem("1\tx");
    grid.SetFormatString("");
    EXPECT_EQ(grid.ItemCount(), 0);
    EXPECT_EQ(grid.AddColumn("again"), 0) << "one blank slot, ready for AddColumn";
}

// Mode 1 back colour, 2 fore colour, 5 bold; other modes change nothing.
// System colours have the high bit set, whatever type carries them.
TEST(GridStoreColumns, FormatCellsAppliesOneAttributeToARectangle)
{
    GridStore grid;
    Fill(grid, {ColTypeText, ColTypeText, ColTypeText}, {"", "", ""});
    grid.FormatCells(1, 2, 0, 0, 5, true);
    grid.FormatCells(0, 1, 1, 2, 1, 0x0000FF);
    grid.FormatCells(0, 2, 0, 2, 8, 123);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            const bool inside = r <= 1 && c >= 1;
            EXPECT_EQ(grid.CellAttribute(r, c, CellAttr::BackColor).toUInt(),
                inside ? 0x0000FFu : grid.Properties().BackColor)
                << r << "," << c;
            EXPECT_EQ(grid.CellAttribute(r, c, CellAttr::FontBold).toBool(), r >= 1 && c == 0) << r << "," << c;
        }
    }
    grid.FormatCells(2, 2, 1, 1, 2, QVariant(int(0x80000012)));
    EXPECT_EQ(grid.CellAttribute(2, 1, CellAttr::ForeColor).toUInt(), 0x80000012u) << "a system colour read as signed";
    EXPECT_THROW(grid.FormatCells(0, 0, 0, 0, 1, QVariant(qint64(0x100000000))), OverflowError);
    EXPECT_THROW(grid.FormatCells(0, 2, 0, 2, 2, QString("red")), TypeMismatchError);
    EXPECT_EQ(grid.CellAttribute(0, 0, CellAttr::ForeColor).toUInt(), grid.Properties().ForeColor)
        << "nothing changed before the mismatch";
}
