// ListGrid's input: mouse presses, moves and releases, and the keyboard.
#include "controls/grid/ListGrid.h"

#include "controls/ControlUnits.h"
#include "controls/grid/GridCellEditor.h"
#include "controls/grid/GridFind.h"
#include "controls/grid/GridInputCodes.h"
#include "controls/grid/GridPainter.h"
#include "controls/grid/ImageList.h"
#include "util/Errors.h"
#include "util/Numbers.h"
#include "util/Units.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <chrono>

// ---- mouse --------------------------------------------------------------------

QPoint ListGrid::ClientPoint(const QPointF &widgetPoint) const
{
    return widgetPoint.toPoint() - ClientRect().topLeft();
}

// A locked or empty grid only reports the mouse.
bool ListGrid::InputIgnored() const
{
    return store.Properties().Locked || store.ItemCount() == 0;
}

void ListGrid::mousePressEvent(QMouseEvent *event)
{
    const QPoint at = ClientPoint(event->position());
    const int32_t shift = HostCodes::Shift(event->modifiers());
    const std::set<int32_t> selectedBefore = store.SelectedSlots();
    gesture.DoubleClicked = false;
    if (!InputIgnored()) {
        mouseCol = geometry.ColumnAt(at.x());
        mouseRow = geometry.RowAt(at.y());
        gesture.DownRow = mouseRow;
        gesture.DownX = at.x();
        const bool inHeader = at.y() < geometry.HeaderHeight();
        if (event->button() == Qt::LeftButton) {
            gesture.ButtonDown = true;
            if (inHeader)
                PressOnHeader(at.x());
            else if (mouseRow >= 0)
                PressOnRow(at.x(), at.y(), shift);
        } else if (mouseRow >= 0 && editor->Commit()) {
            store.MoveCurrentCell(mouseRow, mouseCol >= 0 ? mouseCol : store.Col(), true);
            store.ClearSelection();
            store.SelectRange(mouseRow, mouseRow);
        }
    }
    if (store.SelectedSlots() != selectedBefore)
        Q_EMIT SelectionChanged();
    Q_EMIT MouseDown(HostCodes::Button(event->button()), shift, static_cast<float>(at.x()), static_cast<float>(at.y()));
}

// A press on a column border (the pointer shows it) starts a resize;
// elsewhere in the header it holds the column down.
void ListGrid::PressOnHeader(int32_t x)
{
    if (resizeCandidate >= 0 && cursor().shape() == Qt::SplitHCursor) {
        gesture.ResizingColumn = resizeCandidate;
        gesture.ResizingLeft = geometry.ColumnExtent(resizeCandidate).Left;
        return;
    }
    gesture.PressedColumn = geometry.ColumnAt(x);
    SetPressedColumn(gesture.PressedColumn);
}

void ListGrid::PressOnRow(int32_t x, int32_t y, int32_t shift)
{
    if (!editor->Commit()) {
        // The edit stays open: neither the drag nor the release that follow
        // may move the current cell or the selection.
        gesture.DownRow = -1;
        return;
    }
    const int32_t row = mouseRow;
    if (store.Properties().CheckBoxes && x <= 15 && geometry.LeftCol() == 0) {
        // The row's check box: no selection, and no drag selection after it.
        ToggleRowCheck(row);
        gesture.ButtonDown = false;
        return;
    }
    if (mouseCol >= 0 && store.ColumnAt(store.ColPosition(mouseCol)).ColType == ColTypeCheckBox)
        ToggleCheckBoxCell(row, mouseCol, x, y);
    SelectOnPress(row, shift);
    store.MoveCurrentCell(row, mouseCol >= 0 ? mouseCol : store.Col(), true);
}

void ListGrid::ToggleRowCheck(int32_t Row)
{
    store.SetItemAttribute(Row, ItemAttr::Checked, !store.ItemAttribute(Row, ItemAttr::Checked).toBool());
    RaiseItemChecked(Row);
}

