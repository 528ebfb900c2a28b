#include "controls/grid/ImageList.h"
#include "controls/grid/GridStore.h"
#include "util/Errors.h"

#include <gtest/gtest.h>

namespace {

// Counts the store's requests to the view.
struct ViewRequests {
    int repaints = 0;
    int layouts = 0;
    int scrollBars = 0;
    int itemCountChanges = 0;
    int clears = 0;
    std::vector<int32_t> rowFits;

    explicit ViewRequests(GridStore &grid)
    {
        QObject::connect(&grid, &GridStore::Cleared, [this] { ++clears; });
        QObject::connect(&grid, &GridStore::RowFitRequested, [this](int32_t row) { rowFits.push_back(row); });
        QObject::connect(&grid, &GridStore::RepaintRequested, [this] { ++repaints; });
        QObject::connect(&grid, &GridStore::LayoutRequested, [this] { ++layouts; });
        QObject::connect(&grid, &GridStore::ScrollBarsRequested, [this] { ++scrollBars; });
        QObject::connect(&grid, &GridStore::ItemCountChanged, [this] { ++itemCountChanges; });
    }
};

// A grid with `columns` columns and one row per text (column 0 holds it).
void Fill(GridStore &grid, int columns, const QStringList &rows)
{
    for (int c = 0; c < columns; ++c)
        grid.AddColumn(QString::number(c), 1000);
    for (const QString &row : rows)
        grid.AddItem(row);
}

QStringList Column0(const GridStore &grid)
{
    QStringList texts;
    for (int r = 0; r < grid.ItemCount(); ++r)
        texts << grid.CellText(r, 0);
    return texts;
}

int TotalReferences(const GridStore &grid)
{
    int total = 0;
    for (const FormatRecord &f : grid.Formats())
        total += f.RefCount;
    return total;
}

} // namespace

TEST(GridStore, AddItemOnAFreshOneColumnGrid)
{
    GridStore grid;
    EXPECT_EQ(grid.AddItem(), 0);
    EXPECT_EQ(grid.ItemCount(), 1);
    EXPECT_EQ(grid.CellText(0, 0), "");
}

TEST(GridStore, TabsSplitAcrossColumnsOnlyWithSeveralColumns)
{
    GridStore two;
    Fill(two, 2, {"a\tb\tc"});
    EXPECT_EQ(two.CellText(0, 0), "a");
    EXPECT_EQ(two.CellText(0, 1), "b");

    GridStore one;
    one.AddItem("a\tb\tc");
    EXPECT_EQ(one.CellText(0, 0), "a\tb\tc");
}

TEST(GridStore, InsertAndRemoveKeepPositionsAndRecordsInStep)
{
    GridStore grid;
    Fill(grid, 1, {"r0", "r1", "r2"});
    EXPECT_EQ(grid.AddItem("x", 0), 3) << "index 0 appends";
    EXPECT_EQ(grid.AddItem("y", 1), 1) << "index 1 inserts";
    EXPECT_EQ(Column0(grid), QStringList({"r0", "y", "r1", "r2", "x"}));

    for (int r = 0; r < grid.ItemCount(); ++r)
        grid.SetItemData(r, r * 10);
    grid.RemoveItem(2); // "r1", stored in slot 1 while later slots hold r2, x, y
    EXPECT_EQ(Column0(grid), QStringList({"r0", "y", "r2", "x"}));
    EXPECT_EQ(grid.ItemData(1), 10);
    EXPECT_EQ(grid.ItemData(3), 40);

    grid.AddItem("z", 2);
    grid.RemoveItem(0);
    EXPECT_EQ(Column0(grid), QStringList({"y", "z", "r2", "x"}));
    grid.RemoveItem(3);
    grid.RemoveItem(1);
    EXPECT_EQ(Column0(grid), QStringList({"y", "r2"}));
}

TEST(GridStore, ManyRandomInsertsAndRemovalsMatchAPlainList)
{
    GridStore grid;
    grid.SetCacheIncrement(3);
    QStringList model;
    uint32_t seed = 12345;
    auto next = [&seed](uint32_t bound) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % bound;
    };
    for (int step = 0; step < 2000; ++step) {
        const QString text = QString::number(step);
        if (model.isEmpty() || next(3) != 0) {
            const int index = static_cast<int>(next(static_cast<uint32_t>(model.size()) + 1));
            const int position = grid.AddItem(text, index);
            model.insert(position, text);
        } else {
            const int index = static_cast<int>(next(static_cast<uint32_t>(model.size())));
            grid.RemoveItem(index);
            model.removeAt(index);
        }
    }
    EXPECT_EQ(Column0(grid), model);
}

