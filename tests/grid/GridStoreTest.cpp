#include "controls/grid/ImageList.h"
#include "controls/grid/GridStore.h"
#include "util/Errors.h"

#include <gtest/gtest.h>
#include <numeric>

namespace {

// Records the store's requests to the view and its row events, in order.
struct ViewLog {
    QStringList events;
    std::vector<int32_t> rowFits;

    explicit ViewLog(GridStore &grid)
    {
        const std::pair<void (GridStore::*)(), const char *> recorded[] = {
            {&GridStore::RepaintRequested, "repaint"}, {&GridStore::LayoutRequested, "layout"},
            {&GridStore::ScrollBarsRequested, "scrollbars"}, {&GridStore::ItemCountChanged, "count"},
            {&GridStore::Cleared, "cleared"}};
        for (const auto &signal : recorded)
            QObject::connect(&grid, signal.first, [this, name = signal.second] { events << name; });
        QObject::connect(&grid, &GridStore::RowFitRequested, [this](int32_t row) { rowFits.push_back(row); });
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

// What a failing call must leave as it was: each row's text, height and image.
QStringList Rows(const GridStore &grid)
{
    QStringList rows;
    for (int r = 0; r < grid.ItemCount(); ++r)
        rows << QStringLiteral("%1 %2 %3").arg(grid.CellText(r, 0)).arg(grid.RowHeight(r)).arg(grid.CellImage(r, 0).toInt());
    return rows;
}

} // namespace

// Index 0 appends, any other index inserts; records move with their rows
// through growing and shrinking of the store. With one column the text is
// kept whole, tabs and all.
TEST(GridStore, ManyRandomInsertsAndRemovalsMatchAPlainList)
{
    GridStore grid;
    grid.SetCacheIncrement(3);
    QStringList model;
    uint32_t seed = 12345;
    auto next = [&seed](qsizetype bound) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 8) % static_cast<uint32_t>(bound));
    };
    for (int step = 0; step < 2000; ++step) {
        const QString text = QString::number(step) + "\t";
        if (model.isEmpty() || next(3) != 0) {
            const int index = next(model.size() + 1);
            const int position = index == 0 ? static_cast<int>(model.size()) : index;
            ASSERT_EQ(grid.AddItem(text, index), position) << "step " << step;
            grid.SetItemData(position, step);
            model.insert(position, text + QString::number(step));
        } else {
            const int index = next(model.size());
            grid.RemoveItem(index);
            model.removeAt(index);
        }
    }
    QStringList rows;
    for (int r = 0; r < grid.ItemCount(); ++r)
        rows << grid.CellText(r, 0) + QString::number(grid.ItemData(r));
    EXPECT_EQ(rows, model);
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
    EXPECT_EQ(std::vector<int>({grid.ItemChecked(1), grid.ItemSelected(1), grid.CellChecked(1, 1), grid.ItemData(1)}),
              std::vector<int>({0, 0, 0, 0}));
    EXPECT_EQ(grid.ItemTag(1), "");
}

// Removing the last position moves the current cell one row up, whichever
// row it was on; removing any other position leaves it. A removed selected
// row passes its selection to the row that takes its place, or to the new
// last row. Removing the only row empties the grid; the columns stay.
TEST(GridStore, RemoveItemMovesTheCurrentCellAndTheSelectionByTheirRules)
{
    const struct {
        int32_t current, removed, row, selected;
    } cases[] = {{3, 3, 2, 2}, {1, 3, 0, 1}, {2, 1, 2, 1}, {0, 3, 0, 0}, {1, 1, 1, 1}};
    for (const auto &c : cases) {
        GridStore grid;
        Fill(grid, 2, {"r0", "r1", "r2", "r3"});
        grid.GotoCell(c.current, 1);
        grid.RemoveItem(c.removed);
        EXPECT_EQ(std::vector<int>({grid.Row(), grid.Col(), grid.SelectedCount(), grid.ItemSelected(c.selected)}),
                  std::vector<int>({c.row, 1, 1, 1})) << "current " << c.current << ", removed " << c.removed;
    }

    GridStore grid;
    Fill(grid, 2, {"a"});
    grid.GotoCell(0, 1);
    ViewLog log(grid);
    grid.RemoveItem(0);
    EXPECT_EQ(std::vector<int>({grid.ItemCount(), grid.Row(), grid.Col(), grid.Cols()}), std::vector<int>({0, -1, -1, 1}));
    EXPECT_EQ(std::vector<qsizetype>({log.events.count("count"), log.events.count("cleared")}), std::vector<qsizetype>({1, 1}));
}

