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

ListGrid::ListGrid(QWidget *parent)
    : QWidget(parent), ownStore(std::make_unique<GridStore>()), store(*ownStore), geometry(store), sorter(store)
{
    ConnectStore();
}

ListGrid::ListGrid(GridStore &shown, QWidget *parent) : QWidget(parent), store(shown), geometry(store), sorter(store)
{
    ConnectStore();
}

// The editor goes first: its watch on the edit box must not outlive the grid.
ListGrid::~ListGrid()
{
    delete editor;
}

void ListGrid::ConnectStore()
{
    twipsPerPixelX = TwipsPerPixelX(this);
    store.SetTwipsPerPixel(TwipsPerPixelY(this));

    connect(&store, &GridStore::ItemCountChanged, this, &ListGrid::ItemCountChanged);
    connect(&store, &GridStore::RowColChanged, this, &ListGrid::RowColChanged);
    connect(&store, &GridStore::SelectionChanged, this, &ListGrid::SelectionChanged);
    connect(&store, &GridStore::CustomSort, this, &ListGrid::CustomSort);
    connect(&store, &GridStore::SortComplete, this, &ListGrid::SortComplete);
    connect(&store, &GridStore::PropertyChanged, this, &ListGrid::PropertyChanged);
    connect(&store, &GridStore::PropertyChanged, this, [this](const QString &name) {
        if (name == QLatin1String("HotHeaderTracking") && !store.Properties().HotHeaderTracking)
            SetHotColumn(-1);
    });

    connect(&store, &GridStore::ColumnsReset, this, &ListGrid::ResetColumnViews);
    connect(&store, &GridStore::ColumnAdded, this, &ListGrid::ResetColumnView);
    connect(&store, &GridStore::ColumnWidthChanged, this, &ListGrid::TakeColumnWidth);
    connect(&store, &GridStore::RepaintRequested, this, qOverload<>(&QWidget::update));
    connect(&store, &GridStore::LayoutRequested, this, &ListGrid::ComputeLayout);
    connect(&store, &GridStore::ScrollBarsRequested, this, &ListGrid::RecomputeScrollBars);
    connect(&store, &GridStore::ScrollIntoViewRequested, this, &ListGrid::ScrollIntoView);
    connect(&store, &GridStore::RowFitRequested, this, &ListGrid::FitRowHeight);
    connect(&store, &GridStore::Cleared, this, &ListGrid::ClearView);

    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    editor = new GridCellEditor(View(), *this);
    autoScrollTimer.setInterval(25);
    connect(&autoScrollTimer, &QTimer::timeout, this, &ListGrid::AutoScrollStep);
    CreateScrollBars();
    ResetColumnViews();
    ComputeLayout();
}

// ---- scroll bars --------------------------------------------------------------

void ListGrid::CreateScrollBars()
{
    bars[HorizontalBar] = new QScrollBar(Qt::Horizontal, this);
    bars[VerticalBar] = new QScrollBar(Qt::Vertical, this);
    for (ScrollBarIndex which : {HorizontalBar, VerticalBar}) {
        QScrollBar *bar = bars[which];
        bar->setRange(0, 0);
        bar->setPageStep(5);
        bar->setSingleStep(1);
        bar->setFocusPolicy(Qt::NoFocus);
        bar->hide();
        bar->installEventFilter(this);
        ConnectScrollBar(bar, which);
    }
    geometry.SetLive(true);
}

// The bar's own moves are replaced by the grid's: every action goes through
// ScrollBy, which sets the bar back to the grid's position.
void ListGrid::ConnectScrollBar(QScrollBar *bar, ScrollBarIndex which)
{
    connect(bar, &QAbstractSlider::actionTriggered, this, [this, bar, which](int action) {
        switch (action) {
        case QAbstractSlider::SliderSingleStepSub: ScrollBy(which, ScrollAction::LineUp); break;
        case QAbstractSlider::SliderSingleStepAdd: ScrollBy(which, ScrollAction::LineDown); break;
        case QAbstractSlider::SliderPageStepSub: ScrollBy(which, ScrollAction::PageUp); break;
        case QAbstractSlider::SliderPageStepAdd: ScrollBy(which, ScrollAction::PageDown); break;
        case QAbstractSlider::SliderToMinimum: ScrollBy(which, ScrollAction::Top); break;
        case QAbstractSlider::SliderToMaximum: ScrollBy(which, ScrollAction::Bottom); break;
        case QAbstractSlider::SliderMove:
            thumbDragging = bar->isSliderDown();
            ScrollBy(which, ScrollAction::ThumbTrack, bar->sliderPosition());
            break;
        default: break;
        }
        bar->setSliderPosition(geometry.Bar(which).Position);
    });
    connect(bar, &QAbstractSlider::sliderReleased, this, [this, which] {
        thumbDragging = false;
        ScrollBy(which, ScrollAction::EndScroll);
    });
}