TEST(GridStore, AReusedSlotStartsAsANewItem)
{
    GridStore grid;
    Fill(grid, 2, {"a", "b"});
    grid.SetItemChecked(1, true);
    grid.SetItemSelected(1, true);
    grid.SetItemData(1, 7);
    grid.SetItemTag(1, "tag");
    grid.SetCellChecked(1, 1, true);
    grid.RemoveItem(1);
    grid.AddItem("c");
    EXPECT_FALSE(grid.ItemChecked(1));
    EXPECT_FALSE(grid.ItemSelected(1));
    EXPECT_EQ(grid.ItemData(1), 0);
    EXPECT_EQ(grid.ItemTag(1), "");
    EXPECT_FALSE(grid.CellChecked(1, 1));
}

TEST(GridStore, RemovingTheOnlyRowEmptiesTheGrid)
{
    GridStore grid;
    Fill(grid, 2, {"a"});
    grid.GotoCell(0, 1);
    ViewRequests requests(grid);
    grid.RemoveItem(0);
    EXPECT_EQ(grid.ItemCount(), 0);
    EXPECT_EQ(grid.Row(), -1);
    EXPECT_EQ(grid.Col(), -1);
    EXPECT_EQ(requests.itemCountChanges, 1);
    EXPECT_EQ(requests.clears, 1);
    EXPECT_EQ(grid.Cols(), 1) << "columns survive";
}

TEST(GridStore, RemovingTheSelectedRowPassesTheSelectionOn)
{
    GridStore grid;
    Fill(grid, 1, {"a", "b", "c"});
    grid.GotoCell(1, 0);
    grid.RemoveItem(1);
    EXPECT_TRUE(grid.ItemSelected(1)) << "the row that takes its place";
    grid.RemoveItem(1);
    EXPECT_TRUE(grid.ItemSelected(0)) << "the new last row";
    EXPECT_EQ(grid.Row(), 0) << "the current row stays within the rows";
}

TEST(GridStore, OutOfRangePositionsThrowAndChangeNothing)
{
    GridStore grid;
    Fill(grid, 2, {"a", "b"});
    EXPECT_THROW(grid.CellText(2, 0), SubscriptError);
    EXPECT_THROW(grid.CellText(-1, 0), SubscriptError);
    EXPECT_THROW(grid.SetCellText(0, 2, "x"), SubscriptError);
    EXPECT_THROW(grid.RemoveItem(5), SubscriptError);
    EXPECT_THROW(grid.ItemData(2), SubscriptError);
    EXPECT_THROW(grid.GotoCell(0, 9), SubscriptError);
    EXPECT_THROW(grid.ColHeading(3), SubscriptError);
    EXPECT_EQ(Column0(grid), QStringList({"a", "b"}));
}

TEST(GridStore, CellsOfAColumnAddedAfterTheRowDoNotExist)
{
    GridStore grid;
    Fill(grid, 2, {"a"});
    grid.AddColumn("late");
    EXPECT_THROW(grid.CellText(0, 2), SubscriptError);
    grid.AddItem("b");
    EXPECT_EQ(grid.CellText(1, 2), "");
}

TEST(GridStore, EqualFormatsAreSharedAndReleased)
{
    GridStore grid;
    Fill(grid, 2, {"a", "b"});
    const int base = grid.Formats()[0].RefCount;
    EXPECT_EQ(base, 4) << "every new cell shares the default format";

    grid.SetCellBackColor(0, 0, 0xFF);
    grid.SetCellBackColor(1, 1, 0xFF);
    const int16_t shared = grid.ItemAt(0).Cells[0].FormatIndex;
    EXPECT_EQ(grid.ItemAt(1).Cells[1].FormatIndex, shared);
    EXPECT_EQ(grid.Formats()[shared].RefCount, 2);

    grid.SetCellBackColor(1, 1, grid.BackColor());
    EXPECT_EQ(grid.Formats()[shared].RefCount, 1);
    EXPECT_EQ(grid.CellBackColor(1, 1), grid.BackColor());
    EXPECT_EQ(grid.CellBackColor(0, 0), 0xFFu);

    grid.RemoveItem(0);
    EXPECT_EQ(grid.Formats()[shared].RefCount, 0) << "a removed row releases its formats";
    EXPECT_EQ(TotalReferences(grid), 2);

    grid.SetCellForeColor(0, 0, 0x1234);
    EXPECT_EQ(grid.ItemAt(0).Cells[0].FormatIndex, shared) << "a free slot is reused";
    EXPECT_EQ(grid.CellForeColor(0, 0), 0x1234u);
    EXPECT_EQ(TotalReferences(grid), 2);
}

