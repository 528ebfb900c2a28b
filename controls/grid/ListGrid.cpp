#include "controls/grid/ListGrid.h"

#include "controls/ControlUnits.h"
#include "controls/grid/GridFind.h"
#include "controls/grid/GridPainter.h"
#include "util/Errors.h"
#include "util/Numbers.h"
#include "util/Units.h"

#include <QFontMetrics>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

ListGrid::ListGrid(QWidget *parent)
    : QWidget(parent), ownStore(std::make_unique<GridStore>()), store(*ownStore), geometry(store), sorter(store)
{
    ConnectStore();
}

ListGrid::ListGrid(GridStore &shown, QWidget *parent) : QWidget(parent), store(shown), geometry(store), sorter(store)
{
    ConnectStore();
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
    const bool holdPaint = action == ScrollAction::ThumbTrack && thumbDragging && !store.Properties().ScrollTrack;
    if (!holdPaint)
        update();
    Q_EMIT Scroll();
}

void ListGrid::SetTopRow(int32_t value)
{
    geometry.SetTopRow(value);
    ApplyScrollBars();
    store.SetRow(geometry.TopRow());
    update();
}

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
        bar->setRange(0, std::max(state.Max, state.Position));
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
    if (geometry.ScrollIntoView(Row, Col))
        RecomputeScrollBars();
    ApplyScrollBars();
    Q_EMIT Scroll();
}

void ListGrid::ClearView()
{
    geometry.ResetPositions();
    view = ViewState{view.HotColumn, -1, -1, 0, view.HasFocus};
    ApplyScrollBars();
    forcePaint = true; // emptied rows are shown even while Redraw is off
}

// The height that fits the row's texts: wrapped cells measured in their
// column's width from a top of 2, others as one line.
void ListGrid::FitRowHeight(int32_t Index)
{
    const QFontMetrics metrics(GridPainter::Font(store.Properties()));
    const ItemRecord &item = store.ItemAt(Index);
    int32_t tallest = 0;
    for (size_t c = 0; c < item.Cells.size(); ++c) {
        const CellRecord &cell = item.Cells[c];
        const int32_t width = geometry.ColumnWidthPx(static_cast<int32_t>(c));
        int32_t height = metrics.height();
        if ((cell.Flags & CellFlagWordWrap) != 0 && store.ColType(static_cast<int32_t>(c)) != ColTypeProgress)
            height = 2 + metrics.boundingRect(QRect(0, 0, std::max(width, 1), 1 << 20), Qt::TextWordWrap, cell.Text).height();
        tallest = std::max(tallest, height);
    }
    store.SetFittedRowHeight(Index, tallest);
}

// ---- sorting and finding ------------------------------------------------------

void ListGrid::HeaderClick(int32_t Col, bool ctrl)
{
    if (store.Properties().ColumnSort)
        sorter.HeaderClick(Col, ctrl);
}

int32_t ListGrid::FindItem(const QString &SearchText, int32_t SearchColumn, int32_t SearchMode, bool MatchCase) const
{
    return ::FindItem(store, SearchText, SearchColumn, SearchMode, MatchCase);
}

// ---- painting -----------------------------------------------------------------

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
    GridPainter(*this).Paint(p);
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
    const int delta = event->angleDelta().y();
    if (delta != 0)
        ScrollBy(VerticalBar, delta > 0 ? ScrollAction::LineUp : ScrollAction::LineDown);
    event->accept();
}

void ListGrid::focusInEvent(QFocusEvent *event)
{
    view.HasFocus = true;
    update();
    QWidget::focusInEvent(event);
}

void ListGrid::focusOutEvent(QFocusEvent *event)
{
    view.HasFocus = false;
    update();
    QWidget::focusOutEvent(event);
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
    columnViews.assign(static_cast<size_t>(store.Cols()) + 1, ColumnView());
    geometry.ResizeColumns(store.Cols() + 1);
    for (int32_t i = 0; i <= store.Cols(); ++i)
        TakeColumnWidth(i);
}

void ListGrid::ResetColumnView(int32_t Index)
{
    columnViews.resize(static_cast<size_t>(store.Cols()) + 1);
    geometry.ResizeColumns(store.Cols() + 1);
    MutableColumnView(Index) = ColumnView();
    TakeColumnWidth(Index);
}

void ListGrid::TakeColumnWidth(int32_t Index)
{
    const double pixels = ScaleToPixels(store.ColWidth(Index), store.ScaleUnits(), twipsPerPixelX);
    MutableColumnView(Index); // the index must name a column
    geometry.SetColumnWidthPx(Index, RoundToLong(pixels));
}

ListGrid::ColumnView &ListGrid::MutableColumnView(int32_t Index)
{
    if (Index < 0 || Index >= static_cast<int32_t>(columnViews.size()))
        throw SubscriptError();
    return columnViews[static_cast<size_t>(Index)];
}

const ListGrid::ColumnView &ListGrid::ColumnViewAt(int32_t Index) const
{
    return const_cast<ListGrid *>(this)->MutableColumnView(Index);
}

void ListGrid::BindControl(int32_t Col, QWidget *Ctrl, int32_t MoveControl)
{
    const int16_t moves = ToInteger(MoveControl);
    ColumnView &column = MutableColumnView(Col);
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
    ColumnView &column = MutableColumnView(store.ColPosition(Col));
    ColumnSizeChangedArgs args{Col, column.MoveControl};
    Q_EMIT ColumnSizeChanged(&args);
    column.MoveControl = args.MoveControl;
    return args.MoveControl;
}
