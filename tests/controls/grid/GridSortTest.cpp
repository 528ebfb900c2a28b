#include "controls/grid/GridSort.h"
#include "GridRows.h"
#include "controls/grid/GridStore.h"
#include "util/Errors.h"

#include <gtest/gtest.h>

namespace {

TEST(GridSortTest, OrdersByColumnType)
{
    const std::tuple<const char *, int, int, QStringList, QStringList> cases[] = {
        // name, type, order, rows, sorted
        {"numbers ascending", ColTypeNumber, 1, {"10", "9", "100"}, {"9", "10", "100"}},
        {"texts ascending", ColTypeText, 1, {"10", "9", "100"}, {"10", "100", "9"}},
        {"leading numbers", ColTypeNumber, 1, {"12abc", "x", "-3", "2.5"}, {"-3", "x", "2.5", "12abc"}},
        {"numbers descending", ColTypeNumber, 0, {"10", "9", "100"}, {"100", "10", "9"}},
        {"capitals first", ColTypeText, 1, {"a", "B", "b", "A"}, {"A", "B", "a", "b"}},
        {"progress as text", ColTypeProgress, 0, {"b", "c", "a"}, {"c", "b", "a"}},
        {"dates ascending", ColTypeDate, 1, {"2024-05-01", "soon", "2023-01-31"}, {"soon", "2023-01-31", "2024-05-01"}},
        {"dates descending", ColTypeDate, 0, {"2024-05-01", "soon", "2023-01-31"},
            {"2024-05-01", "2023-01-31", "soon"}},
        {"day-month dates", ColTypeDate, 1, {"2.1.2024", "31.12.2023"}, {"31.12.2023", "2.1.2024"}},
        // Middle pivot, one-sided partition: equal rows come out in this order.
        {"equal numbers keep no order", ColTypeNumber, 1, {"1a", "1b", "1c", "1d"}, {"1c", "1a", "1b", "1d"}},
        {"non-dates all go before", ColTypeDate, 1, {"x1", "x2", "x3", "x4"}, {"x4", "x1", "x2", "x3"}},
    };
    for (const auto &[name, type, order, rows, sorted] : cases) {
        GridStore grid;
        Fill(grid, {type}, rows);
        GridSort(grid).Sort(0, order);
        EXPECT_EQ(Column(grid), sorted) << name;
    }
}

TEST(GridSortTest, ChecksSortByFlag)
{
    GridStore grid;
    Fill(grid, {ColTypeCheckBox, ColTypeText}, {"\ta", "\tb", "\tc"});
    grid.SetCellChecked(1, 0, true);
    GridSort sorter(grid);
    sorter.Sort(0, 0);
    EXPECT_EQ(Column(grid, 1), QStringList({"b", "c", "a"}));
    sorter.Sort();
    EXPECT_EQ(grid.ColumnAt(0).SortOrder, 1);
    EXPECT_EQ(Column(grid, 1).last(), "b");
}

TEST(GridSortTest, SubSortReordersOnlyRunsOfEqualTexts)
{
    GridStore grid;
    Fill(grid, {ColTypeText, ColTypeNumber}, {"B\t1", "C\t0", "A\t9", "B\t3"});
    GridSort sorter(grid);
    sorter.Sort(0, 1, 1, 0);
    EXPECT_EQ(Column(grid, 1), QStringList({"9", "3", "1", "0"}));
    sorter.Sort(0, 1, 1, 1);
    EXPECT_EQ(Column(grid, 1), QStringList({"9", "1", "3", "0"}));
    sorter.Sort(1, 1, 1);
    EXPECT_EQ(sorter.SubSortCol(), -1);
    EXPECT_EQ(Column(grid, 1), QStringList({"0", "1", "3", "9"}));
}

// SortComplete is shown by the header tests.
TEST(GridSortTest, KeepsTheCurrentRowAndForgetsTheSortOnClear)
{
    GridStore grid;
    Fill(grid, {ColTypeText}, {"c", "a", "b"});
    grid.SetRow(0);
    GridSort sorter(grid);
    int rowEvents = 0;
    QObject::connect(&grid, &GridStore::RowColChanged, [&] { ++rowEvents; });
    sorter.Sort(0);
    EXPECT_EQ(Column(grid), QStringList({"a", "b", "c"}));
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_EQ(rowEvents, 0);
    grid.Clear();
    EXPECT_EQ(sorter.SortCol(), -1);
    EXPECT_THROW(sorter.Sort(5), SubscriptError);
}

// The host's comparison through CustomSort sees the flag inverted and orders
// as it answers: answered as a number column compares, the rows come out in
// exactly that column's order, equal keys included.
TEST(GridSortTest, CustomSortMatchesBuiltInOrder)
{
    const QStringList keys = {"3", "1", "3", "0", "1", "3", "2", "0", "2", "1", "3", "0"};
    QStringList rows;
    for (int i = 0; i < keys.size(); ++i)
        rows << keys[i] + QStringLiteral("\t%1").arg(i);
    for (const int order : {0, 1}) {
        GridStore custom, builtIn;
        Fill(custom, {ColTypeCustom, ColTypeText}, rows);
        Fill(builtIn, {ColTypeNumber, ColTypeText}, rows);
        QObject::connect(&custom, &GridStore::CustomSort, [order](CustomSortArgs *a) {
            EXPECT_EQ(a->Ascending, order == 0);
            const int v1 = a->Value1.toInt(), v2 = a->Value2.toInt();
            a->Swap = a->Ascending ? v1 > v2 : v1 < v2;
        });
        GridSort(custom).Sort(0, order);
        GridSort(builtIn).Sort(0, order);
        EXPECT_EQ(Column(custom, 1), Column(builtIn, 1)) << order;
    }
}

} // namespace
