// One repaint of a 1000 x 700 grid with 100 and with 1,000,000 rows: the
// repaint visits only the rows on screen, so the two should cost the same.
#include "controls/grid/ListGrid.h"

#include <QImage>
#include <benchmark/benchmark.h>

namespace {

void FillGrid(GridStore &grid, int rows)
{
    grid.SetRedraw(false);
    grid.SetCacheIncrement(rows);
    grid.AddColumn(QStringLiteral("Name"), 3000, 4, 0);
    grid.AddColumn(QStringLiteral("Size"), 1500, 6, 1);
    grid.AddColumn(QStringLiteral("Done"), 800, 5, 3);
    grid.AddColumn(QStringLiteral("Progress"), 2500, 4, 4);
    grid.AddColumn(QStringLiteral("Status"), 5000, 4, 0);
    for (int r = 0; r < rows; ++r) {
        const int32_t row =
            grid.AddItem(QStringLiteral("picture_%1.jpg\t%2\t\t\tQueued for download").arg(r).arg(r * 37 % 100000));
        int16_t progress = static_cast<int16_t>(r % 101);
        grid.SetCellAttribute(row, 3, CellAttr::ProgressValue, progress);
        grid.SetCellChecked(row, 2, r % 2 == 0);
    }
    grid.SetItemAttribute(1, ItemAttr::Selected, true);
    grid.SetRow(2);
    grid.SetRedraw(true);
}

void BM_GridRepaint(benchmark::State &state)
{
    const int rows = static_cast<int>(state.range(0));
    ListGrid grid;
    grid.resize(1000, 700);
    FillGrid(grid.Store(), rows);
    grid.RefreshView();
    grid.SetTopRow(static_cast<int32_t>(state.range(1)));
    QImage image(grid.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        grid.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_GridRepaint)
    ->ArgNames({"rows", "top"})
    ->Args({100, 0})
    ->Args({1000000, 0})
    ->Args({1000000, 500000})
    ->Unit(benchmark::kMillisecond);

} // namespace
