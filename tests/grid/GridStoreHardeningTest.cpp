#include "controls/grid/GridStore.h"
#include "util/Errors.h"

#include <gtest/gtest.h>

namespace {

// A grid of two columns and four rows, the current cell on (row, 1).
void Fill(GridStore &grid, int32_t row)
{
    grid.AddColumn(QStringLiteral("a"), 1000);
    grid.AddColumn(QStringLiteral("b"), 1000);
    for (const char *text : {"r0", "r1", "r2", "r3"})
        grid.AddItem(QString::fromLatin1(text));
    grid.SetRow(row);
    grid.SetCol(1);
}

std::vector<float> Heights(const GridStore &grid)
{
    std::vector<float> heights;
    for (int32_t r = 0; r < grid.ItemCount(); ++r)
        heights.push_back(grid.RowHeight(r));
    return heights;
}

TEST(GridStoreHardening, RowCollapsWithAnEndBeyondTheRowsChangesNothing)
{
    GridStore grid;
    Fill(grid, 0);
    grid.SetAutoSizeRow(true);
    const std::vector<float> before = Heights(grid);

    EXPECT_THROW(grid.RowCollaps(0, 9, false, 1000), SubscriptError);

    EXPECT_EQ(Heights(grid), before) << "no row was resized";
    EXPECT_TRUE(grid.AutoSizeRow()) << "AutoSizeRow is restored";
}

// Removing the last position moves the current cell one row up, whichever
// row it was on; removing any other position leaves it.
TEST(GridStoreHardening, RemoveItemMovesTheCurrentCellByItsRule)
{
    const struct {
        int32_t current, removed, expected;
    } cases[] = {{3, 3, 2}, {1, 3, 0}, {2, 1, 2}, {0, 3, 0}};
    for (const auto &c : cases) {
        GridStore grid;
        Fill(grid, c.current);
        grid.RemoveItem(c.removed);
        EXPECT_EQ(grid.Row(), c.expected) << "current " << c.current << ", removed " << c.removed;
        EXPECT_EQ(grid.Col(), 1);
    }
}

TEST(GridStoreHardening, FormatCellsTakesColoursWithTheHighBitSet)
{
    GridStore grid;
    Fill(grid, 0);
    const QVariant systemColours[] = {QVariant(qint64(0x80000005)), QVariant(uint(0x8000000F)),
                                      QVariant(int(0x80000012)), QVariant(QStringLiteral("4294967295"))};
    for (const QVariant &colour : systemColours) {
        grid.FormatCells(0, 1, 0, 1, 1, colour);
        grid.FormatCells(2, 2, 1, 1, 2, colour);
        const OleColour expected = static_cast<OleColour>(colour.toLongLong());
        EXPECT_EQ(grid.CellBackColor(1, 1), expected) << colour.toString().toStdString();
        EXPECT_EQ(grid.CellForeColor(2, 1), expected) << colour.toString().toStdString();
    }
    EXPECT_THROW(grid.FormatCells(0, 0, 0, 0, 1, QVariant(qint64(0x100000000))), OverflowError);
}

TEST(GridStoreHardening, CellImageRefusesNumbersOutsideSixteenBitsEitherWay)
{
    GridStore grid;
    Fill(grid, 0);
    grid.SetCellImage(0, 0, 7);
    for (const int32_t image : {32768, -32769, 70000, -70000}) {
        EXPECT_THROW(grid.SetCellImage(0, 0, image), OverflowError) << image;
        EXPECT_EQ(grid.CellImage(0, 0).toInt(), 7) << "unchanged after " << image;
    }
    grid.SetCellImage(0, 0, 32767);
    EXPECT_EQ(grid.CellImage(0, 0).toInt(), 32767);
}

} // namespace