TEST(GridStore, OutOfRangeArgumentsThrowAndChangeNothing)
{
    GridStore grid;
    Fill(grid, 2, {"a", "b"});
    grid.SetCellImage(0, 0, 7);
    grid.SetAutoSizeRow(true);
    grid.AddColumn("late");
    const QStringList before = Rows(grid);

    EXPECT_THROW(grid.CellText(2, 0), SubscriptError);
    EXPECT_THROW(grid.CellText(-1, 0), SubscriptError);
    EXPECT_THROW(grid.SetCellText(0, 2, "x"), SubscriptError) << "no cell for a column added after the row";
    EXPECT_THROW(grid.RemoveItem(5), SubscriptError);
    EXPECT_THROW(grid.ItemData(2), SubscriptError);
    EXPECT_THROW(grid.GotoCell(0, 9), SubscriptError);
    EXPECT_THROW(grid.ColHeading(3), SubscriptError);
    EXPECT_THROW(grid.RowCollaps(0, 9, false, 1000), SubscriptError);
    for (const int32_t image : {32768, -32769, 70000, -70000})
        EXPECT_THROW(grid.SetCellImage(0, 0, image), OverflowError) << image;

    EXPECT_EQ(Rows(grid), before);
    EXPECT_TRUE(grid.AutoSizeRow()) << "RowCollaps restores it";
    grid.AddItem("c");
    EXPECT_EQ(grid.CellText(2, 2), "");
}

TEST(GridStore, EqualFormatsAreSharedAndReleased)
{
    GridStore grid;
    Fill(grid, 2, {"a", "b"});
    EXPECT_EQ(grid.Formats()[0].RefCount, 4) << "every new cell shares the default format";

    grid.SetCellBackColor(0, 0, 0xFF);
    grid.SetCellBackColor(1, 1, 0xFF);
    const int16_t shared = grid.CellIn(0, 0)->FormatIndex;
    EXPECT_EQ(grid.CellIn(1, 1)->FormatIndex, shared);
    EXPECT_EQ(grid.Formats()[shared].RefCount, 2);

    grid.SetCellBackColor(1, 1, grid.BackColor());
    EXPECT_EQ(grid.Formats()[shared].RefCount, 1);
    EXPECT_EQ(grid.CellBackColor(0, 0), 0xFFu);

    grid.RemoveItem(0);
    EXPECT_EQ(grid.Formats()[shared].RefCount, 0) << "a removed row releases its formats";
    grid.SetCellForeColor(0, 0, 0x1234);
    EXPECT_EQ(grid.CellIn(0, 0)->FormatIndex, shared) << "a free slot is reused";
    EXPECT_EQ(grid.CellForeColor(0, 0), 0x1234u);
    EXPECT_EQ(std::accumulate(grid.Formats().begin(), grid.Formats().end(), 0,
                              [](int total, const FormatRecord &f) { return total + f.RefCount; }),
              2) << "one reference per cell";

    grid.SetBackColor(0x00AA00);
    grid.SetFont("Courier", 10);
    grid.AddItem("b");
    EXPECT_NE(grid.CellBackColor(0, 0), 0x00AA00u) << "existing cells keep their format";
    EXPECT_EQ(grid.CellBackColor(1, 0), 0x00AA00u) << "new cells take the current one";
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

    grid.SetCellImage(0, 0, 32767);
    EXPECT_EQ(grid.CellImage(0, 0).toInt(), 32767);
    grid.SetCellImage(0, 0, QString("two"));
    EXPECT_EQ(grid.CellImage(0, 0).toString(), "two");

    ViewLog log(grid);
    grid.SetCellImage(0, 0, QString("unknown"));
    EXPECT_EQ(grid.CellImage(0, 0).toInt(), 0);
    EXPECT_TRUE(log.events.isEmpty()) << "an unknown key clears the image without a repaint";

    grid.SetItemImage(0, QString("one"));
    EXPECT_EQ(grid.ItemImage(0).toString(), "one");
    grid.SetItemImage(0, 5);
    EXPECT_EQ(grid.ItemImage(0).toInt(), 5);
}

TEST(GridStore, ProgressValuesAreClampedInProgressColumnsOnly)
{
    GridStore grid;
    grid.AddColumn("text");
    grid.AddColumn("progress", 1000, 4, ColTypeProgress);
    grid.AddItem();
    // The value handed back to the caller, then the one stored.
    auto set = [&grid](int32_t col, int16_t value) {
        grid.SetCellProgressValue(0, col, value);
        return std::vector<int>({value, grid.CellProgressValue(0, col)});
    };
    EXPECT_EQ(set(1, 150), std::vector<int>({100, 100}));
    EXPECT_EQ(set(1, -3), std::vector<int>({0, 0}));
    EXPECT_EQ(set(0, 50), std::vector<int>({50, 0})) << "a text column keeps nothing";
}