void ListGrid::ScrollBy(ScrollBarIndex which, ScrollAction action, int32_t track)
{
    const ScrollBarState &bar = geometry.Bar(which);
    if ((action == ScrollAction::LineUp || action == ScrollAction::LineDown) && !bar.Shown)
        return;
    if (action == ScrollAction::EndScroll && !store.Properties().ScrollTrack) {
        update();
        return;
    }
    if (!geometry.SetBarPosition(which, geometry.ActionTarget(which, action, track)))
        return;
    ApplyScrollBars();
    ScrollEndsEdit();
    const bool holdPaint = action == ScrollAction::ThumbTrack && thumbDragging && !store.Properties().ScrollTrack;
    if (!holdPaint)
        update();
    Q_EMIT Scroll();
}

// The edit box does not travel with its cell: scrolling commits the edit, and
// an edit the host keeps open follows its cell.
void ListGrid::ScrollEndsEdit()
{
    if (editor->IsOpen() && !editor->Commit())
        editor->Place();
}

// The row asked for becomes current; past the vertical maximum the top row
// does. A list that does not scroll has the last row as its maximum, so it
// moves to the row without scrolling.
void ListGrid::SetTopRow(int32_t value)
{
    RecomputeScrollBars();
    ShowAtTop(value, std::min(value, geometry.Bar(VerticalBar).Max));
}

// Row goes to the top as far as the rows scroll, and current becomes the
// current row: one RowColChanged at most.
void ListGrid::ShowAtTop(int32_t Row, int32_t current)
{
    geometry.SetTopRow(Row);
    ApplyScrollBars();
    if (store.ItemCount() > 0)
        store.SetRow(std::clamp(current, 0, store.ItemCount() - 1));
    update();
}

// Also run before the grid scrolls to a row: rows added while Redraw was off
// are not in the ranges yet.
void ListGrid::RecomputeScrollBars()
{
    // Showing one bar narrows the room of the other: a second pass settles it.
    for (int pass = 0; pass < 2; ++pass) {
        geometry.SetClientSize(ClientRect().size());
        geometry.RecomputeScrollBars();
        const bool settled = geometry.Bar(HorizontalBar).Shown == bars[HorizontalBar]->isVisibleTo(this) &&
                             geometry.Bar(VerticalBar).Shown == bars[VerticalBar]->isVisibleTo(this);
        ApplyScrollBars();
        if (settled)
            break;
    }
    geometry.SetClientSize(ClientRect().size());
}

void ListGrid::ApplyScrollBars()
{
    for (ScrollBarIndex which : {HorizontalBar, VerticalBar}) {
        const ScrollBarState &state = geometry.Bar(which);
        QScrollBar *bar = bars[which];
        const QSignalBlocker quiet(bar);
        bar->setRange(0, std::max(state.Max, 0));
        bar->setPageStep(state.PageSize);
        bar->setSingleStep(state.LineStep);
        bar->setValue(state.Position);
        bar->setVisible(state.Shown);
    }
    PlaceScrollBars();
}

QRect ListGrid::ClientRect() const
{
    const int32_t border = geometry.BorderWidth();
    QRect client = rect().adjusted(border, border, -border, -border);
    if (bars[VerticalBar] && bars[VerticalBar]->isVisibleTo(this))
        client.setRight(client.right() - bars[VerticalBar]->sizeHint().width());
    if (bars[HorizontalBar] && bars[HorizontalBar]->isVisibleTo(this))
        client.setBottom(client.bottom() - bars[HorizontalBar]->sizeHint().height());
    return client;
}

void ListGrid::PlaceScrollBars()
{
    const int32_t border = geometry.BorderWidth();
    const QRect inside = rect().adjusted(border, border, -border, -border);
    const int32_t across = bars[VerticalBar]->sizeHint().width();
    const int32_t down = bars[HorizontalBar]->sizeHint().height();
    const bool both = bars[VerticalBar]->isVisibleTo(this) && bars[HorizontalBar]->isVisibleTo(this);
    bars[VerticalBar]->setGeometry(inside.right() + 1 - across, inside.top(), across,
                                   inside.height() - (both ? down : 0));
    bars[HorizontalBar]->setGeometry(inside.left(), inside.bottom() + 1 - down, inside.width() - (both ? across : 0),
                                     down);
}

