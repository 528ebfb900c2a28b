// Sorting 100,000 grid rows by a text, a numeric and a few-valued column,
// and finding in 1,000,000 rows: sorting should grow as n log n, finding
// linearly.
#include "controls/grid/GridFind.h"
#include "controls/grid/GridSort.h"
#include "controls/grid/GridStore.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <numeric>
#include <random>

namespace {

// Columns: a file name, a size in bytes, a status with three values.
void FillGrid(GridStore &grid, int rows)
{
    grid.SetRedraw(false);
    grid.SetCacheIncrement(rows);
    grid.AddColumn(QStringLiteral("Name"), 1000, 4, 0);
    grid.AddColumn(QStringLiteral("Size"), 1000, 4, 1);
    grid.AddColumn(QStringLiteral("Status"), 1000, 4, 0);
    std::mt19937 random(42);
    const QString statuses[] = {QStringLiteral("Done"), QStringLiteral("Queued"), QStringLiteral("Failed")};
    for (int r = 0; r < rows; ++r) {
        grid.AddItem(QStringLiteral("gallery_%1.jpg\t%2 bytes\t%3")
                         .arg(random() % 1000000)
                         .arg(random() % 5000000)
                         .arg(statuses[random() % 3]));
    }
}

void BM_GridSort(benchmark::State &state)
{
    const int rows = static_cast<int>(state.range(0));
    const int column = static_cast<int>(state.range(1));
    GridStore grid;
    FillGrid(grid, rows);
    GridSort sorter(grid);
    std::vector<int32_t> shuffled(static_cast<size_t>(rows));
    std::iota(shuffled.begin(), shuffled.end(), 0);
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(7));
    for (auto _ : state) {
        state.PauseTiming();
        grid.ReorderItems(shuffled);
        state.ResumeTiming();
        sorter.Sort(column, 1);
    }
    state.SetComplexityN(rows);
}
BENCHMARK(BM_GridSort)
    ->ArgNames({"rows", "col"})
    ->Args({10000, 0})
    ->Args({100000, 0})
    ->Args({10000, 1})
    ->Args({100000, 1})
    ->Args({100000, 2})
    ->Unit(benchmark::kMillisecond);

void BM_GridFind(benchmark::State &state)
{
    GridStore grid;
    FillGrid(grid, static_cast<int>(state.range(0)));
    for (auto _ : state) // no row holds it: every row is examined
        benchmark::DoNotOptimize(FindItem(grid, QStringLiteral("missing"), 0, static_cast<int32_t>(state.range(1))));
}
BENCHMARK(BM_GridFind)
    ->ArgNames({"rows", "mode"})
    ->Args({1000000, 0})
    ->Args({1000000, 2})
    ->Args({1000000, 8})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
