// A click on a cell, a key that moves the current row and a wheel step on a
// grid with 100 and with 1,000,000 rows: input works on the rows on screen
// and the rows selected, never on all rows, so both sizes should cost the
// same.
#include "controls/grid/ListGrid.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

std::unique_ptr<ListGrid> MakeGrid(int rows)
{
    auto grid = std::make_unique<ListGrid>();
    GridStore &store = grid->Store();
    store.SetRedraw(false);
    store.SetCacheIncrement(rows);
    store.SetMultiSelect(true);
    store.SetCheckBoxes(true);
    store.AddColumn(QStringLiteral("Name"), 3000);
    store.AddColumn(QStringLiteral("Size"), 1500, 6, 1);
    store.AddColumn(QStringLiteral("Status"), 5000);
    for (int r = 0; r < rows; ++r)
        store.AddItem(QStringLiteral("picture_%1.jpg\t%2\tQueued").arg(r).arg(r * 37 % 100000));
    store.SetRedraw(true);
    grid->resize(700, 500);
    grid->RefreshView();
    grid->SetTopRow(rows / 2);
    return grid;
}

QPoint CellPoint(const ListGrid &grid, int32_t row)
{
    return QPoint(grid.Geometry().ColumnExtent(1).Left + 20, grid.RowTop(row) + 8) + grid.ClientRect().topLeft();
}

void Send(ListGrid &grid, QEvent &&event)
{
    QCoreApplication::sendEvent(&grid, &event);
}

void BM_ClickOnACell(benchmark::State &state)
{
    auto grid = MakeGrid(static_cast<int>(state.range(0)));
    const int32_t top = grid->Geometry().TopRow();
    const QPoint points[2] = {CellPoint(*grid, top + 2), CellPoint(*grid, top + 5)};
    int i = 0;
    for (auto _ : state) {
        const QPoint at = points[i++ & 1];
        Send(*grid,
            QMouseEvent(QEvent::MouseButtonPress, at, grid->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {}));
        Send(*grid,
            QMouseEvent(QEvent::MouseButtonRelease, at, grid->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, {}));
    }
}

void BM_ArrowKey(benchmark::State &state)
{
    auto grid = MakeGrid(static_cast<int>(state.range(0)));
    grid->Store().GotoCell(grid->Geometry().TopRow() + 3, 0);
    int i = 0;
    for (auto _ : state) {
        const int key = (i++ & 1) ? Qt::Key_Up : Qt::Key_Down;
        Send(*grid, QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
        Send(*grid, QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier));
    }
}

void BM_WheelStep(benchmark::State &state)
{
    auto grid = MakeGrid(static_cast<int>(state.range(0)));
    const QPointF at(50, 50);
    int i = 0;
    for (auto _ : state) {
        const int delta = (i++ & 1) ? 120 : -120;
        Send(*grid,
            QWheelEvent(
                at, grid->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, {}, Qt::NoScrollPhase, false));
    }
}

BENCHMARK(BM_ClickOnACell)->ArgName("rows")->Arg(100)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ArrowKey)->ArgName("rows")->Arg(100)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WheelStep)->ArgName("rows")->Arg(100)->Arg(1000000)->Unit(benchmark::kMicrosecond);

} // namespace