// A check-box column is edited by a click on its box, asked for and told as
// an edit is.
void ListGrid::ToggleCheckBoxCell(int32_t Row, int32_t Col, int32_t x, int32_t y)
{
    const int32_t size = geometry.Layout().CheckBoxSize;
    const QRect box = BoxInCell(store.ColumnAt(store.ColPosition(Col)).Alignment, CellBox(Row, Col), QSize(size, size));
    if (!box.contains(x, y) || !editor->CanEdit() || !RaiseRequestEdit(Row, Col))
        return;
    store.SetCellChecked(Row, Col, !store.CellChecked(Row, Col));
    Q_EMIT CellUpdated(Row, Col);
}

void ListGrid::SelectOnPress(int32_t Row, int32_t shift)
{
    const bool ctrl = (shift & HostCodes::CtrlMask) != 0;
    if (store.Properties().MultiSelect) {
        if ((shift & HostCodes::ShiftMask) != 0) {
            anchorRow = store.Row() >= 0 ? store.Row() : Row;
            store.ClearSelection();
            store.SelectRange(anchorRow, Row);
        } else if (ctrl) {
            store.SetItemAttribute(Row, ItemAttr::Selected, !store.ItemAttribute(Row, ItemAttr::Selected).toBool());
        } else {
            store.ClearSelection();
            store.SelectRange(Row, Row);
        }
    } else if (ctrl) {
        const bool wasSelected = store.ItemAttribute(Row, ItemAttr::Selected).toBool();
        store.ClearSelection();
        store.SetItemAttribute(Row, ItemAttr::Selected, !wasSelected);
    } else if (!store.ItemAttribute(Row, ItemAttr::Selected).toBool()) {
        store.ClearSelection();
        store.SelectRange(Row, Row);
    }
}

void ListGrid::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint at = ClientPoint(event->position());
    const int32_t shift = HostCodes::Shift(event->modifiers());
    if (!tracking) {
        tracking = true;
        Q_EMIT MouseEnter();
    }
    if (!InputIgnored()) {
        mouseCol = geometry.ColumnAt(at.x());
        mouseRow = geometry.RowAt(at.y());
        const bool inHeader = at.y() >= 0 && at.y() < geometry.HeaderHeight();
        if (gesture.PressedColumn >= 0)
            SetPressedColumn(inHeader && mouseCol == gesture.PressedColumn ? gesture.PressedColumn : -1);
        if (!gesture.ButtonDown) {
            TrackHeader(at.x(), at.y());
        } else if (gesture.ResizingColumn >= 0) {
            ResizeColumnTo(at.x());
        } else if (gesture.DownRow >= 0) {
            DragSelect(at.y(), shift);
        } else if (gesture.PressedColumn >= 0 && store.Properties().ColumnDrag &&
            (gesture.DraggedColumn >= 0 || std::abs(at.x() - gesture.DownX) >= QApplication::startDragDistance())) {
            // The header cell follows the mouse from where it was pressed.
            SetHotColumn(-1);
            gesture.DraggedColumn = gesture.PressedColumn;
            SetDraggedColumn(
                gesture.DraggedColumn, geometry.ColumnExtent(gesture.DraggedColumn).Left + at.x() - gesture.DownX);
        }
    }
    Q_EMIT MouseMove(
        HostCodes::Buttons(event->buttons()), shift, static_cast<float>(at.x()), static_cast<float>(at.y()));
}

// With no button held: the hot header cell, and the sizing pointer within
// 4 pixels of a column's right border.
void ListGrid::TrackHeader(int32_t x, int32_t y)
{
    const bool inHeader = y >= 0 && y < geometry.HeaderHeight();
    if (store.Properties().HotHeaderTracking)
        SetHotColumn(inHeader ? mouseCol : -1);
    resizeCandidate = -1;
    const int32_t resizing = store.Properties().AllowUserResizing;
    if (inHeader && (resizing == 1 || resizing == 4)) {
        for (int32_t c = geometry.LeftCol(); c <= store.Cols() && resizeCandidate < 0; ++c) {
            const ColumnSpan span = geometry.ColumnExtent(c);
            if (span.Right > span.Left && std::abs(x - span.Right) < 4)
                resizeCandidate = c;
        }
    }
    if (resizeCandidate >= 0)
        setCursor(Qt::SplitHCursor);
    else
        unsetCursor();
}

