#include "controls/grid/GridStore.h"
#include "util/Errors.h"

#include <gtest/gtest.h>

namespace {

std::vector<int> ColumnOrder(const GridStore &grid)
{
    std::vector<int> order;
    for (int p = 0; p <= grid.Cols(); ++p)
        order.push_back(grid.ColPosition(p));
    return order;
}

} // namespace

TEST(GridStoreColumns, AddColumnAppendsOrInserts)
{
    GridStore grid;
    EXPECT_EQ(grid.AddColumn("a"), 0);
    EXPECT_EQ(grid.AddColumn("b"), 1);
    EXPECT_EQ(grid.AddColumn("c"), 2);
    EXPECT_EQ(grid.Cols(), 2);
    EXPECT_EQ(ColumnOrder(grid), std::vector<int>({0, 1, 2}));

    EXPECT_EQ(grid.AddColumn("d", 0, 4, 0, "", "", 4, false, 1), 1);
    EXPECT_EQ(ColumnOrder(grid), std::vector<int>({0, 3, 1, 2}));
    EXPECT_EQ(grid.ColHeading(3), "d");

    grid.AddItem("A\tB\tC\tD");
    EXPECT_EQ(grid.CellText(0, 1), "D") << "cells are reached through the column order";
    EXPECT_EQ(grid.CellText(0, 2), "B");
}

TEST(GridStoreColumns, AFirstColumnWithAlignmentZeroIsOverwritten)
{
    GridStore grid;
    grid.AddColumn("first", 100, 0);
    EXPECT_EQ(grid.AddColumn("second"), 0);
    EXPECT_EQ(grid.Cols(), 0);
    EXPECT_EQ(grid.ColHeading(0), "second");
}

TEST(GridStoreColumns, DefaultInputFiltersByType)
{
    GridStore grid;
    grid.AddColumn("text");
    grid.AddColumn("number", 0, 4, ColTypeNumber);
    grid.AddColumn("date", 0, 4, ColTypeDate);
    grid.AddColumn("own", 0, 4, ColTypeNumber, "", "0123");
    EXPECT_EQ(grid.ColInputFilter(0), "");
    EXPECT_EQ(grid.ColInputFilter(1), "1234567890.,-");
    EXPECT_EQ(grid.ColInputFilter(2), "1234567890./-");
    EXPECT_EQ(grid.ColInputFilter(3), "0123");
    EXPECT_THROW(grid.AddColumn("big", 0, 4, 40000), OverflowError);
}

TEST(GridStoreColumns, WordWrapReachesOnlyRowsAddedLater)
{
    GridStore grid;
    grid.AddColumn("a");
    grid.AddColumn("b");
    grid.AddItem();
    grid.SetColWordWrap(1, true);
    grid.AddItem();
    EXPECT_FALSE(grid.CellWordWrap(0, 1));
    EXPECT_TRUE(grid.CellWordWrap(1, 1));
    EXPECT_TRUE(grid.ColWordWrap(1));
}

TEST(GridStoreColumns, ColPositionExchangesTwoPositions)
{
    GridStore grid;
    for (const char *h : {"a", "b", "c"})
        grid.AddColumn(h);
    grid.SetColPosition(0, 2);
    EXPECT_EQ(ColumnOrder(grid), std::vector<int>({2, 1, 0}));
    grid.SetColPosition(0, 2);
    EXPECT_EQ(ColumnOrder(grid), std::vector<int>({2, 1, 0})) << "the same value changes nothing";
    EXPECT_THROW(grid.SetColPosition(0, 3), SubscriptError);
}

TEST(GridStoreColumns, FormatStringCreatesHeadedColumns)
{
    GridStore grid;
    grid.SetFormatString("^No.|<Name|>Size");
    EXPECT_EQ(grid.FormatString(), "^No.|<Name|>Size");
    EXPECT_EQ(grid.Cols(), 3) << "one more blank slot than there are parts";
    const char *headings[] = {"No.", "Name", "Size"};
    const int alignments[] = {5, 4, 6};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(grid.ColHeading(k), headings[k]);
        EXPECT_EQ(grid.ColAlignment(k), alignments[k]);
        EXPECT_FLOAT_EQ(grid.ColWidth(k), 1000);
        EXPECT_TRUE(grid.ColVisible(k));
    }
    EXPECT_FALSE(grid.ColVisible(3));

    grid.AddItem("1\tx");
    grid.SetFormatString("");
    EXPECT_EQ(grid.ItemCount(), 0);
    EXPECT_EQ(grid.Cols(), 0);
    EXPECT_EQ(grid.AddColumn("again"), 0) << "ready for AddColumn";
}

TEST(GridStoreColumns, FormatCellsAppliesOneAttributeToARectangle)
{
    GridStore grid;
    for (const char *h : {"a", "b", "c"})
        grid.AddColumn(h);
    for (int r = 0; r < 3; ++r)
        grid.AddItem();

    grid.FormatCells(0, 1, 1, 2, 1, 0x0000FF);
    grid.FormatCells(1, 2, 0, 0, 5, true);
    grid.FormatCells(0, 2, 0, 2, 8, 123);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            const bool coloured = r <= 1 && c >= 1;
            EXPECT_EQ(grid.CellBackColor(r, c) == 0x0000FFu, coloured) << r << "," << c;
            EXPECT_EQ(grid.CellFontBold(r, c), r >= 1 && c == 0) << r << "," << c;
        }
    }
    EXPECT_THROW(grid.FormatCells(0, 2, 0, 2, 2, QString("red")), TypeMismatchError);
    EXPECT_NE(grid.CellForeColor(0, 0), 0u) << "nothing changed before the mismatch";
}
