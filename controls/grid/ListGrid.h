#pragma once

#include "controls/grid/GridEventArgs.h"
#include "controls/grid/GridFind.h"
#include "controls/grid/GridGeometry.h"
#include "controls/grid/GridSort.h"
#include "controls/grid/GridStore.h"
#include "controls/grid/GridView.h"

#include <QPointer>
#include <QTimer>
#include <QVariant>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <vector>

class DrawnImages;
class GridCellEditor;
class QScrollBar;

// The list-and-grid control as its window sees it. The rows, cells, columns
// and formats are the store's: the window reaches their members through
// Store(). The widget owns what needs a screen: the columns' pixel geometry,
// the editors bound to columns, painting, and every event that input and
// editing raise. The store's own events are raised here as well, so the
// window connects to one object. Sorting and finding are reached through the
// thin members below; every drawing setting is read from the store's
// properties when painting. Mouse, keys, focus, wheel and the mouse leaving
// are handled here, each before the base class sees it; the cell being
// edited in place is GridCellEditor's.
//
// Events whose host may answer carry a pointer to an argument object
// (GridEventArgs.h). An event named like a member of the grid takes the
// suffix Event: ItemCheckedEvent, beside the row attribute ItemAttr::Checked.
class ListGrid : public QWidget, private GridEditHost {
    Q_OBJECT

public:
    // A grid with a store of its own.
    explicit ListGrid(QWidget *parent = nullptr);
    // A grid that shows a store kept elsewhere (one a headless run also
    // reads); the store must outlive the grid.
    explicit ListGrid(GridStore &store, QWidget *parent = nullptr);
    ~ListGrid() override;

    GridStore &Store() { return store; }
    const GridStore &Store() const { return store; }

    // Column index Col is edited with Ctrl instead of the edit box; of
    // MoveControl's bits, left (4), top (8), width (2) and height (1) of Ctrl
    // follow the cell.
    void BindControl(int32_t Col, QWidget *Ctrl, int32_t MoveControl = 15);

    // In-place editing of the cell at position Row, display position Col,
    // with the edit box txtEdit or the column's bound control.
    void EditCell(int32_t Row, int32_t Col);
    bool Editing() const;
    // Stores an open edit as the host accepts it; false when the host
    // refused (the edit stays open).
    bool EndEdit();

    // The column and row under the mouse (-1 over nothing; row -1 also over
    // the header).
    int32_t MouseCol() const { return mouseCol; }
    int32_t MouseRow() const { return mouseRow; }
    // The image whose square toggles a word-wrapped row between its minimum
    // and its full height; an image index or key as for ItemImage, 0 none.
    QVariant ExpandRowImage() const { return expandRowImage; }
    void SetExpandRowImage(const QVariant &value);

    // Geometry and scrolling, in pixels of the client area.
    void RefreshView() { store.RefreshView(); }
    int32_t RowTop(int32_t Index) const { return geometry.RowTop(Index); }
    int32_t ColLeft(int32_t Index) const { return geometry.ColLeft(Index); }
    int32_t ItemsVisible() const { return geometry.ItemsVisible(); }
    void SetTopRow(int32_t value);
    const GridGeometry &Geometry() const { return geometry; }
    // What painting and editing read: the store, the geometry, the sort
    // state, the pictures and the view state.
    GridView View();
    // The client area: the control less its border and the scroll bars shown.
    QRect ClientRect() const override;
    // Runs a scroll bar action as the bar or the wheel asks for it.
    void ScrollBy(ScrollBarIndex which, ScrollAction action, int32_t track = 0);

    // Sorting and finding over the rows.
    // An open edit is committed first; when the host refuses, nothing sorts.
    void Sort(int32_t SortColumn = -1, int32_t SortType = -1, int32_t SubSort = -1, int32_t SubSortType = -1);
    // A click on the header at display position Col; ctrl adds the second
    // sort column. Does nothing unless ColumnSort is on.
    void HeaderClick(int32_t Col, bool ctrl);
    int32_t FindItem(
        const QString &SearchText, int32_t SearchColumn = -1, int32_t SearchMode = 0, bool MatchCase = false) const;

    // The pictures of the image list's indexes; null draws no images.
    void SetPictures(const DrawnImages *pictures);

    void SetHotColumn(int32_t Col);
    void SetPressedColumn(int32_t Col);
    void SetDraggedColumn(int32_t Col, int32_t Left);

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
    // SubscriptError outside the column list.
    const GridColumnView &ColumnViewAt(int32_t Index) const override;

