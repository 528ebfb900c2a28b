#include "controls/grid/GridGeometry.h"
#include "controls/grid/CellFormat.h"
#include "controls/grid/GridStore.h"
#include "util/Units.h"

#include <gtest/gtest.h>

namespace {

// A grid measured in pixels: rows of 16, a header of 17 (text 13 + 4),
// columns of 40, no border, a client of the given size.
struct MeasuredGrid {
    GridStore store;
    GridGeometry geometry{store};

    MeasuredGrid(int columns, int rows, QSize client)
    {
        store.SetScaleUnits(ScalePixels);
        store.SetViewSetting(ViewSetting::BorderStyle, 0);
        store.SetRowHeightMin(16);
        for (int c = 0; c < columns; ++c) {
            store.AddColumn(QString::number(c), 40);
            geometry.SetColumnWidthPx(c, 40);
        }
        for (int r = 0; r < rows; ++r)
            store.AddItem();
        geometry.SetTextHeight(13);
        geometry.SetClientSize(client);
        geometry.SetLive(true);
        geometry.ComputeLayout();
        geometry.RecomputeScrollBars();
    }
};

} // namespace

TEST(GridGeometry, BoxesArePlacedInTheCellByAlignmentCode)
{
    // Alignment code, the top left of a 12 x 12 box in cell (10, 20) 40 x 20.
    const std::pair<int, QPoint> cases[] = {{0, {11, 22}}, {1, {24, 22}}, {2, {37, 22}}, {4, {11, 24}}, {5, {24, 24}},
        {6, {37, 24}}, {8, {11, 26}}, {9, {24, 26}}, {10, {37, 26}}, {3, {0, 0}}, {7, {0, 0}}, {12, {0, 0}}};
    for (const auto &[code, at] : cases)
        EXPECT_EQ(BoxInCell(code, QRect(10, 20, 40, 20), QSize(12, 12)), QRect(at, QSize(12, 12))) << code;
    // Halves go to the even neighbour: 41/2 -> 20, 43/2 -> 22, 13/2 -> 6.
    EXPECT_EQ(BoxInCell(5, QRect(0, 0, 41, 43), QSize(13, 13)).topLeft(), QPoint(14, 16));
}

TEST(GridGeometry, LayoutFollowsTheMinimumRowHeightAndCheckBoxes)
{
    MeasuredGrid grid(2, 0, QSize(100, 100));
    EXPECT_EQ(grid.geometry.Layout().CheckBoxSize, 12);
    EXPECT_EQ(grid.geometry.HeaderHeight(), 17);
    grid.store.SetRowHeightMin(17);
    grid.store.SetCheckBoxes(true);
    grid.geometry.ComputeLayout();
    EXPECT_EQ(grid.geometry.Layout().CheckBoxSize, 16);
    EXPECT_EQ(grid.geometry.Layout().TextIndent, 18);
    EXPECT_EQ(grid.geometry.ColumnGeometry(0).Left, 18) << "the first cell starts after the box";
    EXPECT_EQ(grid.geometry.ColumnGeometry(0).Right, 40);
    grid.store.SetViewSetting(ViewSetting::ColumnHeaders, false);
    EXPECT_EQ(grid.geometry.HeaderHeight(), 0);
}

TEST(GridGeometry, ScrollRangesByHowTheRowsAndColumnsFit)
{
    // Header 17 + 5 rows of 16 = 97; each bar's Shown and Max. With six rows
    // the vertical Max is 1: five rows fit from the bottom, so top row 1
    // shows the last row whole.
    const std::tuple<int, int, std::vector<int>> cases[] = {
        {2, 5, {0, 4, 0, 1}}, {2, 6, {1, 1, 0, 1}}, {6, 20, {1, 15, 1, 4}}, {1, 0, {0, -1, 0, 0}}};
    for (const auto &[columns, rows, bars] : cases) {
        MeasuredGrid grid(columns, rows, QSize(100, 97));
        const ScrollBarState &v = grid.geometry.Bar(VerticalBar);
        const ScrollBarState &h = grid.geometry.Bar(HorizontalBar);
        EXPECT_EQ(std::vector<int>({v.Shown, v.Max, h.Shown, h.Max}), bars) << columns << " x " << rows;
    }
    MeasuredGrid both(6, 20, QSize(100, 97));
    ASSERT_TRUE(both.geometry.SetTopRow(10));
    both.geometry.SetClientSize(QSize(100, 1000));
    both.geometry.RecomputeScrollBars();
    EXPECT_EQ(both.geometry.TopRow(), 0) << "all rows fit again: none stays out of sight";
}

