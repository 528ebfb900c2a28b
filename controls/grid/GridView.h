#pragma once

#include <QPointer>
#include <QRect>
#include <QVariant>
#include <QWidget>
#include <cstdint>

class DrawnImages;
class GridGeometry;
class GridSort;
class GridStore;

// What the input half drives: the header cell under the mouse and the one
// held down (display positions, -1 none), a header being dragged to a new
// left edge.
struct GridViewState {
    int32_t HotColumn = -1;
    int32_t PressedColumn = -1;
    int32_t DraggedColumn = -1;
    int32_t DraggedLeft = 0;
    bool HasFocus = false;
};

// What a grid widget keeps per column index beside the column's data: the
// control bound to the column and which of its edges follow the cell.
struct GridColumnView {
    QPointer<QWidget> BoundControl;
    int16_t MoveControl = 0;
};

// What painting a grid and editing its cells read of it, filled by the grid
// widget: the painter and the editor see these parts, not the whole widget.
struct GridView {
    QWidget &Widget;
    GridStore &Store;
    const GridGeometry &Geometry;
    const GridSort &Sorter;
    const DrawnImages *Pictures;
    const GridViewState &State;
};

// What the cell editor asks of the grid it edits in: the host's answers to
// its events, and where the cells lie.
class GridEditHost {
public:
    // False when the host cancelled.
    virtual bool RaiseRequestEdit(int32_t Row, int32_t Col) = 0;
    // False when the host cancelled; NewValue as the host left it.
    virtual bool RaiseRequestUpdate(int32_t Row, int32_t Col, QVariant &NewValue) = 0;
    virtual int32_t RaiseEditKeyPress(int32_t Col, int32_t KeyAscii) = 0;
    // An edit ended, stored or not.
    virtual void RaiseCellUpdated(int32_t Row, int32_t Col) = 0;
    // A stored edit may change the rows' extent.
    virtual void RecomputeScrollBars() = 0;
    // SubscriptError outside the column list.
    virtual const GridColumnView &ColumnViewAt(int32_t Index) const = 0;
    // The client area in the widget's coordinates.
    virtual QRect ClientRect() const = 0;

protected:
    ~GridEditHost() = default;
};
