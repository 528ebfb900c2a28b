// The job table as the window sets it up, alone in a window, to be driven
// with real X input: it prints where the Category cell of row 1 lies in the
// window ("cell X Y"), then, for every cell the user edits, the text the
// grid holds afterwards ("CellUpdated Row Col Text").
#include "app/JobTable.h"
#include "controls/grid/ListGrid.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Grid edit probe"));
    window.resize(1000, 250);
    ListGrid grid(&window);
    grid.setGeometry(0, 0, 1000, 250);
    GridStore &LG = grid.Store();
    JobTable jobs(LG);
    jobs.SetupJobGrid();
    jobs.DefaultJobs(10);
    LG.SetRedraw(false);
    for (int32_t i = 1; i <= jobs.JobCount(); ++i)
        jobs.RecordToRow(LG.AddItem(), i);
    LG.SetRedraw(true);
    QObject::connect(&grid, &ListGrid::CellUpdated, [&LG](int32_t Row, int32_t Col) {
        std::printf("CellUpdated %d %d %s\n", Row, Col, qPrintable(LG.CellText(Row, Col)));
        std::fflush(stdout);
    });
    window.show();
    grid.RefreshView();

    const int32_t col = LG.ColPosition(JobColCategory);
    const ColumnSpan span = grid.Geometry().ColumnExtent(col);
    const QPoint cell = grid.ClientRect().topLeft() + QPoint((span.Left + span.Right) / 2, grid.RowTop(1) + 8);
    std::printf("cell %d %d\n", cell.x(), cell.y());
    std::fflush(stdout);
    return app.exec();
}