// The vertical maximum is the first top row that shows the last row whole;
// scrolling a row into view never goes past it.
TEST(GridGeometry, TheVerticalMaximumShowsTheLastRowWhole)
{
    // Client height and rows hidden at the end -> Max, for 20 rows of 16
    // under a header of 17: 97 holds five rows exactly, 100 and 112 five and
    // part of a sixth, 113 six, 30 not one (the last row then starts at the
    // top).
    const std::tuple<int, int, int> cases[] = {
        {97, 0, 15}, {100, 0, 15}, {112, 0, 15}, {113, 0, 14}, {30, 0, 19}, {97, 3, 12}};
    for (const auto &[height, hidden, max] : cases) {
        MeasuredGrid grid(1, 20, QSize(100, height));
        for (int r = 20 - hidden; r < 20; ++r)
            grid.store.SetItemAttribute(r, ItemAttr::Visible, false);
        grid.geometry.RecomputeScrollBars();
        EXPECT_EQ(grid.geometry.Bar(VerticalBar).Max, max) << height << " " << hidden;
        grid.geometry.ScrollIntoView(19, 0);
        EXPECT_LE(grid.geometry.TopRow(), max) << height << " " << hidden;
    }
}

TEST(GridGeometry, AHorizontalBarStaysUntilScrolledBack)
{
    MeasuredGrid grid(3, 1, QSize(100, 97));
    ASSERT_TRUE(grid.geometry.SetBarPosition(HorizontalBar, 1));
    grid.geometry.SetClientSize(QSize(200, 97));
    grid.geometry.RecomputeScrollBars();
    EXPECT_TRUE(grid.geometry.Bar(HorizontalBar).Shown);
    EXPECT_EQ(grid.geometry.Bar(HorizontalBar).Max, 2);
    ASSERT_TRUE(grid.geometry.SetBarPosition(HorizontalBar, 0));
    grid.geometry.RecomputeScrollBars();
    EXPECT_FALSE(grid.geometry.Bar(HorizontalBar).Shown);
    EXPECT_FALSE(grid.geometry.SetBarPosition(HorizontalBar, 1)) << "a hidden bar keeps its position";
}

TEST(GridGeometry, RowsAndColumnsUnderPointsAndTheirEdges)
{
    MeasuredGrid grid(6, 20, QSize(100, 97));
    ASSERT_TRUE(grid.geometry.SetTopRow(14));
    EXPECT_EQ(grid.geometry.RowTop(13), -1);
    EXPECT_EQ(grid.geometry.RowTop(16), 17 + 32);
    EXPECT_EQ(grid.geometry.RowAt(16), -1) << "the header";
    EXPECT_EQ(grid.geometry.RowAt(17), 14);
    EXPECT_EQ(grid.geometry.RowAt(17 + 6 * 16 - 1), 19);
    EXPECT_EQ(grid.geometry.RowAt(17 + 6 * 16), -1) << "below the last row";
    grid.store.SetItemAttribute(15, ItemAttr::Visible, false);
    EXPECT_EQ(grid.geometry.RowAt(17 + 16), 16) << "a hidden row takes no room";

    ASSERT_TRUE(grid.geometry.SetBarPosition(HorizontalBar, 2));
    EXPECT_EQ(grid.geometry.ColLeft(1), -1);
    EXPECT_EQ(grid.geometry.ColLeft(4), 80);
    EXPECT_EQ(grid.geometry.ColumnAt(0), 2);
    EXPECT_EQ(grid.geometry.ColumnAt(159), 5);
    EXPECT_EQ(grid.geometry.ColumnAt(160), -1);
    grid.store.SetColAttribute(3, ColAttr::Visible, false);
    EXPECT_EQ(grid.geometry.ColumnAt(40), 4) << "a hidden column takes no room";
}

TEST(GridGeometry, ItemsVisibleCountsRowsOfTheMinimumHeightInsideTheBorder)
{
    MeasuredGrid grid(1, 0, QSize(100, 97));
    EXPECT_EQ(grid.geometry.ItemsVisible(), 5);
    grid.store.SetViewSetting(ViewSetting::BorderStyle, 1);
    EXPECT_EQ(grid.geometry.ItemsVisible(), 5) << "76 / 16 = 4.75";
    grid.geometry.SetClientSize(QSize(100, 97 - 8));
    EXPECT_EQ(grid.geometry.ItemsVisible(), 4) << "68 / 16 = 4.25";
}

TEST(CellFormat, DisplayFormatsShapeNumbersAndDatesOnly)
{
    const std::pair<const char *, const char *> cases[][2] = {
        {{"1234.5", "#,##0.00"}, {"1,234.50", ""}},
        {{"7", "000"}, {"007", ""}},
        {{"0.25", "#.#"}, {".2", "halves to even"}},
        {{"-3.5", "0"}, {"-4", ""}},
        {{"abc", "0.00"}, {"abc", "not a number"}},
        {{"2024-03-01", "dd/mm/yyyy"}, {"01/03/2024", ""}},
        {{"2024-03-01T14:05:00", "yyyy-mm-dd hh:nn"}, {"2024-03-01 14:05", ""}},
        {{"soon", "dd/mm/yyyy"}, {"soon", "not a date"}},
        {{"12", ""}, {"12", "no format"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FormatCellText(c[0].first, c[0].second), c[1].first) << c[0].first << " " << c[1].second;
}