void ListGrid::ResizeColumnTo(int32_t x)
{
    const int32_t width = x - gesture.ResizingLeft;
    const int32_t column = store.ColPosition(gesture.ResizingColumn);
    if (width < 2 || width == geometry.ColumnWidthPx(column))
        return;
    store.SetColAttribute(column, ColAttr::Width,
        static_cast<float>(PixelsToScale(width, store.Properties().ScaleUnits, twipsPerPixelX)));
    geometry.SetColumnWidthPx(column, width);
    update();
    const int16_t moves = RaiseColumnSizeChanged(gesture.ResizingColumn);
    if (editor->IsOpen())
        editor->Place(moves);
}

// Dragging over the rows selects from the pressed row; above or below the
// grid it scrolls.
void ListGrid::DragSelect(int32_t y, int32_t shift)
{
    if (y < 0) {
        StartAutoScroll(AutoScroll::Up);
        return;
    }
    if (y >= geometry.ClientSize().height()) {
        StartAutoScroll(AutoScroll::Down);
        return;
    }
    if (shift != 0 || mouseRow < 0)
        return;
    if (gesture.Direction != AutoScroll::None) {
        StopAutoScroll();
        return;
    }
    const std::set<int32_t> before = store.SelectedSlots();
    store.ClearSelection();
    store.SelectRange(store.Properties().MultiSelect ? gesture.DownRow : mouseRow, mouseRow);
    store.MoveCurrentCell(mouseRow, mouseCol >= 0 ? mouseCol : store.Col(), false);
    if (store.SelectedSlots() != before) {
        Q_EMIT SelectionChanged();
        update();
    }
}

// One step at once, then one every 25 ms while the direction holds; the
// event loop runs between the steps.
void ListGrid::StartAutoScroll(AutoScroll direction)
{
    if (gesture.Direction == direction)
        return;
    gesture.Direction = direction;
    AutoScrollStep();
    if (gesture.Direction == direction)
        autoScrollTimer.start();
}

void ListGrid::StopAutoScroll()
{
    gesture.Direction = AutoScroll::None;
    autoScrollTimer.stop();
}

void ListGrid::AutoScrollStep()
{
    const int32_t top = geometry.TopRow();
    const bool up = gesture.Direction == AutoScroll::Up;
    if (gesture.Direction == AutoScroll::None || !geometry.SetBarPosition(VerticalBar, up ? top - 1 : top + 1)) {
        StopAutoScroll();
        return;
    }
    ApplyScrollBars();
    const int32_t newTop = geometry.TopRow();
    const int32_t last = store.ItemCount() - 1;
    const int32_t visible = geometry.ItemsVisible();
    bool moved = false;
    if (store.Properties().MultiSelect) {
        store.SelectRange(newTop, up ? newTop : std::min(newTop + visible, last));
    } else {
        const int32_t row = up ? newTop : std::clamp(newTop + visible - 1, 0, last);
        store.ClearSelection();
        store.SelectRange(row, row);
        moved = store.MoveCurrentCell(row, store.Col(), false);
    }
    if (!moved)
        Q_EMIT RowColChanged();
    Q_EMIT SelectionChanged();
    update();
    Q_EMIT Scroll();
}