TEST(GridStore, NewCellsTakeTheFormatCurrentWhenTheyAreAdded)
{
    GridStore grid;
    Fill(grid, 1, {"a"});
    grid.SetBackColor(0x00AA00);
    grid.SetFont("Courier", 10);
    grid.AddItem("b");
    EXPECT_NE(grid.CellBackColor(0, 0), 0x00AA00u);
    EXPECT_EQ(grid.CellBackColor(1, 0), 0x00AA00u);
    EXPECT_EQ(grid.CellFontName(1, 0), "Courier");
}

TEST(GridStore, ImagesByNumberAndByKey)
{
    GridStore grid;
    ImageList images;
    images.Add("one");
    images.Add("two");
    grid.SetImageList(&images);
    Fill(grid, 1, {"a"});

    grid.SetCellImage(0, 0, 2);
    EXPECT_EQ(grid.CellImage(0, 0).toInt(), 2);
    grid.SetCellImage(0, 0, QString("two"));
    EXPECT_EQ(grid.CellImage(0, 0).toString(), "two");
    EXPECT_EQ(grid.ItemAt(0).Cells[0].FormatIndex >= 0, true);

    ViewRequests requests(grid);
    grid.SetCellImage(0, 0, QString("unknown"));
    EXPECT_EQ(grid.CellImage(0, 0).toInt(), 0);
    EXPECT_EQ(requests.repaints, 0) << "an unknown key clears the image without a repaint";

    grid.SetItemImage(0, QString("one"));
    EXPECT_EQ(grid.ItemImage(0).toString(), "one");
    grid.SetItemImage(0, 5);
    EXPECT_EQ(grid.ItemImage(0).toInt(), 5);
}

TEST(GridStore, ProgressValuesOnlyInProgressColumns)
{
    GridStore grid;
    grid.AddColumn("text");
    grid.AddColumn("progress", 1000, 4, ColTypeProgress);
    grid.AddItem();
    int16_t value = 150;
    grid.SetCellProgressValue(0, 1, value);
    EXPECT_EQ(value, 100);
    EXPECT_EQ(grid.CellProgressValue(0, 1), 100);
    value = -3;
    grid.SetCellProgressValue(0, 1, value);
    EXPECT_EQ(grid.CellProgressValue(0, 1), 0);
    value = 50;
    grid.SetCellProgressValue(0, 0, value);
    EXPECT_EQ(grid.CellProgressValue(0, 0), 0);
}

TEST(GridStore, CountsAndTrackedEdits)
{
    GridStore grid;
    Fill(grid, 2, {"a", "b", "c"});
    grid.SetItemChecked(0, true);
    grid.SetItemChecked(2, true);
    grid.SetItemSelected(1, true);
    EXPECT_EQ(grid.CheckedCount(), 2);
    EXPECT_EQ(grid.SelectedCount(), 1);

    grid.SetCellText(1, 1, "x");
    EXPECT_FALSE(grid.CellChanged(1, 1));
    grid.SetTrackEdits(true);
    grid.SetCellText(1, 1, "y");
    EXPECT_TRUE(grid.CellChanged(1, 1));
}
TEST(GridStore, RequestsAreHeldBackWhileRedrawIsOff)
{
    GridStore grid;
    Fill(grid, 2, {});
    ViewRequests requests(grid);
    grid.SetRedraw(false);
    for (int i = 0; i < 5; ++i)
        grid.AddItem("row");
    grid.SetCellText(0, 1, "x");
    EXPECT_EQ(requests.repaints, 0);
    EXPECT_EQ(requests.layouts, 0);
    EXPECT_EQ(requests.itemCountChanges, 5) << "events are not held back";

    grid.SetRedraw(true);
    EXPECT_EQ(requests.repaints, 1) << "one repaint for all the changes";
    EXPECT_EQ(requests.layouts, 1);
    EXPECT_EQ(requests.scrollBars, 1);

    grid.SetRedraw(true);
    EXPECT_EQ(requests.repaints, 1) << "nothing pending, nothing repainted";

    grid.SetRedraw(false);
    grid.SetCellText(0, 1, "y");
    grid.SetRedraw(true);
    EXPECT_EQ(requests.repaints, 2);
    EXPECT_EQ(requests.scrollBars, 1) << "a plain repaint needs no scroll bar update";
}