// ---- layout -------------------------------------------------------------------

void ListGrid::ComputeLayout()
{
    const QFont font = GridPainter::Font(store.Properties());
    geometry.SetTextHeight(QFontMetrics(font).height());
    geometry.SetClientSize(ClientRect().size());
    geometry.ComputeLayout();
    forcePaint = true;
}

void ListGrid::ScrollIntoView(int32_t Row, int32_t Col)
{
    RecomputeScrollBars();
    if (geometry.ScrollIntoView(Row, Col))
        RecomputeScrollBars();
    ApplyScrollBars();
    Q_EMIT Scroll();
}

void ListGrid::ClearView()
{
    geometry.ResetPositions();
    view = GridViewState{view.HotColumn, -1, -1, 0, view.HasFocus};
    ApplyScrollBars();
    forcePaint = true; // emptied rows are shown even while Redraw is off
}

// The height that fits the row's texts: wrapped cells measured in their
// column's width from a top of 2, others as one line.
void ListGrid::FitRowHeight(int32_t Index)
{
    const QFontMetrics metrics(GridPainter::Font(store.Properties()));
    int32_t tallest = 0;
    for (int32_t c = 0; const CellRecord *cell = store.CellIn(Index, c); ++c) {
        const int32_t width = geometry.ColumnWidthPx(c);
        int32_t height = metrics.height();
        if ((cell->Flags & CellFlagWordWrap) != 0 && store.ColumnAt(c).ColType != ColTypeProgress) {
            const QString text = store.CellTextIn(Index, c);
            height = 2 + metrics.boundingRect(QRect(0, 0, std::max(width, 1), 1 << 20), Qt::TextWordWrap, text).height();
        }
        tallest = std::max(tallest, height);
    }
    store.SetFittedRowHeight(Index, tallest);
}

// ---- sorting and finding ------------------------------------------------------

void ListGrid::Sort(int32_t SortColumn, int32_t SortType, int32_t SubSort, int32_t SubSortType)
{
    if (editor->Commit())
        sorter.Sort(SortColumn, SortType, SubSort, SubSortType);
}

void ListGrid::HeaderClick(int32_t Col, bool ctrl)
{
    if (store.Properties().ColumnSort && editor->Commit())
        sorter.HeaderClick(Col, ctrl);
}

int32_t ListGrid::FindItem(const QString &SearchText, int32_t SearchColumn, int32_t SearchMode, bool MatchCase) const
{
    return ::FindItem(store, SearchText, SearchColumn, SearchMode, MatchCase);
}

// ---- painting -----------------------------------------------------------------

GridView ListGrid::View()
{
    return GridView{*this, store, geometry, sorter, pictures, view};
}

void ListGrid::RaiseCellUpdated(int32_t Row, int32_t Col)
{
    Q_EMIT CellUpdated(Row, Col);
}

void ListGrid::SetPictures(const DrawnImages *shown)
{
    pictures = shown;
    update();
}

void ListGrid::SetHotColumn(int32_t Col)
{
    if (view.HotColumn != Col) {
        view.HotColumn = Col;
        update();
    }
}

void ListGrid::SetPressedColumn(int32_t Col)
{
    if (view.PressedColumn != Col) {
        view.PressedColumn = Col;
        update();
    }
}

void ListGrid::SetDraggedColumn(int32_t Col, int32_t Left)
{
    view.DraggedColumn = Col;
    view.DraggedLeft = Left;
    update();
}

