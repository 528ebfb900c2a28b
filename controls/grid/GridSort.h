#pragma once

#include <QObject>
#include <cstdint>

class GridStore;

// Sorting the grid's rows by one column, refined by a second column over
// runs of rows whose first-column texts are equal. Only the store's item
// order is permuted. The store raises CustomSort (one per comparison on a
// custom column) and SortComplete.
//
// The order of rows that compare equal is part of the result, so the sort
// is the grid's own quicksort (middle pivot, one-sided partition); a
// standard sort, stable or not, would order such rows differently.
class GridSort : public QObject {
    Q_OBJECT

public:
    explicit GridSort(GridStore &store, QObject *parent = nullptr);

    // Each argument -1 keeps the sort column / toggles its direction. A
    // column index outside the column list throws SubscriptError before
    // anything changes. A cell edit in progress is the caller's to commit
    // first.
    void Sort(int32_t Sort = -1, int32_t SortType = -1, int32_t SubSort = -1, int32_t SubSortType = -1);

    // A click on the header at display position Col with column sorting on;
    // ctrl adds or turns the secondary sort.
    void HeaderClick(int32_t Col, bool ctrl);

    int32_t SortCol() const;
    int32_t SubSortCol() const;

private:
    void SortRows();

    GridStore &store;
    int32_t sortCol = -1;
    int32_t subSortCol = -1;
};