void ListGrid::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint at = ClientPoint(event->position());
    const int32_t shift = HostCodes::Shift(event->modifiers());
    const bool left = event->button() == Qt::LeftButton;
    const bool doubleClicked = gesture.DoubleClicked;
    if (left) {
        const int32_t col = geometry.ColumnAt(at.x());
        const int32_t row = geometry.RowAt(at.y());
        const bool inHeader = at.y() >= 0 && at.y() < geometry.HeaderHeight();
        if (gesture.DraggedColumn >= 0 && col >= 0) {
            store.SwapColumnPositions(gesture.DraggedColumn, col);
        } else if (gesture.ResizingColumn >= 0) {
            RecomputeScrollBars();
            update();
            unsetCursor();
        } else if (inHeader && gesture.PressedColumn >= 0 && col == gesture.PressedColumn) {
            ReleaseOnHeader(col, (shift & HostCodes::CtrlMask) != 0);
        } else if (gesture.DownRow >= 0 && row >= 0 && col >= 0) {
            ReleaseOnCell(row, col, at);
        }
        if (gesture.DraggedColumn >= 0)
            SetDraggedColumn(-1, 0);
        SetPressedColumn(-1);
        StopAutoScroll();
        gesture = Gesture();
    }
    Q_EMIT MouseUp(HostCodes::Button(event->button()), shift, static_cast<float>(at.x()), static_cast<float>(at.y()));
    if (left && !doubleClicked && rect().contains(event->position().toPoint())) {
        if (geometry.RowAt(at.y()) >= 0 && (store.Properties().EditTrigger & 8) != 0)
            editor->OpenOrCommit();
        Q_EMIT Click();
    }
}

void ListGrid::ReleaseOnHeader(int32_t Col, bool ctrl)
{
    SetPressedColumn(-1);
    if (store.Properties().ColumnSort)
        HeaderClick(Col, ctrl);
    else
        Q_EMIT ColumnClick(Col);
}

void ListGrid::ReleaseOnCell(int32_t Row, int32_t Col, QPoint at)
{
    store.MoveCurrentCell(Row, Col, true);
    if (CellImageHit(Row, Col, at)) {
        Q_EMIT CellImageClick(Row, Col);
    } else if (store.CellAttribute(Row, Col, CellAttr::WordWrap).toBool() && ExpandImageHit(Row, Col, at)) {
        ToggleRowExpansion(Row);
    }
}

// The whole cell, from its column's left edge.
QRect ListGrid::CellBox(int32_t Row, int32_t Col) const
{
    const ColumnSpan span = geometry.ColumnExtent(Col);
    return QRect(span.Left, geometry.RowTop(Row), span.Right - span.Left, store.ItemAt(Row).Height);
}

bool ListGrid::CellImageHit(int32_t Row, int32_t Col, QPoint at) const
{
    const int32_t column = store.ColPosition(Col);
    const int32_t type = store.ColumnAt(column).ColType;
    if (type == ColTypeCheckBox || type == ColTypeProgress || !store.GetImageList())
        return false;
    const QVariant image = store.CellAttribute(Row, Col, CellAttr::Image);
    if (image.typeId() != QMetaType::QString && image.toInt() == 0)
        return false;
    const GridLayout &layout = geometry.Layout();
    return BoxInCell(
        store.ColumnAt(column).ImageAlignment, CellBox(Row, Col), QSize(layout.ImageWidth, layout.ImageHeight))
        .contains(at);
}

bool ListGrid::ExpandImageHit(int32_t Row, int32_t Col, QPoint at) const
{
    const bool set = expandRowImage.typeId() == QMetaType::QString ? !expandRowImage.toString().isEmpty()
                                                                   : expandRowImage.toInt() != 0;
    if (!set || !store.GetImageList())
        return false;
    const GridLayout &layout = geometry.Layout();
    return BoxInCell(store.ColumnAt(store.ColPosition(Col)).ImageAlignment, CellBox(Row, Col),
        QSize(layout.ImageWidth, layout.ImageHeight))
        .contains(at);
}