void ListGrid::paintEvent(QPaintEvent *)
{
    if (!store.Redraw() && !forcePaint) {
        store.NoteSkippedPaint();
        return;
    }
    forcePaint = false;
    QPainter p(this);
    const QRect client = ClientRect();
    p.save();
    p.setClipRect(client);
    p.translate(client.topLeft());
    GridPainter(View()).Paint(p);
    p.restore();
    p.setClipping(false);
    const int32_t border = geometry.BorderWidth();
    const QRect outer = rect();
    const QColor face = palette().color(QPalette::Window);
    p.fillRect(QRect(client.right() + 1, 0, outer.width(), outer.height()), face);
    p.fillRect(QRect(0, client.bottom() + 1, outer.width(), outer.height()), face);
    if (border > 0) {
        // A sunken edge, as a list control has: dark above and left, light
        // below and right, two pixels deep.
        const auto frame = [&p](const QRect &r, const QColor &topLeft, const QColor &bottomRight) {
            p.fillRect(r.left(), r.top(), r.width(), 1, topLeft);
            p.fillRect(r.left(), r.top(), 1, r.height(), topLeft);
            p.fillRect(r.left(), r.bottom(), r.width(), 1, bottomRight);
            p.fillRect(r.right(), r.top(), 1, r.height(), bottomRight);
        };
        frame(outer, palette().color(QPalette::Dark), palette().color(QPalette::Light));
        frame(outer.adjusted(1, 1, -1, -1), palette().color(QPalette::Shadow), palette().color(QPalette::Midlight));
    }
}

// A size change only refreshes the surface; the host re-lays the grid out
// through RefreshView.
void ListGrid::resizeEvent(QResizeEvent *)
{
    store.SetControlWidth(static_cast<float>(width() * twipsPerPixelX));
    PlaceScrollBars();
    geometry.SetClientSize(ClientRect().size());
    update();
}

void ListGrid::wheelEvent(QWheelEvent *event)
{
    Wheel(event);
}

// The scroll bars are part of the grid: the wheel over them is the grid's,
// not the bar's own (three lines, or a page with Ctrl).
bool ListGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel && (watched == bars[HorizontalBar] || watched == bars[VerticalBar])) {
        Wheel(static_cast<QWheelEvent *>(event));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// One line per wheel event whatever its size; Ctrl turns the columns.
void ListGrid::Wheel(QWheelEvent *event)
{
    const QPoint angle = event->angleDelta();
    const int delta = angle.y() != 0 ? angle.y() : angle.x();
    const ScrollBarIndex which = event->modifiers().testFlag(Qt::ControlModifier) ? HorizontalBar : VerticalBar;
    ScrollBy(which, delta < 0 ? ScrollAction::LineDown : ScrollAction::LineUp);
    event->accept();
}

void ListGrid::focusInEvent(QFocusEvent *event)
{
    if (isEnabled() && !view.HasFocus) {
        view.HasFocus = true;
        update();
    }
    QWidget::focusInEvent(event);
}

void ListGrid::focusOutEvent(QFocusEvent *event)
{
    if (isEnabled() && view.HasFocus) {
        view.HasFocus = false;
        update();
    }
    QWidget::focusOutEvent(event);
}

// One MouseEnter and one MouseLeave per visit: moving onto the grid's own
// scroll bars or edit box is still a visit of the grid.
void ListGrid::enterEvent(QEnterEvent *event)
{
    if (!tracking) {
        tracking = true;
        Q_EMIT MouseEnter();
    }
    QWidget::enterEvent(event);
}

void ListGrid::leaveEvent(QEvent *event)
{
    if (tracking) {
        tracking = false;
        SetHotColumn(-1);
        Q_EMIT MouseLeave();
    }
    QWidget::leaveEvent(event);
}

void ListGrid::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::StyleChange) {
        update();
        Q_EMIT ThemeChanged();
    }
    QWidget::changeEvent(event);
}

// ---- columns ----------------------------------------------------------------

void ListGrid::ResetColumnViews()
{
    columnViews.assign(static_cast<size_t>(store.Cols()) + 1, GridColumnView());
    geometry.ResizeColumns(store.Cols() + 1);
    for (int32_t i = 0; i <= store.Cols(); ++i)
        TakeColumnWidth(i);
}

void ListGrid::ResetColumnView(int32_t Index)
{
    columnViews.resize(static_cast<size_t>(store.Cols()) + 1);
    geometry.ResizeColumns(store.Cols() + 1);
    MutableColumnView(Index) = GridColumnView();
    TakeColumnWidth(Index);
}

void ListGrid::TakeColumnWidth(int32_t Index)
{
    const double pixels = ScaleToPixels(store.ColumnAt(Index).Width, store.Properties().ScaleUnits, twipsPerPixelX);
    MutableColumnView(Index); // the index must name a column
    geometry.SetColumnWidthPx(Index, RoundToLong(pixels));
}

GridColumnView &ListGrid::MutableColumnView(int32_t Index)
{
    if (Index < 0 || Index >= static_cast<int32_t>(columnViews.size()))
        throw SubscriptError();
    return columnViews[static_cast<size_t>(Index)];
}

