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
    : QWidget(parent),
      ownStore(std::make_unique<GridStore>()),
      store(*ownStore),
      geometry(store),
      sorter(store)
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
        case QAbstractSlider::SliderSingleStepSub:
            ScrollBy(which, ScrollAction::LineUp);
            break;
        case QAbstractSlider::SliderSingleStepAdd:
            ScrollBy(which, ScrollAction::LineDown);
            break;
        case QAbstractSlider::SliderPageStepSub:
            ScrollBy(which, ScrollAction::PageUp);
            break;
        case QAbstractSlider::SliderPageStepAdd:
            ScrollBy(which, ScrollAction::PageDown);
            break;
        case QAbstractSlider::SliderToMinimum:
            ScrollBy(which, ScrollAction::Top);
            break;
        case QAbstractSlider::SliderToMaximum:
            ScrollBy(which, ScrollAction::Bottom);
            break;
        case QAbstractSlider::SliderMove:
            thumbDragging = bar->isSliderDown();
            ScrollBy(which, ScrollAction::ThumbTrack, bar->sliderPosition());
            break;
        default:
            break;
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
    bars[VerticalBar]->setGeometry(
        inside.right() + 1 - across, inside.top(), across, inside.height() - (both ? down : 0));
    bars[HorizontalBar]->setGeometry(
        inside.left(), inside.bottom() + 1 - down, inside.width() - (both ? across : 0), down);
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
            height =
                2 + metrics.boundingRect(QRect(0, 0, std::max(width, 1), 1 << 20), Qt::TextWordWrap, text).height();
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