    // Each raises its event and gives back the host's answer.
    bool RaiseRequestEdit(int32_t Row, int32_t Col) override;
    bool RaiseRequestUpdate(int32_t Row, int32_t Col, QVariant &NewValue) override;
    int32_t RaiseKeyPress(int32_t KeyAscii);
    int32_t RaiseEditKeyPress(int32_t Col, int32_t KeyAscii) override;
    int32_t RaiseItemChecked(int32_t Row);
    // Col is a display position; the host's MoveControl is kept in the
    // column and given back.
    int16_t RaiseColumnSizeChanged(int32_t Col);

    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    // Input state from a press to the following release.
    enum class AutoScroll { None, Up, Down };
    struct Gesture {
        bool ButtonDown = false;
        int32_t DownRow = -1;
        int32_t DownX = 0;
        int32_t PressedColumn = -1;
        int32_t DraggedColumn = -1;
        int32_t ResizingColumn = -1;
        int32_t ResizingLeft = 0;
        AutoScroll Direction = AutoScroll::None;
        bool DoubleClicked = false;
    };

    QPoint ClientPoint(const QPointF &widgetPoint) const;
    bool InputIgnored() const;
    void PressOnHeader(int32_t x);
    void PressOnRow(int32_t x, int32_t y, int32_t shift);
    void ToggleCheckBoxCell(int32_t Row, int32_t Col, int32_t x, int32_t y);
    void SelectOnPress(int32_t Row, int32_t shift);
    void TrackHeader(int32_t x, int32_t y);
    void ResizeColumnTo(int32_t x);
    void DragSelect(int32_t y, int32_t shift);
    void StartAutoScroll(AutoScroll direction);
    void StopAutoScroll();
    void AutoScrollStep();
    void ReleaseOnHeader(int32_t Col, bool ctrl);
    void ReleaseOnCell(int32_t Row, int32_t Col, QPoint at);
    QRect CellBox(int32_t Row, int32_t Col) const;
    bool CellImageHit(int32_t Row, int32_t Col, QPoint at) const;
    bool ExpandImageHit(int32_t Row, int32_t Col, QPoint at) const;
    void ToggleRowExpansion(int32_t Row);
    // The key-down table: true when the key was used up.
    bool KeyDownAction(int32_t KeyCode, int32_t Shift);
    bool MoveRowsByKey(int32_t KeyCode, int32_t Shift, int32_t &newRow, int32_t &newCol);
    bool JumpByKey(int32_t KeyCode, int32_t Shift, int32_t &newRow, int32_t &newCol);
    void SettleKeyMove(int32_t KeyCode, int32_t Shift, int32_t oldRow, int32_t newRow, int32_t newCol);
    void CharacterTyped(QChar character, bool keyUsed);
    void ToggleRowCheck(int32_t Row);

    void ConnectStore();
    void CreateScrollBars();
    void ConnectScrollBar(QScrollBar *bar, ScrollBarIndex which);
    void ComputeLayout();
    void RecomputeScrollBars() override;
    void RaiseCellUpdated(int32_t Row, int32_t Col) override;
    void ScrollEndsEdit();
    void ApplyScrollBars();
    void PlaceScrollBars();
    void Wheel(QWheelEvent *event);
    void ShowAtTop(int32_t Row, int32_t current);
    void ScrollIntoView(int32_t Row, int32_t Col);
    void FitRowHeight(int32_t Index);
    void ClearView();
    void ResetColumnViews();
    void ResetColumnView(int32_t Index);
    void TakeColumnWidth(int32_t Index);
    GridColumnView &MutableColumnView(int32_t Index);

    std::unique_ptr<GridStore> ownStore;
    GridStore &store;
    std::vector<GridColumnView> columnViews;
    double twipsPerPixelX;
    GridGeometry geometry;
    GridSort sorter;
    const DrawnImages *pictures = nullptr;
    QScrollBar *bars[2] = {nullptr, nullptr};
    GridViewState view;
    bool thumbDragging = false;
    bool forcePaint = false;
    GridCellEditor *editor = nullptr;
    Gesture gesture;
    QTimer autoScrollTimer;
    TypeAhead typeAhead;
    QVariant expandRowImage = 0;
    int32_t mouseCol = -1;
    int32_t mouseRow = -1;
    int32_t resizeCandidate = -1;
    int32_t anchorRow = -1;
    bool tracking = false;
};