// An expanded row goes back to the minimum height; a row at the minimum
// grows to fit its texts.
void ListGrid::ToggleRowExpansion(int32_t Row)
{
    if (store.ItemAt(Row).Height != geometry.Layout().MinRowHeight)
        store.ResetRowHeight(Row);
    else
        store.RowCollaps(Row, Row, true);
    RecomputeScrollBars();
    update();
}

void ListGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint at = ClientPoint(event->position());
    gesture.DoubleClicked = true;
    if (!InputIgnored()) {
        mouseCol = geometry.ColumnAt(at.x());
        mouseRow = geometry.RowAt(at.y());
    }
    if (event->button() == Qt::LeftButton && mouseRow >= 0 && (store.Properties().EditTrigger & 16) != 0)
        editor->OpenOrCommit();
    Q_EMIT DblClick();
}

// ---- keyboard -----------------------------------------------------------------

void ListGrid::keyPressEvent(QKeyEvent *event)
{
    const int32_t code = HostCodes::KeyCode(event->key());
    const int32_t shift = HostCodes::Shift(event->modifiers());
    const bool used = code != 0 && KeyDownAction(code, shift);
    if (!used && code != 0)
        Q_EMIT KeyDown(code, shift);
    const QString text = event->text();
    if (text.size() == 1)
        CharacterTyped(text.at(0), used);
    event->accept();
}

void ListGrid::keyReleaseEvent(QKeyEvent *event)
{
    const int32_t code = HostCodes::KeyCode(event->key());
    if (!event->isAutoRepeat() && code != 0)
        Q_EMIT KeyUp(code, HostCodes::Shift(event->modifiers()));
    event->accept();
}

bool ListGrid::KeyDownAction(int32_t KeyCode, int32_t Shift)
{
    using namespace HostCodes;
    const int32_t trigger = store.Properties().EditTrigger;
    if (KeyCode == CodeA && (Shift & CtrlMask) != 0 && store.Properties().MultiSelect) {
        if (store.ItemCount() > 0)
            store.SelectRange(0, store.ItemCount() - 1);
        Q_EMIT SelectionChanged();
        return true;
    }
    const int32_t oldRow = store.Row();
    int32_t newRow = oldRow;
    int32_t newCol = store.Col();
    const std::set<int32_t> selectedBefore = store.SelectedSlots();
    bool used = false;
    switch (KeyCode) {
    case CodeReturn:
        used = (trigger & 2) != 0 && editor->OpenOrCommit();
        break;
    case CodeEscape:
        if ((trigger & 2) != 0)
            editor->Cancel();
        break;
    case CodeF2:
        used = (trigger & 4) != 0 && editor->OpenOrCommit();
        break;
    case CodeSpace:
        used = store.Properties().CheckBoxes && oldRow >= 0;
        if (used)
            ToggleRowCheck(oldRow);
        break;
    case CodeUp:
    case CodeDown:
    case CodePageUp:
    case CodePageDown:
    case CodeLeft:
    case CodeRight:
        used = MoveRowsByKey(KeyCode, Shift, newRow, newCol);
        break;
    case CodeHome:
    case CodeEnd:
        used = JumpByKey(KeyCode, Shift, newRow, newCol);
        break;
    default: {
        // Modifier and lock keys alone, and keys held with Ctrl or Alt, type
        // nothing.
        const bool typing = (KeyCode < 16 || KeyCode > 20) && (Shift & (CtrlMask | AltMask)) == 0;
        if (typing && (trigger & 32) != 0 && !editor->IsOpen())
            used = editor->OpenOrCommit();
    }
    }
    if (!used)
        return false;
    if (newRow != oldRow) {
        const bool grows =
            (KeyCode == CodeUp || KeyCode == CodeDown) && (Shift & ShiftMask) != 0 && store.Properties().MultiSelect;
        const bool ranged =
            (KeyCode == CodeHome || KeyCode == CodeEnd) && (Shift & ShiftMask) != 0 && store.Properties().MultiSelect;
        if (!grows && !ranged)
            store.ClearSelection();
        if (newRow >= 0 && !store.ItemAttribute(newRow, ItemAttr::Selected).toBool())
            store.SelectRange(newRow, newRow);
    }
    if (store.SelectedSlots() != selectedBefore)
        Q_EMIT SelectionChanged();
    if (newRow != oldRow || newCol != store.Col())
        store.MoveCurrentCell(newRow, newCol, true);
    ApplyScrollBars();
    update();
    return true;
}

