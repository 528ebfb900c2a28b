#pragma once

#include "controls/grid/GridView.h"

#include <QObject>
#include <QPointer>
#include <cstdint>

class QKeyEvent;
class QLineEdit;
class QWidget;

// Editing one cell of a grid in place: the grid's own borderless edit box,
// txtEdit, or the control bound to the cell's column, laid over the cell.
// The host is asked before an edit opens (RequestEdit) and before a new
// value is stored (RequestUpdate), and told afterwards (CellUpdated).
// Characters typed into the box pass the column's input filter and then the
// host (EditKeyPress).
class GridCellEditor : public QObject {
public:
    GridCellEditor(const GridView &view, GridEditHost &host);

    // Editable is on, the grid is not locked and has rows.
    bool CanEdit() const;
    bool IsOpen() const { return open; }
    int32_t EditRow() const { return editRow; }
    int32_t EditCol() const { return editCol; }
    QLineEdit *Box() const { return box; }

    // Opens an edit on (Row, Col), a position and a display position,
    // committing an open one first.
    void EditCell(int32_t Row, int32_t Col);
    // Stores the edited value as the host accepts it. True when the grid may
    // go on; false when the host cancelled (the editor stays open).
    bool Commit();
    // Closes the editor without storing and without an event.
    void Cancel();
    // What Enter, F2, a click or a double-click asks for: the open edit is
    // committed, or an edit opens on the current cell. True when editing is
    // possible at all (the key or click is then used up).
    bool OpenOrCommit();
    // Lays the open editor over its cell again (after scrolling or a column
    // resize); moves are the bound control's MoveControl bits.
    void Place();
    void Place(int16_t moves);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *BoundControl() const;
    QRect CellRect() const;
    void PrepareBox();
    void ShowBoundControl(QWidget *control);
    void Hide();
    bool BoxKey(QKeyEvent *event);
    bool MouseOverGrid() const;

    QWidget &grid;
    GridStore &store;
    const GridGeometry &geometry;
    GridEditHost &host;
    QLineEdit *box;
    QPointer<QWidget> shownControl;
    int32_t editRow = -1;
    int32_t editCol = -1;
    bool open = false;
    bool forwarding = false;
};
