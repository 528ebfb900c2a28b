#pragma once

#include "app/JobTable.h"
#include "controls/grid/DrawnImages.h"

#include <QWidget>
#include <memory>
#include <vector>

class ListGrid;

// The grids of the gallery: the job table as the window sets it up, with
// the ten default jobs, and small grids with every column type in each
// header look, a progress cell, selected and blended rows.
class GridSheet : public QWidget {
public:
    explicit GridSheet(QWidget *parent = nullptr);

    // Lays the grids out once they have their sizes, as a host does.
    void RefreshGrids();

private:
    ListGrid *JobGrid();
    ListGrid *LookGrid(int look);

    DrawnImages jobImages = DrawnImages::JobImages();
    std::unique_ptr<JobTable> jobs;
    std::vector<ListGrid *> grids;
};