TEST(GridStore, CountsSelectionAndTrackedEdits)
{
    GridStore grid;
    Fill(grid, 2, {"a", "b", "c"});
    grid.SetItemChecked(0, true);
    grid.SetItemChecked(2, true);
    grid.SetItemSelected(1, true);
    EXPECT_EQ(std::vector<int>({grid.CheckedCount(), grid.SelectedCount()}), std::vector<int>({2, 1}));

    int rowColChanges = 0;
    QObject::connect(&grid, &GridStore::RowColChanged, [&] { ++rowColChanges; });
    grid.GotoCell(2, 1);
    grid.GotoCell(2, 1);
    EXPECT_EQ(std::vector<int>({grid.Row(), grid.Col(), grid.SelectedCount()}), std::vector<int>({2, 1, 1}));
    EXPECT_TRUE(grid.ItemSelected(2)) << "GotoCell selects only its row";
    EXPECT_EQ(rowColChanges, 2) << "always, even when already current";

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
    ViewLog log(grid);
    grid.SetRedraw(false);
    grid.AddItem("a");
    grid.AddItem("b");
    grid.SetCellText(0, 1, "x");
    grid.SetRedraw(true);
    grid.SetRedraw(true); // nothing pending
    EXPECT_EQ(log.events, QStringList({"count", "count", "scrollbars", "layout", "repaint"}))
        << "events are not held back; one of each request for all the changes";

    log.events.clear();
    grid.SetRedraw(false);
    grid.SetCellText(0, 1, "y");
    grid.SetRedraw(true);
    EXPECT_EQ(log.events, QStringList({"layout", "repaint"})) << "a plain repaint needs no scroll bar update";

    log.events.clear();
    grid.SetRedraw(false);
    grid.RefreshView();
    grid.Clear();
    EXPECT_EQ(log.events.count("repaint"), 2) << "RefreshView and Clear repaint even with Redraw off";
    EXPECT_EQ(grid.ItemCount(), 0);
}

// Heights in pixels at 15 twips per pixel; a new row starts at the minimum.
TEST(GridStore, RowHeightsStayWithinTheMinimumAndMaximum)
{
    const struct {
        int32_t minTwips, maxTwips, pixels, collapsed, fitted;
    } cases[] = {
        {0, 0, 5, 5, 16},   // no minimum set: 16 pixels for fitted rows
        {0, 0, 500, 500, 500},
        {300, 600, 10, 20, 20},
        {300, 600, 30, 30, 30},
        {300, 600, 75, 40, 40},
    };
    for (const auto &c : cases) {
        GridStore grid;
        grid.SetRowHeightMin(c.minTwips);
        grid.SetRowHeightMax(c.maxTwips);
        Fill(grid, 1, {"a", "b"});
        EXPECT_EQ(grid.ItemAt(0).Height, c.minTwips ? c.minTwips / 15 : 16);
        grid.RowCollaps(0, -1, false, c.pixels * 15);
        grid.SetFittedRowHeight(1, c.pixels);
        EXPECT_FLOAT_EQ(grid.RowHeight(0), static_cast<float>(c.collapsed * 15)) << c.minTwips << " " << c.pixels;
        EXPECT_EQ(grid.ItemAt(1).Height, c.fitted) << c.minTwips << " " << c.pixels;
    }
}

TEST(GridStore, RowsAreFittedToTheirContentsOnlyWithAutoSize)
{
    GridStore grid;
    Fill(grid, 2, {"a", "b", "c"});
    ViewLog log(grid);
    grid.SetCellText(1, 1, "x");
    grid.SetRowHeight(1, -1);
    grid.RowCollaps(0, 1);
    grid.RowCollaps(1, -1, true);
    EXPECT_EQ(log.rowFits, std::vector<int32_t>({1, 2})) << "asked for by RowCollaps alone";
    EXPECT_FALSE(grid.AutoSizeRow());

    log.rowFits.clear();
    grid.SetAutoSizeRow(true);
    grid.SetRedraw(false);
    grid.SetCellText(2, 0, "y");
    grid.SetRowHeight(0, -1);
    grid.SetRowHeight(1, 300);
    EXPECT_EQ(log.rowFits, std::vector<int32_t>({2, 0})) << "not held back by Redraw";
    EXPECT_FLOAT_EQ(grid.RowHeight(1), 300) << "any other height is stored as given";
}