const GridColumnView &ListGrid::ColumnViewAt(int32_t Index) const
{
    return const_cast<ListGrid *>(this)->MutableColumnView(Index);
}

void ListGrid::BindControl(int32_t Col, QWidget *Ctrl, int32_t MoveControl)
{
    const int16_t moves = ToInteger(MoveControl);
    GridColumnView &column = MutableColumnView(Col);
    column.BoundControl = Ctrl;
    column.MoveControl = moves;
}

// ---- events the host answers ------------------------------------------------

bool ListGrid::RaiseRequestEdit(int32_t Row, int32_t Col)
{
    RequestEditArgs args{Row, Col};
    Q_EMIT RequestEdit(&args);
    return !args.Cancel;
}

bool ListGrid::RaiseRequestUpdate(int32_t Row, int32_t Col, QVariant &NewValue)
{
    RequestUpdateArgs args{Row, Col, NewValue};
    Q_EMIT RequestUpdate(&args);
    NewValue = args.NewValue;
    return !args.Cancel;
}

int32_t ListGrid::RaiseKeyPress(int32_t KeyAscii)
{
    KeyPressArgs args{KeyAscii};
    Q_EMIT KeyPress(&args);
    return args.KeyAscii;
}

int32_t ListGrid::RaiseEditKeyPress(int32_t Col, int32_t KeyAscii)
{
    EditKeyPressArgs args{Col, KeyAscii};
    Q_EMIT EditKeyPress(&args);
    return args.KeyAscii;
}

int32_t ListGrid::RaiseItemChecked(int32_t Row)
{
    ItemCheckedArgs args{Row};
    Q_EMIT ItemCheckedEvent(&args);
    return args.Row;
}

int16_t ListGrid::RaiseColumnSizeChanged(int32_t Col)
{
    GridColumnView &column = MutableColumnView(store.ColPosition(Col));
    ColumnSizeChangedArgs args{Col, column.MoveControl};
    Q_EMIT ColumnSizeChanged(&args);
    column.MoveControl = args.MoveControl;
    return args.MoveControl;
}

// ---- editing ----------------------------------------------------------------

void ListGrid::EditCell(int32_t Row, int32_t Col)
{
    editor->EditCell(Row, Col);
}

bool ListGrid::Editing() const
{
    return editor->IsOpen();
}

bool ListGrid::EndEdit()
{
    return editor->Commit();
}

void ListGrid::SetExpandRowImage(const QVariant &value)
{
    expandRowImage = value;
    update();
}

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
    Q_EMIT MouseDown(HostCodes::Button(event->button()), shift, static_cast<float>(at.x()),
                     static_cast<float>(at.y()));
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
            SetDraggedColumn(gesture.DraggedColumn, geometry.ColumnExtent(gesture.DraggedColumn).Left + at.x() - gesture.DownX);
        }
    }
    Q_EMIT MouseMove(HostCodes::Buttons(event->buttons()), shift, static_cast<float>(at.x()), static_cast<float>(at.y()));
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
    store.SetColAttribute(column, ColAttr::Width, static_cast<float>(PixelsToScale(width, store.Properties().ScaleUnits, twipsPerPixelX)));
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
    return BoxInCell(store.ColumnAt(column).ImageAlignment, CellBox(Row, Col), QSize(layout.ImageWidth, layout.ImageHeight))
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
    case CodeReturn: used = (trigger & 2) != 0 && editor->OpenOrCommit(); break;
    case CodeEscape:
        if ((trigger & 2) != 0)
            editor->Cancel();
        break;
    case CodeF2: used = (trigger & 4) != 0 && editor->OpenOrCommit(); break;
    case CodeSpace:
        used = store.Properties().CheckBoxes && oldRow >= 0;
        if (used)
            ToggleRowCheck(oldRow);
        break;
    case CodeUp: case CodeDown: case CodePageUp: case CodePageDown: case CodeLeft: case CodeRight:
        used = MoveRowsByKey(KeyCode, Shift, newRow, newCol);
        break;
    case CodeHome: case CodeEnd: used = JumpByKey(KeyCode, Shift, newRow, newCol); break;
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
        const bool grows = (KeyCode == CodeUp || KeyCode == CodeDown) && (Shift & ShiftMask) != 0 && store.Properties().MultiSelect;
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
    case CodeUp: newRow = std::max(row - 1, 0); break;
    case CodeDown: newRow = std::min(row + 1, last); break;
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
