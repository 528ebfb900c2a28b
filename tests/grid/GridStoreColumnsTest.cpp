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

TEST(GridStoreColumns, AddColumnAppendsOrInsertsAndNewCellsCopyTheColumn)
{
    GridStore grid;
    grid.AddColumn("overwritten", 100, 0); // alignment 0 marks a blank slot
    EXPECT_EQ(grid.AddColumn("a"), 0);
    EXPECT_EQ(grid.AddColumn("b"), 1);
    EXPECT_EQ(grid.AddColumn("c"), 2);
    EXPECT_EQ(ColumnOrder(grid), std::vector<int>({0, 1, 2}));
    EXPECT_EQ(grid.ColHeading(0), "a");

    EXPECT_EQ(grid.AddColumn("d", 0, 4, 0, "", "", 4, false, 1), 1);
    EXPECT_EQ(ColumnOrder(grid), std::vector<int>({0, 3, 1, 2}));
    grid.AddItem("A\tB\tC\tD\tE"); // a part beyond the columns is dropped
    EXPECT_EQ(grid.CellText(0, 1), "D") << "cells are reached through the column order";
    EXPECT_EQ(grid.CellText(0, 2), "B");

    grid.SetColWordWrap(1, true); // display position 2
    grid.AddItem();
    EXPECT_FALSE(grid.CellWordWrap(0, 2)) << "existing cells keep theirs";
    EXPECT_TRUE(grid.CellWordWrap(1, 2));
}

TEST(GridStoreColumns, InputFiltersByTypeAndColPositionExchanges)
{
    GridStore grid;
    grid.AddColumn("text");
    grid.AddColumn("number", 0, 4, ColTypeNumber);
    grid.AddColumn("date", 0, 4, ColTypeDate);
    grid.AddColumn("own", 0, 4, ColTypeNumber, "", "0123");
    const QStringList filters = {grid.ColInputFilter(0), grid.ColInputFilter(1), grid.ColInputFilter(2), grid.ColInputFilter(3)};
    EXPECT_EQ(filters, QStringList({"", "1234567890.,-", "1234567890./-", "0123"}));
    EXPECT_THROW(grid.AddColumn("big", 0, 4, 40000), OverflowError);

    grid.SetColPosition(0, 3);
    EXPECT_EQ(ColumnOrder(grid), std::vector<int>({3, 1, 2, 0}));
    grid.SetColPosition(0, 3);
    EXPECT_EQ(ColumnOrder(grid), std::vector<int>({3, 1, 2, 0})) << "the same value changes nothing";
    EXPECT_THROW(grid.SetColPosition(0, 4), SubscriptError);
}

TEST(GridStoreColumns, FormatStringCreatesHeadedColumns)
{
    GridStore grid;
    grid.SetFormatString("^No.|<Name|>Size");
    EXPECT_EQ(grid.FormatString(), "^No.|<Name|>Size");
    QStringList columns;
    for (int k = 0; k <= grid.Cols(); ++k)
        columns << QStringLiteral("%1 %2 %3 %4").arg(grid.ColHeading(k)).arg(grid.ColAlignment(k)).arg(grid.ColWidth(k)).arg(grid.ColVisible(k));
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
    for (const char *h : {"a", "b", "c"})
        grid.AddColumn(h);
    for (int r = 0; r < 3; ++r)
        grid.AddItem();

    grid.FormatCells(1, 2, 0, 0, 5, true);
    const QVariant colours[] = {QVariant(0x0000FF), QVariant(qint64(0x80000005)), QVariant(uint(0x8000000F)),
                                QVariant(int(0x80000012)), QVariant(QStringLiteral("4294967295"))};
    for (const QVariant &colour : colours) {
        grid.FormatCells(0, 1, 1, 2, 1, colour);
        grid.FormatCells(2, 2, 1, 1, 2, colour);
        grid.FormatCells(0, 2, 0, 2, 8, 123);
        const auto expected = static_cast<OleColour>(colour.toLongLong());
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c) {
                const bool inside = r <= 1 && c >= 1;
                EXPECT_EQ(grid.CellBackColor(r, c), inside ? expected : grid.BackColor()) << r << "," << c;
                EXPECT_EQ(grid.CellFontBold(r, c), r >= 1 && c == 0) << r << "," << c;
            }
        }
        EXPECT_EQ(grid.CellForeColor(2, 1), expected) << colour.toString().toStdString();
    }
    EXPECT_THROW(grid.FormatCells(0, 0, 0, 0, 1, QVariant(qint64(0x100000000))), OverflowError);
    EXPECT_THROW(grid.FormatCells(0, 2, 0, 2, 2, QString("red")), TypeMismatchError);
    EXPECT_EQ(grid.CellForeColor(0, 0), grid.ForeColor()) << "nothing changed before the mismatch";
}