// Up, Down, Page Up, Page Down end the edit first and move between rows;
// Left and Right move between columns while no edit is open.
bool ListGrid::MoveRowsByKey(int32_t KeyCode, int32_t, int32_t &newRow, int32_t &newCol)
{
    using namespace HostCodes;
    const int32_t last = store.ItemCount() - 1;
    if (KeyCode == CodeLeft || KeyCode == CodeRight) {
        if (editor->IsOpen() || store.Cols() < 0)
            return false;
        newCol = KeyCode == CodeLeft ? std::max(newCol - 1, 0) : std::min(newCol + 1, store.Cols());
        return true;
    }
    if (last < 0)
        return false;
    if (!editor->Commit())
        return true;
    newCol = std::max(newCol, 0);
    const int32_t row = newRow;
    const int32_t page = geometry.ItemsVisible();
    switch (KeyCode) {
    case CodeUp:
        newRow = std::max(row - 1, 0);
        break;
    case CodeDown:
        newRow = std::min(row + 1, last);
        break;
    case CodePageUp:
        if (row > 0) {
            newRow = std::max(row - page, 0);
            geometry.SetBarPosition(VerticalBar, geometry.TopRow() - page);
        }
        break;
    default:
        if (row < last) {
            newRow = std::min(row + page, last);
            geometry.SetBarPosition(VerticalBar, geometry.TopRow() + page);
        }
        break;
    }
    return true;
}

// Home and End: with Shift or Ctrl to the first or last row (Shift selecting
// from the anchor row with MultiSelect), plain to the first or last column.
bool ListGrid::JumpByKey(int32_t KeyCode, int32_t Shift, int32_t &newRow, int32_t &newCol)
{
    using namespace HostCodes;
    const bool home = KeyCode == CodeHome;
    if ((Shift & (ShiftMask | CtrlMask)) != 0) {
        const int32_t last = store.ItemCount() - 1;
        if (last < 0)
            return false;
        if (!editor->Commit())
            return true;
        newRow = home ? 0 : last;
        newCol = std::max(newCol, 0);
        geometry.SetBarPosition(VerticalBar, home ? 0 : geometry.Bar(VerticalBar).Max);
        if ((Shift & ShiftMask) != 0 && store.Properties().MultiSelect) {
            anchorRow = store.Row() >= 0 ? store.Row() : newRow;
            store.ClearSelection();
            store.SelectRange(anchorRow, newRow);
        }
        return true;
    }
    if (editor->IsOpen() || store.Cols() < 0)
        return false;
    newCol = home ? 0 : store.Cols();
    geometry.SetBarPosition(HorizontalBar, home ? 0 : geometry.Bar(HorizontalBar).Max);
    return true;
}

// A character typed on the grid: letters and digits search the search
// column (type-ahead), then the host sees the character.
void ListGrid::CharacterTyped(QChar character, bool keyUsed)
{
    if (!store.Properties().Enabled)
        return;
    const int32_t ascii = character.unicode();
    if ((store.Properties().EditTrigger & 2) != 0 && (ascii == HostCodes::CodeReturn || ascii == HostCodes::CodeEscape))
        return;
    if (!editor->IsOpen() && !keyUsed) {
        using namespace std::chrono;
        const int64_t tick = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
        try {
            // The row found is current even where it cannot reach the top.
            const int32_t row = typeAhead.Type(store, character, tick);
            if (row >= 0)
                ShowAtTop(row, row);
        } catch (const SubscriptError &) {
            // A search column beyond the columns finds nothing.
        }
    }
    RaiseKeyPress(ascii);
}
