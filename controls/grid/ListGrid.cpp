#include "controls/grid/ListGrid.h"

#include "controls/ControlUnits.h"
#include "util/Errors.h"
#include "util/Numbers.h"
#include "util/Units.h"

ListGrid::ListGrid(QWidget *parent) : QWidget(parent), ownStore(std::make_unique<GridStore>()), store(*ownStore)
{
    ConnectStore();
}

ListGrid::ListGrid(GridStore &shown, QWidget *parent) : QWidget(parent), store(shown)
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

    connect(&store, &GridStore::ColumnsReset, this, &ListGrid::ResetColumnViews);
    connect(&store, &GridStore::ColumnAdded, this, &ListGrid::ResetColumnView);
    connect(&store, &GridStore::ColumnWidthChanged, this, &ListGrid::TakeColumnWidth);
    connect(&store, &GridStore::RepaintRequested, this, qOverload<>(&QWidget::update));

    ResetColumnViews();
}

// ---- columns ----------------------------------------------------------------

void ListGrid::ResetColumnViews()
{
    columnViews.assign(static_cast<size_t>(store.Cols()) + 1, ColumnView());
    for (int32_t i = 0; i <= store.Cols(); ++i)
        TakeColumnWidth(i);
}

void ListGrid::ResetColumnView(int32_t Index)
{
    columnViews.resize(static_cast<size_t>(store.Cols()) + 1);
    MutableColumnView(Index) = ColumnView();
    TakeColumnWidth(Index);
}

void ListGrid::TakeColumnWidth(int32_t Index)
{
    const double pixels = ScaleToPixels(store.ColWidth(Index), store.ScaleUnits(), twipsPerPixelX);
    MutableColumnView(Index).WidthPx = RoundToLong(pixels);
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
