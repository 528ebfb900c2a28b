#pragma once

#include "controls/grid/GridEventArgs.h"
#include "controls/grid/GridStore.h"

#include <QPointer>
#include <QVariant>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <vector>

// The list-and-grid control as its window sees it. The rows, cells, columns
// and formats are the store's: the window reaches their members through
// Store(). The widget owns what needs a screen: the columns' pixel geometry,
// the editors bound to columns, painting, and every event that input and
// editing raise. The store's own events are raised here as well, so the
// window connects to one object.
//
// Events whose host may answer carry a pointer to an argument object
// (GridEventArgs.h). An event named like a member of the grid takes the
// suffix Event: ItemCheckedEvent, beside the store's ItemChecked.
class ListGrid : public QWidget {
    Q_OBJECT

public:
    // A grid with a store of its own.
    explicit ListGrid(QWidget *parent = nullptr);
    // A grid that shows a store kept elsewhere (one a headless run also
    // reads); the store must outlive the grid.
    explicit ListGrid(GridStore &store, QWidget *parent = nullptr);

    GridStore &Store() { return store; }
    const GridStore &Store() const { return store; }

    // Column index Col is edited with Ctrl instead of the edit box; of
    // MoveControl's bits, left (4), top (8), width (2) and height (1) of Ctrl
    // follow the cell.
    void BindControl(int32_t Col, QWidget *Ctrl, int32_t MoveControl = 15);

Q_SIGNALS:
    void Click();
    void DblClick();
    void KeyDown(int32_t KeyCode, int32_t Shift);
    void KeyPress(KeyPressArgs *args);
    void KeyUp(int32_t KeyCode, int32_t Shift);
    void MouseDown(int32_t Button, int32_t Shift, float X, float Y);
    void MouseMove(int32_t Button, int32_t Shift, float X, float Y);
    void MouseUp(int32_t Button, int32_t Shift, float X, float Y);
    void CellImageClick(int32_t Row, int32_t Col);
    void ColumnClick(int32_t Col);
    void ColumnSizeChanged(ColumnSizeChangedArgs *args);
    void CustomSort(CustomSortArgs *args);
    void ItemCheckedEvent(ItemCheckedArgs *args);
    void ItemCountChanged();
    void MouseEnter();
    void MouseLeave();
    void RowColChanged();
    void Scroll();
    void SelectionChanged();
    void SortComplete();
    void ThemeChanged();
    void EditKeyPress(EditKeyPressArgs *args);
    void EnterCell();
    void RequestEdit(RequestEditArgs *args);
    void RequestUpdate(RequestUpdateArgs *args);
    void CellUpdated(int32_t Row, int32_t Col);
    // A persisted setting changed (the host saves it).
    void PropertyChanged(const QString &name);

protected:
    // What the view keeps per column index beside the column's data.
    struct ColumnView {
        QPointer<QWidget> BoundControl;
        int16_t MoveControl = 0;
        // The width in pixels, converted from the grid's scale units when
        // the width is set (a later change of ScaleUnits keeps it).
        int32_t WidthPx = 0;
        int32_t LeftPx = 0; // kept by the layout
    };
    // SubscriptError outside the column list.
    const ColumnView &ColumnViewAt(int32_t Index) const;

    // Each raises its event and gives back the host's answer.
    // False when the host cancelled.
    bool RaiseRequestEdit(int32_t Row, int32_t Col);
    // False when the host cancelled; NewValue as the host left it.
    bool RaiseRequestUpdate(int32_t Row, int32_t Col, QVariant &NewValue);
    int32_t RaiseKeyPress(int32_t KeyAscii);
    int32_t RaiseEditKeyPress(int32_t Col, int32_t KeyAscii);
    int32_t RaiseItemChecked(int32_t Row);
    // Col is a display position; the host's MoveControl is kept in the
    // column and given back.
    int16_t RaiseColumnSizeChanged(int32_t Col);

private:
    void ConnectStore();
    void ResetColumnViews();
    void ResetColumnView(int32_t Index);
    void TakeColumnWidth(int32_t Index);
    ColumnView &MutableColumnView(int32_t Index);

    std::unique_ptr<GridStore> ownStore;
    GridStore &store;
    std::vector<ColumnView> columnViews;
    double twipsPerPixelX;
};