TEST(GridStore, RefreshViewAndClearRepaintEvenWithRedrawOff)
{
    GridStore grid;
    Fill(grid, 1, {"a"});
    ViewRequests requests(grid);
    grid.SetRedraw(false);
    grid.RefreshView();
    EXPECT_EQ(requests.repaints, 1);
    grid.Clear();
    EXPECT_EQ(requests.repaints, 2);
    EXPECT_EQ(grid.ItemCount(), 0);
}

TEST(GridStore, GotoCellSelectsOnlyItsRow)
{
    GridStore grid;
    Fill(grid, 2, {"a", "b", "c"});
    int rowColChanges = 0;
    QObject::connect(&grid, &GridStore::RowColChanged, [&] { ++rowColChanges; });
    grid.SetItemSelected(0, true);
    grid.GotoCell(2, 1);
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_EQ(grid.Col(), 1);
    EXPECT_EQ(grid.SelectedCount(), 1);
    EXPECT_TRUE(grid.ItemSelected(2));
    grid.GotoCell(2, 1);
    EXPECT_EQ(rowColChanges, 2) << "always, even when already current";
}

TEST(GridStore, RowCollapsClampsToTheMinimumAndMaximum)
{
    GridStore grid;
    grid.SetRowHeightMin(300); // twips: 20 pixels
    grid.SetRowHeightMax(600); // 40 pixels
    Fill(grid, 1, {"a", "b", "c"});
    EXPECT_EQ(grid.ItemAt(0).Height, 20);
    grid.RowCollaps(0, -1, false, 150);
    EXPECT_EQ(grid.ItemAt(1).Height, 20);
    grid.RowCollaps(1, 1, false, 900);
    EXPECT_EQ(grid.ItemAt(1).Height, 40);
    grid.RowCollaps(2, 2, false, 450);
    EXPECT_EQ(grid.ItemAt(2).Height, 30);
    EXPECT_FLOAT_EQ(grid.RowHeight(2), 450);
}

TEST(GridStore, RowsAreFittedToTheirContentsOnlyWithAutoSize)
{
    GridStore grid;
    Fill(grid, 2, {"a", "b", "c"});
    ViewRequests requests(grid);
    grid.SetCellText(1, 1, "x");
    grid.SetRowHeight(1, -1);
    grid.RowCollaps(0, 1);
    EXPECT_TRUE(requests.rowFits.empty());

    grid.RowCollaps(1, -1, true);
    EXPECT_EQ(requests.rowFits, std::vector<int32_t>({1, 2})) << "asked for by RowCollaps alone";
    EXPECT_FALSE(grid.AutoSizeRow());

    requests.rowFits.clear();
    grid.SetAutoSizeRow(true);
    grid.SetRedraw(false);
    grid.SetCellText(2, 0, "y");
    grid.SetRowHeight(0, -1);
    grid.SetRowHeight(1, 300);
    EXPECT_EQ(requests.rowFits, std::vector<int32_t>({2, 0})) << "not held back by Redraw";
    EXPECT_FLOAT_EQ(grid.RowHeight(1), 300) << "any other height is stored as given";
}

TEST(GridStore, FittedRowHeightsStayWithinTheMinimumAndMaximum)
{
    struct Case {
        int32_t minTwips, maxTwips, fitted, stored;
    };
    const Case cases[] = {
        {0, 0, 5, 16},      // no minimum set: 16 pixels
        {0, 0, 500, 500},   // no maximum
        {300, 600, 10, 20}, // 20 to 40 pixels
        {300, 600, 30, 30},
        {300, 600, 75, 40},
    };
    for (const Case &c : cases) {
        GridStore grid;
        grid.SetRowHeightMin(c.minTwips);
        grid.SetRowHeightMax(c.maxTwips);
        Fill(grid, 1, {"a"});
        grid.SetFittedRowHeight(0, c.fitted);
        EXPECT_EQ(grid.ItemAt(0).Height, c.stored) << c.minTwips << " " << c.maxTwips << " " << c.fitted;
    }
}
