#include "controls/grid/GridStore.h"

#include "controls/grid/ImageList.h"
#include "platform/Allocator.h"
#include "util/Errors.h"
#include "util/Numbers.h"
#include "util/Units.h"

#include <algorithm>
#include <cmath>

namespace {

bool IsNumericVariant(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    case QMetaType::QString: {
        bool ok = false;
        value.toString().toDouble(&ok);
        return ok;
    }
    default:
        return false;
    }
}

int32_t VariantToLong(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? -1 : 0;
    if (!IsNumericVariant(value))
        throw TypeMismatchError();
    return RoundToLong(value.toDouble());
}

// A colour is a 32-bit pattern: a system colour has the high bit set, so
// both a signed Long and an unsigned value up to FFFFFFFF are accepted.
OleColour VariantToColour(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool || !IsNumericVariant(value))
        return static_cast<OleColour>(VariantToLong(value));
    const double number = std::nearbyint(value.toDouble());
    if (!(number >= -2147483648.0 && number <= 4294967295.0))
        throw OverflowError();
    return static_cast<OleColour>(static_cast<int64_t>(number));
}

bool VariantToBoolean(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed();
        if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            return false;
    }
    if (!IsNumericVariant(value))
        throw TypeMismatchError();
    return value.toDouble() != 0;
}

QString DefaultInputFilter(int32_t datatype)
{
    if (datatype == ColTypeNumber)
        return QStringLiteral("1234567890.,-");
    if (datatype == ColTypeDate)
        return QStringLiteral("1234567890./-");
    return QString();
}

} // namespace

GridStore::GridStore(QObject *parent) : QObject(parent)
{
    ResetColumns(0);
    Clear();
}

// ---- view requests ----------------------------------------------------------

void GridStore::RequestRepaint()
{
    if (props.Redraw)
        Q_EMIT RepaintRequested();
    else
        RedrawPending = true;
}

void GridStore::RequestFullRefresh()
{
    if (props.Redraw) {
        RequestUnconditionalRefresh();
    } else {
        RedrawPending = true;
        LayoutPending = true;
    }
}

void GridStore::RequestUnconditionalRefresh()
{
    Q_EMIT LayoutRequested();
    Q_EMIT ScrollBarsRequested();
    Q_EMIT RepaintRequested();
}

void GridStore::RefreshView()
{
    RequestUnconditionalRefresh();
}

bool GridStore::Redraw() const
{
    return props.Redraw;
}

void GridStore::SetRedraw(bool value)
{
    props.Redraw = value;
    if (!value) {
        RedrawPending = false;
        LayoutPending = false;
    } else {
        const bool layout = LayoutPending;
        const bool redraw = RedrawPending;
        RedrawPending = false;
        LayoutPending = false;
        if (layout)
            Q_EMIT ScrollBarsRequested();
        if (redraw) {
            Q_EMIT LayoutRequested();
            Q_EMIT RepaintRequested();
        }
    }
    Q_EMIT PropertyChanged(QStringLiteral("Redraw"));
}

// ---- bounds -----------------------------------------------------------------

void GridStore::CheckPosition(int32_t Index) const
{
    if (Index < 0 || Index > LastIndex)
        throw SubscriptError();
}

void GridStore::CheckColumnIndex(int32_t Index) const
{
    if (Index < 0 || Index >= static_cast<int32_t>(columns.size()))
        throw SubscriptError();
}

void GridStore::CheckColumnPosition(int32_t Col) const
{
    if (Col < 0 || Col >= static_cast<int32_t>(columnOrder.size()))
        throw SubscriptError();
}

ItemRecord &GridStore::ItemAtPosition(int32_t Index)
{
    CheckPosition(Index);
    return items[itemOrder[Index]];
}

const ItemRecord &GridStore::ItemAtPosition(int32_t Index) const
{
    CheckPosition(Index);
    return items[itemOrder[Index]];
}

const ItemRecord &GridStore::ItemAt(int32_t Index) const
{
    return ItemAtPosition(Index);
}

const CellRecord *GridStore::CellIn(int32_t Index, int32_t column) const
{
    CheckPosition(Index);
    if (column < 0 || size_t(column) >= cellStride)
        return nullptr;
    const CellRecord &cell = cells[size_t(itemOrder[Index]) * cellStride + size_t(column)];
    return cell.FormatIndex == CellRecord::NoCell ? nullptr : &cell;
}

const CompactText &GridStore::CellTextIn(int32_t Index, int32_t column) const
{
    static const CompactText none;
    return CellIn(Index, column) ? cellTexts[size_t(itemOrder[Index]) * cellStride + size_t(column)] : none;
}

int32_t GridStore::ColSortOrder(int32_t Index) const
{
    return Column(Index).SortOrder;
}

void GridStore::SetColSortOrder(int32_t Index, int32_t value)
{
    Column(Index).SortOrder = value;
}

std::vector<int32_t> GridStore::ItemOrder() const
{
    return std::vector<int32_t>(itemOrder.begin(), itemOrder.begin() + (LastIndex + 1));
}

void GridStore::ReorderItems(const std::vector<int32_t> &order)
{
    if (order.size() != static_cast<size_t>(LastIndex + 1))
        throw SubscriptError();
    std::vector<bool> seen(order.size(), false);
    for (const int32_t slot : order) {
        if (slot < 0 || slot > LastIndex || seen[static_cast<size_t>(slot)])
            throw SubscriptError();
        seen[static_cast<size_t>(slot)] = true;
    }
    const int32_t currentSlot = currentRow >= 0 ? itemOrder[currentRow] : -1;
    std::copy(order.begin(), order.end(), itemOrder.begin());
    if (currentSlot >= 0)
        currentRow = static_cast<int32_t>(std::find(order.begin(), order.end(), currentSlot) - order.begin());
    Q_EMIT RepaintRequested();
}

size_t GridStore::CellIndexIn(int32_t slot, int32_t column) const
{
    if (column < 0 || size_t(column) >= cellStride)
        throw SubscriptError();
    const size_t index = size_t(slot) * cellStride + size_t(column);
    if (cells[index].FormatIndex == CellRecord::NoCell)
        throw SubscriptError();
    return index;
}

size_t GridStore::CellIndex(int32_t Row, int32_t Col) const
{
    CheckPosition(Row);
    CheckColumnPosition(Col);
    return CellIndexIn(itemOrder[Row], columnOrder[Col]);
}

CellRecord &GridStore::CellAt(int32_t Row, int32_t Col)
{
    return cells[CellIndex(Row, Col)];
}

const CellRecord &GridStore::CellAt(int32_t Row, int32_t Col) const
{
    return cells[CellIndex(Row, Col)];
}

ColumnRecord &GridStore::Column(int32_t Index)
{
    CheckColumnIndex(Index);
    return columns[Index];
}

const ColumnRecord &GridStore::Column(int32_t Index) const
{
    CheckColumnIndex(Index);
    return columns[Index];
}

// ---- units ------------------------------------------------------------------

int32_t GridStore::ToPixels(double length) const
{
    return RoundToLong(ScaleToPixels(length, props.ScaleUnits, twipsPerPixel, true));
}

int32_t GridStore::MinimumRowHeightPixels() const
{
    if (props.RowHeightMin < 1)
        return 16;
    return ToPixels(props.RowHeightMin);
}

void GridStore::SetTwipsPerPixel(double value)
{
    if (value > 0)
        twipsPerPixel = value;
}

// ---- rows -------------------------------------------------------------------

int32_t GridStore::AddItem(const QString &item, int32_t Index, bool Checked)
{
    ++LastIndex;
    if (LastIndex >= static_cast<int32_t>(items.size()))
        ResizeSlots(static_cast<size_t>(LastIndex) + props.CacheIncrement + 1);

    int32_t position = LastIndex;
    if (Index > 0 && Index < LastIndex) {
        for (int32_t p = LastIndex; p > Index; --p)
            itemOrder[p] = itemOrder[p - 1];
        position = Index;
    }
    itemOrder[position] = LastIndex;

    InitialiseItem(LastIndex, item, Checked);
    RequestFullRefresh();
    Q_EMIT ItemCountChanged();
    return position;
}

// count empty rows after the last in one step, as a loaded list adds them:
// room is made once, and a list of a million jobs raises one signal.
void GridStore::AddItems(int32_t count)
{
    if (count <= 0)
        return;
    const size_t slots = size_t(LastIndex + count) + size_t(props.CacheIncrement) + 1;
    if (slots > items.size()) {
        ReserveSlots(slots);
        ResizeSlots(slots);
    }
    const int16_t format = DefaultFormat();
    const int32_t height = MinimumRowHeightPixels();
    for (int32_t k = 0; k < count; ++k) {
        ++LastIndex;
        itemOrder[LastIndex] = LastIndex;
        ResetSlot(LastIndex, format, height);
    }
    RequestFullRefresh();
    Q_EMIT ItemCountChanged();
}

void GridStore::ReserveSlots(size_t slots)
{
    items.reserve(slots);
    itemOrder.reserve(slots);
    cells.reserve(slots * cellStride);
    cellTexts.reserve(slots * cellStride);
    AdviseLargePages(items.data(), items.capacity() * sizeof(ItemRecord));
    AdviseLargePages(cells.data(), cells.capacity() * sizeof(CellRecord));
    AdviseLargePages(cellTexts.data(), cellTexts.capacity() * sizeof(CompactText));
}

// The format a new cell starts with: the grid's colours and font.
int16_t GridStore::DefaultFormat()
{
    FormatRecord wanted;
    wanted.BackColor = props.BackColor;
    wanted.ForeColor = props.ForeColor;
    wanted.FontName = props.FontName();
    return InternFormat(wanted);
}

// A storage slot may hold a stale copy of a removed row: everything is set
// afresh, and the new cells share the given format.
void GridStore::ResetSlot(int32_t slot, int16_t format, int32_t height)
{
    selectedSlots.erase(slot);
    ItemRecord &record = items[size_t(slot)];
    record = ItemRecord();
    record.Height = height;

    CellRecord *rowCells = &cells[size_t(slot) * cellStride];
    CompactText *rowTexts = &cellTexts[size_t(slot) * cellStride];
    for (size_t c = 0; c < cellStride; ++c) {
        rowCells[c] = CellRecord();
        rowTexts[c] = CompactText();
        if (c < columns.size()) {
            rowCells[c].Alignment = static_cast<int16_t>(columns[c].Alignment);
            rowCells[c].Flags = columns[c].Flags;
            AssignFormat(rowCells[c], format);
        }
    }
}

void GridStore::InitialiseItem(int32_t slot, const QString &text, bool checked)
{
    ResetSlot(slot, DefaultFormat(), MinimumRowHeightPixels());
    ItemRecord &record = items[size_t(slot)];
    CompactText *rowTexts = &cellTexts[size_t(slot) * cellStride];
    if (columns.size() > 1 && !text.isEmpty()) {
        const QStringList parts = text.split(u'\t');
        const size_t count = std::min(static_cast<size_t>(parts.size()), columns.size());
        for (size_t c = 0; c < count; ++c)
            rowTexts[c] = parts[static_cast<int>(c)];
    } else {
        rowTexts[0] = text;
    }

    if (checked)
        record.Flags |= ItemFlagChecked;
}

void GridStore::RemoveItem(int32_t Index)
{
    CheckPosition(Index);
    const int32_t slot = itemOrder[Index];
    const bool wasSelected = (items[slot].Flags & ItemFlagSelected) != 0;

    ReleaseFormats(slot);
    std::move(items.begin() + slot + 1, items.begin() + LastIndex + 1, items.begin() + slot);
    const size_t first = size_t(slot) * cellStride, end = size_t(LastIndex + 1) * cellStride;
    std::move(cells.begin() + long(first + cellStride), cells.begin() + long(end), cells.begin() + long(first));
    std::move(cellTexts.begin() + long(first + cellStride), cellTexts.begin() + long(end), cellTexts.begin() + long(first));
    for (int32_t p = Index; p < LastIndex; ++p)
        itemOrder[p] = itemOrder[p + 1];
    for (int32_t p = 0; p < LastIndex; ++p) {
        if (itemOrder[p] > slot)
            --itemOrder[p];
    }
    --LastIndex;

    if (LastIndex < 0) {
        Clear();
    } else {
        const int32_t highestSlot = static_cast<int32_t>(items.size()) - 1;
        if (LastIndex + props.CacheIncrement < highestSlot)
            ResizeSlots(static_cast<size_t>(LastIndex) + 1);
        RebuildSelectedSlots();
        if (wasSelected) {
            if (props.MultiSelect)
                Q_EMIT SelectionChanged();
            else
                MarkSelected(itemOrder[std::min(Index, LastIndex)], true);
        }
        // Removing the last position moves the current cell one row up.
        if (Index > LastIndex && currentRow > 0)
            SetCurrentCell(std::min(currentRow - 1, LastIndex), currentCol);
    }
    RequestFullRefresh();
    Q_EMIT ItemCountChanged();
}

void GridStore::ReleaseFormats(int32_t slot)
{
    for (size_t c = 0; c < cellStride; ++c) {
        const CellRecord &cell = cells[size_t(slot) * cellStride + c];
        if (cell.FormatIndex >= 0 && cell.FormatIndex < static_cast<int>(formats.size()))
            --formats[cell.FormatIndex].RefCount;
    }
}

// Storage for count slots; a new slot's cells are none until its row is added.
void GridStore::ResizeSlots(size_t count)
{
    items.resize(count);
    itemOrder.resize(count, 0);
    cells.resize(count * cellStride);
    cellTexts.resize(count * cellStride);
}

// Room for a cell in every column index below columnCount. The rows already
// there get none in the new columns.
void GridStore::WidenCells(size_t columnCount)
{
    if (columnCount <= cellStride)
        return;
    std::vector<CellRecord> wider(items.size() * columnCount);
    std::vector<CompactText> widerTexts(items.size() * columnCount);
    for (size_t slot = 0; slot < items.size(); ++slot) {
        std::copy_n(cells.begin() + long(slot * cellStride), cellStride, wider.begin() + long(slot * columnCount));
        std::move(cellTexts.begin() + long(slot * cellStride), cellTexts.begin() + long((slot + 1) * cellStride),
                  widerTexts.begin() + long(slot * columnCount));
    }
    cells = std::move(wider);
    cellTexts = std::move(widerTexts);
    cellStride = columnCount;
}

void GridStore::Clear()
{
    items.assign(1, ItemRecord());
    itemOrder.assign(1, 0);
    cellStride = columns.size();
    cells.assign(cellStride, CellRecord());
    cellTexts.assign(cellStride, CompactText());
    formats.assign(1, FormatRecord());
    selectedSlots.clear();
    LastIndex = -1;
    currentRow = -1;
    currentCol = -1;
    Q_EMIT Cleared();
    Q_EMIT RepaintRequested();
}

int32_t GridStore::CheckedCount() const
{
    int32_t count = 0;
    for (int32_t p = 0; p <= LastIndex; ++p)
        count += (items[itemOrder[p]].Flags & ItemFlagChecked) ? 1 : 0;
    return count;
}

int32_t GridStore::SelectedCount() const
{
    return static_cast<int32_t>(selectedSlots.size());
}

bool GridStore::MarkSelected(int32_t slot, bool value)
{
    ItemRecord &item = items[static_cast<size_t>(slot)];
    if (((item.Flags & ItemFlagSelected) != 0) == value)
        return false;
    if (value) {
        item.Flags |= ItemFlagSelected;
        selectedSlots.insert(slot);
    } else {
        item.Flags &= ~ItemFlagSelected;
        selectedSlots.erase(slot);
    }
    return true;
}

// Removing a row renumbers the slots above it.
void GridStore::RebuildSelectedSlots()
{
    selectedSlots.clear();
    for (int32_t s = 0; s <= LastIndex; ++s) {
        if ((items[static_cast<size_t>(s)].Flags & ItemFlagSelected) != 0)
            selectedSlots.insert(s);
    }
}

bool GridStore::ClearSelection()
{
    const bool any = !selectedSlots.empty();
    for (int32_t slot : selectedSlots)
        items[static_cast<size_t>(slot)].Flags &= ~ItemFlagSelected;
    selectedSlots.clear();
    if (any)
        RequestRepaint();
    return any;
}

bool GridStore::SelectRange(int32_t from, int32_t to)
{
    CheckPosition(from);
    CheckPosition(to);
    bool changed = false;
    for (int32_t p = std::min(from, to); p <= std::max(from, to); ++p)
        changed = MarkSelected(itemOrder[static_cast<size_t>(p)], true) || changed;
    if (changed)
        RequestRepaint();
    return changed;
}

void GridStore::RowCollaps(int32_t RowStart, int32_t RowEnd, bool bAutoSize, int32_t RowHeight)
{
    if (RowEnd == -1)
        RowEnd = LastIndex;
    // A range outside the rows fails before anything changes.
    if (RowStart <= RowEnd) {
        CheckPosition(RowStart);
        CheckPosition(RowEnd);
    }
    const bool savedAutoSize = props.AutoSizeRow;
    props.AutoSizeRow = bAutoSize;
    const int32_t height = ToPixels(RowHeight);
    const int32_t minimum = ToPixels(props.RowHeightMin);
    const int32_t maximum = ToPixels(props.RowHeightMax);
    for (int32_t p = RowStart; p <= RowEnd; ++p) {
        ItemRecord &item = ItemAtPosition(p);
        if (props.AutoSizeRow)
            Q_EMIT RowFitRequested(p);
        else if (height < minimum) {
            item.Height = minimum;
        } else if (props.RowHeightMax >= 1 && height > maximum) {
            item.Height = maximum;
        } else {
            item.Height = height;
        }
    }
    props.AutoSizeRow = savedAutoSize;
}

void GridStore::ResetRowHeight(int32_t Index)
{
    ItemAtPosition(Index).Height = MinimumRowHeightPixels();
}

int32_t GridStore::ItemCount() const
{
    return LastIndex + 1;
}

int32_t GridStore::ItemData(int32_t Index) const
{
    return ItemAtPosition(Index).ItemData;
}

void GridStore::SetItemData(int32_t Index, int32_t value)
{
    ItemAtPosition(Index).ItemData = value;
}

QString GridStore::ItemTag(int32_t Index) const
{
    return ItemAtPosition(Index).Tag;
}

void GridStore::SetItemTag(int32_t Index, const QString &value)
{
    ItemAtPosition(Index).Tag = value;
}

void GridStore::SetItemFlag(int32_t Index, uint16_t flag, bool value)
{
    ItemRecord &item = ItemAtPosition(Index);
    if (value)
        item.Flags |= flag;
    else
        item.Flags &= ~flag;
    RequestRepaint();
}

bool GridStore::ItemChecked(int32_t Index) const
{
    return (ItemAtPosition(Index).Flags & ItemFlagChecked) != 0;
}

void GridStore::SetItemChecked(int32_t Index, bool value)
{
    SetItemFlag(Index, ItemFlagChecked, value);
}

bool GridStore::ItemSelected(int32_t Index) const
{
    return (ItemAtPosition(Index).Flags & ItemFlagSelected) != 0;
}

void GridStore::SetItemSelected(int32_t Index, bool value)
{
    CheckPosition(Index);
    MarkSelected(itemOrder[static_cast<size_t>(Index)], value);
    RequestRepaint();
}

bool GridStore::ItemVisible(int32_t Index) const
{
    return ItemAtPosition(Index).Visible;
}

void GridStore::SetItemVisible(int32_t Index, bool value)
{
    ItemAtPosition(Index).Visible = value;
    RequestFullRefresh();
}

QVariant GridStore::ItemImage(int32_t Index) const
{
    return ImageVariant(ItemAtPosition(Index).Image);
}

void GridStore::SetItemImage(int32_t Index, const QVariant &value)
{
    ItemRecord &item = ItemAtPosition(Index);
    bool resolved = true;
    item.Image = ImageValue(value, resolved);
    if (resolved)
        RequestRepaint();
}

void GridStore::SetItemBackColor(int32_t Index, OleColour value)
{
    for (int32_t c = 0; c <= Cols(); ++c)
        SetCellFormat(CellAt(Index, c), AttrBackColor, value);
    RequestRepaint();
}

void GridStore::SetItemForeColor(int32_t Index, OleColour value)
{
    for (int32_t c = 0; c <= Cols(); ++c)
        SetCellFormat(CellAt(Index, c), AttrForeColor, value);
    RequestRepaint();
}

void GridStore::SetItemFontBold(int32_t Index, bool value)
{
    for (int32_t c = 0; c <= Cols(); ++c)
        SetCellFlag(Index, c, CellFlagBold, value, false);
    RequestRepaint();
}

float GridStore::RowHeight(int32_t Index) const
{
    return static_cast<float>(PixelsToScale(ItemAtPosition(Index).Height, props.ScaleUnits, twipsPerPixel, true));
}

void GridStore::SetRowHeight(int32_t Index, float value)
{
    ItemRecord &item = ItemAtPosition(Index);
    if (value == -1) {
        if (props.AutoSizeRow)
            Q_EMIT RowFitRequested(Index);
    } else {
        item.Height = ToPixels(value);
    }
    if (props.Redraw)
        Q_EMIT ScrollBarsRequested();
    else
        LayoutPending = true;
    RequestRepaint();
}

void GridStore::SetFittedRowHeight(int32_t Index, int32_t Pixels)
{
    ItemRecord &item = ItemAtPosition(Index);
    int32_t height = std::max(Pixels, MinimumRowHeightPixels());
    if (props.RowHeightMax >= 1)
        height = std::min(height, ToPixels(props.RowHeightMax));
    item.Height = height;
}

// ---- images -----------------------------------------------------------------

// A number is an image index; any other value is a key, stored as minus the
// index of the image with that key. An unknown key clears the image.
int32_t GridStore::ImageValue(const QVariant &value, bool &resolved) const
{
    resolved = true;
    if (IsNumericVariant(value))
        return RoundToLong(value.toDouble());
    const int index = images ? images->IndexOfKey(value.toString()) : 0;
    if (index <= 0) {
        resolved = false;
        return 0;
    }
    return -index;
}

QVariant GridStore::ImageVariant(int32_t stored) const
{
    if (stored < 0 && images)
        return images->KeyOf(-stored);
    return stored;
}

// ---- cells ------------------------------------------------------------------

QString GridStore::CellText(int32_t Row, int32_t Col) const
{
    return cellTexts[CellIndex(Row, Col)];
}

void GridStore::SetCellText(int32_t Row, int32_t Col, const QString &value)
{
    ShareCellText(Row, Col, CompactText(value));
}

void GridStore::ShareCellText(int32_t Row, int32_t Col, const CompactText &value)
{
    const size_t index = CellIndex(Row, Col);
    CellRecord &cell = cells[index];
    cellTexts[index] = value;
    if (props.AutoSizeRow)
        Q_EMIT RowFitRequested(Row);
    if (props.TrackEdits)
        cell.Flags |= CellFlagChanged;
    RequestRepaint();
}

int32_t GridStore::CellAlignment(int32_t Row, int32_t Col) const
{
    return CellAt(Row, Col).Alignment;
}

void GridStore::SetCellAlignment(int32_t Row, int32_t Col, int32_t value)
{
    CellAt(Row, Col).Alignment = ToInteger(value);
    RequestRepaint();
}

bool GridStore::CellFlag(int32_t Row, int32_t Col, uint16_t flag) const
{
    return (CellAt(Row, Col).Flags & flag) != 0;
}

void GridStore::SetCellFlag(int32_t Row, int32_t Col, uint16_t flag, bool value, bool repaint)
{
    CellRecord &cell = CellAt(Row, Col);
    if (value)
        cell.Flags |= flag;
    else
        cell.Flags &= ~flag;
    if (repaint)
        RequestRepaint();
}

bool GridStore::CellChecked(int32_t Row, int32_t Col) const { return CellFlag(Row, Col, CellFlagChecked); }
void GridStore::SetCellChecked(int32_t Row, int32_t Col, bool value) { SetCellFlag(Row, Col, CellFlagChecked, value, true); }
bool GridStore::CellChanged(int32_t Row, int32_t Col) const { return CellFlag(Row, Col, CellFlagChanged); }
void GridStore::SetCellChanged(int32_t Row, int32_t Col, bool value) { SetCellFlag(Row, Col, CellFlagChanged, value, false); }
bool GridStore::CellFontBold(int32_t Row, int32_t Col) const { return CellFlag(Row, Col, CellFlagBold); }
void GridStore::SetCellFontBold(int32_t Row, int32_t Col, bool value) { SetCellFlag(Row, Col, CellFlagBold, value, true); }
bool GridStore::CellFontItalic(int32_t Row, int32_t Col) const { return CellFlag(Row, Col, CellFlagItalic); }
void GridStore::SetCellFontItalic(int32_t Row, int32_t Col, bool value) { SetCellFlag(Row, Col, CellFlagItalic, value, true); }
bool GridStore::CellFontUnderline(int32_t Row, int32_t Col) const { return CellFlag(Row, Col, CellFlagUnderline); }
void GridStore::SetCellFontUnderline(int32_t Row, int32_t Col, bool value) { SetCellFlag(Row, Col, CellFlagUnderline, value, true); }
bool GridStore::CellWordWrap(int32_t Row, int32_t Col) const { return CellFlag(Row, Col, CellFlagWordWrap); }
void GridStore::SetCellWordWrap(int32_t Row, int32_t Col, bool value) { SetCellFlag(Row, Col, CellFlagWordWrap, value, true); }

int16_t GridStore::CellProgressValue(int32_t Row, int32_t Col) const
{
    const CellRecord &cell = CellAt(Row, Col);
    if (columns[columnOrder[Col]].ColType != ColTypeProgress)
        return 0;
    return static_cast<int16_t>(cell.Flags);
}

void GridStore::SetCellProgressValue(int32_t Row, int32_t Col, int16_t &value)
{
    CellRecord &cell = CellAt(Row, Col);
    if (columns[columnOrder[Col]].ColType != ColTypeProgress)
        return;
    value = std::clamp<int16_t>(value, 0, 100);
    cell.Flags = static_cast<uint16_t>(value);
    RequestRepaint();
}

OleColour GridStore::CellBackColor(int32_t Row, int32_t Col) const
{
    return CellFormat(CellAt(Row, Col)).BackColor;
}

void GridStore::SetCellBackColor(int32_t Row, int32_t Col, OleColour value)
{
    SetCellFormat(CellAt(Row, Col), AttrBackColor, value);
    RequestRepaint();
}

OleColour GridStore::CellForeColor(int32_t Row, int32_t Col) const
{
    return CellFormat(CellAt(Row, Col)).ForeColor;
}

void GridStore::SetCellForeColor(int32_t Row, int32_t Col, OleColour value)
{
    SetCellFormat(CellAt(Row, Col), AttrForeColor, value);
    RequestRepaint();
}

QVariant GridStore::CellImage(int32_t Row, int32_t Col) const
{
    return ImageVariant(CellFormat(CellAt(Row, Col)).Image);
}

void GridStore::SetCellImage(int32_t Row, int32_t Col, const QVariant &value)
{
    CellRecord &cell = CellAt(Row, Col);
    bool resolved = true;
    const int32_t image = ImageValue(value, resolved);
    SetCellFormat(cell, AttrImage, ToInteger(image));
    if (resolved)
        RequestRepaint();
}

QString GridStore::CellFontName(int32_t Row, int32_t Col) const
{
    return CellFormat(CellAt(Row, Col)).FontName;
}

void GridStore::SetCellFontName(int32_t Row, int32_t Col, const QString &value)
{
    SetCellFormat(CellAt(Row, Col), AttrFontName, value);
    RequestRepaint();
}

// ---- shared formats ---------------------------------------------------------

FormatRecord GridStore::CellFormat(const CellRecord &cell) const
{
    if (cell.FormatIndex >= 0)
        return formats[cell.FormatIndex];
    FormatRecord base;
    base.BackColor = props.BackColor;
    base.ForeColor = props.ForeColor;
    base.FontName = props.FontName();
    return base;
}

// Every colour, image and font-name change of a cell comes here: the cell
// moves to the format record with the wanted attributes, shared with every
// other cell that has them.
void GridStore::SetCellFormat(CellRecord &cell, FormatAttribute attribute, const QVariant &value)
{
    FormatRecord wanted = CellFormat(cell);
    switch (attribute) {
    case AttrBackColor: wanted.BackColor = value.toUInt(); break;
    case AttrForeColor: wanted.ForeColor = value.toUInt(); break;
    case AttrImage: wanted.Image = static_cast<int16_t>(value.toInt()); break;
    case AttrFontName: wanted.FontName = value.toString(); break;
    }
    AssignFormat(cell, InternFormat(wanted));
}

// The slot of the first record equal to wanted; otherwise wanted is written
// into the first free slot, or into a new one (the table grows ten slots at
// a time). RefCount is left to AssignFormat.
int16_t GridStore::InternFormat(const FormatRecord &wanted)
{
    int32_t firstFree = -1;
    for (size_t i = 0; i < formats.size(); ++i) {
        const FormatRecord &f = formats[i];
        if (f.Image == wanted.Image && f.BackColor == wanted.BackColor && f.ForeColor == wanted.ForeColor
            && f.FontName == wanted.FontName)
            return static_cast<int16_t>(i);
        if (firstFree < 0 && f.RefCount == 0)
            firstFree = static_cast<int32_t>(i);
    }
    int32_t slot = firstFree;
    if (slot < 0) {
        slot = static_cast<int32_t>(formats.size());
        formats.resize(formats.size() + 10);
    }
    FormatRecord &record = formats[ToInteger(slot)];
    record.BackColor = wanted.BackColor;
    record.ForeColor = wanted.ForeColor;
    record.Image = wanted.Image;
    record.FontName = wanted.FontName;
    return static_cast<int16_t>(slot);
}

void GridStore::AssignFormat(CellRecord &cell, int16_t slot)
{
    if (slot != cell.FormatIndex) {
        ++formats[slot].RefCount;
        if (cell.FormatIndex >= 0)
            --formats[cell.FormatIndex].RefCount;
    }
    cell.FormatIndex = slot;
}

const std::vector<FormatRecord> &GridStore::Formats() const
{
    return formats;
}

// ---- columns ----------------------------------------------------------------

void GridStore::ResetColumns(int32_t highestIndex)
{
    columns.assign(static_cast<size_t>(highestIndex) + 1, ColumnRecord());
    WidenCells(columns.size());
    columnOrder.resize(columns.size());
    for (size_t i = 0; i < columnOrder.size(); ++i)
        columnOrder[i] = static_cast<int32_t>(i);
    Q_EMIT ColumnsReset();
}

int32_t GridStore::AddColumn(const QString &Caption, float Width, int32_t Alignment, int32_t datatype,
                            const QString &Format, const QString &InputFilter, int32_t ImageAlignment,
                            bool WordWrap, int32_t Index)
{
    const int16_t type = ToInteger(datatype);
    int32_t n = 0;
    if (columns[0].Alignment != 0) {
        n = static_cast<int32_t>(columns.size());
        columns.emplace_back();
        columnOrder.push_back(n);
        WidenCells(columns.size());
    }

    int32_t position = n;
    if (Index >= 1 && Index < n && n >= 2) {
        for (int32_t p = n; p > Index; --p)
            columnOrder[p] = columnOrder[p - 1];
        position = Index;
    }
    columnOrder[position] = n;

    ColumnRecord &column = columns[n];
    column = ColumnRecord();
    column.Heading = Caption;
    column.Width = Width;
    column.Alignment = Alignment;
    column.ColType = type;
    column.Format = Format;
    column.InputFilter = InputFilter.isEmpty() ? DefaultInputFilter(datatype) : InputFilter;
    column.ImageAlignment = ImageAlignment;
    column.Flags = WordWrap ? CellFlagWordWrap : 0;
    column.SortOrder = 0;
    column.Visible = true;
    Q_EMIT ColumnAdded(n);
    RequestFullRefresh();
    return position;
}

QString GridStore::ColHeading(int32_t Index) const { return Column(Index).Heading; }
void GridStore::SetColHeading(int32_t Index, const QString &value) { Column(Index).Heading = value; RequestRepaint(); }

float GridStore::ColWidth(int32_t Index) const { return Column(Index).Width; }

void GridStore::SetColWidth(int32_t Index, float value)
{
    Column(Index).Width = value;
    Q_EMIT ColumnWidthChanged(Index);
    RequestRepaint();
}

int32_t GridStore::ColAlignment(int32_t Index) const { return Column(Index).Alignment; }
void GridStore::SetColAlignment(int32_t Index, int32_t value) { Column(Index).Alignment = value; RequestRepaint(); }
int32_t GridStore::ColImageAlignment(int32_t Index) const { return Column(Index).ImageAlignment; }
void GridStore::SetColImageAlignment(int32_t Index, int32_t value) { Column(Index).ImageAlignment = value; RequestRepaint(); }
QString GridStore::ColFormat(int32_t Index) const { return Column(Index).Format; }
void GridStore::SetColFormat(int32_t Index, const QString &value) { Column(Index).Format = value; RequestRepaint(); }
QString GridStore::ColInputFilter(int32_t Index) const { return Column(Index).InputFilter; }
void GridStore::SetColInputFilter(int32_t Index, const QString &value) { Column(Index).InputFilter = value; }
int32_t GridStore::ColType(int32_t Index) const { return Column(Index).ColType; }
void GridStore::SetColType(int32_t Index, int32_t value) { Column(Index).ColType = ToInteger(value); }
QString GridStore::ColTag(int32_t Index) const { return Column(Index).Tag; }
void GridStore::SetColTag(int32_t Index, const QString &value) { Column(Index).Tag = value; }
bool GridStore::ColVisible(int32_t Index) const { return Column(Index).Visible; }
void GridStore::SetColVisible(int32_t Index, bool value) { Column(Index).Visible = value; RequestRepaint(); }
bool GridStore::ColWordWrap(int32_t Index) const { return (Column(Index).Flags & CellFlagWordWrap) != 0; }

void GridStore::SetColWordWrap(int32_t Index, bool value)
{
    ColumnRecord &column = Column(Index);
    if (value)
        column.Flags |= CellFlagWordWrap;
    else
        column.Flags &= ~CellFlagWordWrap;
}

int32_t GridStore::ColPosition(int32_t Index) const
{
    CheckColumnPosition(Index);
    return columnOrder[Index];
}

void GridStore::SetColPosition(int32_t Index, int32_t NewValue)
{
    CheckColumnPosition(Index);
    CheckColumnPosition(NewValue);
    const int32_t old = columnOrder[Index];
    if (old == NewValue)
        return;
    columnOrder[Index] = NewValue;
    columnOrder[NewValue] = old;
    RequestRepaint();
}

void GridStore::SwapColumnPositions(int32_t a, int32_t b)
{
    CheckColumnPosition(a);
    CheckColumnPosition(b);
    std::swap(columnOrder[static_cast<size_t>(a)], columnOrder[static_cast<size_t>(b)]);
    RequestRepaint();
}

int32_t GridStore::Cols() const
{
    return static_cast<int32_t>(columns.size()) - 1;
}

// Re-creates the column list with blank columns; the column order follows it
// as an identity order so every new display position can be used at once.
void GridStore::SetCols(int32_t NewValue)
{
    if (NewValue < 0)
        throw SubscriptError();
    ResetColumns(NewValue);
}

QString GridStore::FormatString() const
{
    return props.FormatString;
}

void GridStore::SetFormatString(const QString &value)
{
    props.FormatString = value;
    if (value.isEmpty()) {
        ResetColumns(0);
        Clear();
    } else {
        const QStringList parts = value.split(u'|');
        if (parts.size() > static_cast<int>(columns.size()))
            SetCols(static_cast<int32_t>(parts.size()));
        for (int k = 0; k < parts.size(); ++k) {
            ColumnRecord &column = columns[columnOrder[k]];
            const QString &part = parts[k];
            const QChar marker = part.isEmpty() ? QChar() : part[0];
            if (marker == u'^' || marker == u'<' || marker == u'>') {
                column.Heading = part.mid(1);
                column.Alignment = marker == u'^' ? 5 : (marker == u'<' ? 4 : 6);
            } else {
                column.Heading = part;
            }
            column.Width = 1000;
            column.Visible = true;
            Q_EMIT ColumnWidthChanged(columnOrder[k]);
        }
    }
    RequestFullRefresh();
    Q_EMIT PropertyChanged(QStringLiteral("FormatString"));
}

void GridStore::FormatCells(int32_t RowFrom, int32_t RowTo, int32_t ColFrom, int32_t ColTo, int32_t Mode,
                           const QVariant &NewValue)
{
    int32_t number = 0;
    OleColour colour = 0;
    bool flag = false;
    QString text;
    if (Mode == 1 || Mode == 2)
        colour = VariantToColour(NewValue);
    else if (Mode == 3)
        number = VariantToLong(NewValue);
    else if (Mode == 4)
        text = NewValue.toString();
    else if (Mode >= 5 && Mode <= 7)
        flag = VariantToBoolean(NewValue);
    else
        return;

    for (int32_t r = RowFrom; r <= RowTo; ++r) {
        for (int32_t c = ColFrom; c <= ColTo; ++c) {
            switch (Mode) {
            case 1: SetCellBackColor(r, c, colour); break;
            case 2: SetCellForeColor(r, c, colour); break;
            case 3: SetCellImage(r, c, number); break;
            case 4: SetCellFontName(r, c, text); break;
            case 5: SetCellFontBold(r, c, flag); break;
            case 6: SetCellFontItalic(r, c, flag); break;
            case 7: SetCellFontUnderline(r, c, flag); break;
            }
        }
    }
}

// ---- current cell -----------------------------------------------------------

void GridStore::SetCurrentCell(int32_t row, int32_t col)
{
    currentRow = row;
    currentCol = col;
    Q_EMIT RowColChanged();
}

int32_t GridStore::Row() const
{
    return currentRow;
}

void GridStore::SetRow(int32_t value)
{
    if (value != -1)
        CheckPosition(value);
    if (value == currentRow)
        return;
    SetCurrentCell(value, currentCol);
    RequestRepaint();
}

int32_t GridStore::Col() const
{
    return currentCol;
}

void GridStore::SetCol(int32_t value)
{
    if (value != -1)
        CheckColumnPosition(value);
    if (value == currentCol)
        return;
    SetCurrentCell(currentRow, value);
    RequestRepaint();
}

void GridStore::GotoCell(int32_t lRow, int32_t lCol)
{
    CheckPosition(lRow);
    CheckColumnPosition(lCol);
    ClearSelection();
    SetCurrentCell(lRow, lCol);
    Q_EMIT ScrollIntoViewRequested(lRow, lCol);
    MarkSelected(itemOrder[lRow], true);
    RequestRepaint();
}

bool GridStore::MoveCurrentCell(int32_t row, int32_t col, bool scroll, bool force)
{
    if (row != -1)
        CheckPosition(row);
    if (col != -1)
        CheckColumnPosition(col);
    if (row == currentRow && col == currentCol && !force)
        return false;
    SetCurrentCell(row, col);
    if ((scroll || force) && row >= 0 && col >= 0)
        Q_EMIT ScrollIntoViewRequested(row, col);
    RequestRepaint();
    return true;
}

// ---- whole-grid settings ----------------------------------------------------

int32_t GridStore::CacheIncrement() const { return props.CacheIncrement; }

void GridStore::SetCacheIncrement(int32_t value)
{
    props.CacheIncrement = value >= 0 ? value : 1;
    Q_EMIT PropertyChanged(QStringLiteral("CacheIncrement"));
}

bool GridStore::TrackEdits() const { return props.TrackEdits; }
void GridStore::SetTrackEdits(bool value) { props.TrackEdits = value; Q_EMIT PropertyChanged(QStringLiteral("TrackEdits")); }
bool GridStore::CheckBoxes() const { return props.CheckBoxes; }

void GridStore::SetCheckBoxes(bool value)
{
    props.CheckBoxes = value;
    RequestFullRefresh();
    Q_EMIT PropertyChanged(QStringLiteral("Checkboxes"));
}

bool GridStore::MultiSelect() const { return props.MultiSelect; }

// Turned off, it keeps only the current row selected.
void GridStore::SetMultiSelect(bool value)
{
    props.MultiSelect = value;
    if (!value) {
        ClearSelection();
        if (currentRow >= 0)
            SelectRange(currentRow, currentRow);
        RequestFullRefresh();
    }
    Q_EMIT PropertyChanged(QStringLiteral("MultiSelect"));
}

bool GridStore::AutoSizeRow() const { return props.AutoSizeRow; }

void GridStore::SetAutoSizeRow(bool value)
{
    props.AutoSizeRow = value;
    RequestRepaint();
    Q_EMIT PropertyChanged(QStringLiteral("AutoSizeRow"));
}

OleColour GridStore::BackColor() const { return props.BackColor; }

void GridStore::SetBackColor(OleColour value)
{
    props.BackColor = value;
    RequestRepaint();
    Q_EMIT PropertyChanged(QStringLiteral("BackColor"));
}

OleColour GridStore::ForeColor() const { return props.ForeColor; }

void GridStore::SetForeColor(OleColour value)
{
    props.ForeColor = value;
    RequestRepaint();
    Q_EMIT PropertyChanged(QStringLiteral("ForeColor"));
}

QString GridStore::FontName() const { return props.FontName(); }

void GridStore::SetFont(const QString &name, double size, bool bold)
{
    props.Font = FontDescription(name, size, bold);
    RequestFullRefresh();
    Q_EMIT PropertyChanged(QStringLiteral("Font"));
}

int32_t GridStore::RowHeightMin() const { return props.RowHeightMin; }

void GridStore::SetRowHeightMin(int32_t value)
{
    props.RowHeightMin = value;
    RequestFullRefresh();
    Q_EMIT PropertyChanged(QStringLiteral("RowHeightMin"));
}

int32_t GridStore::RowHeightMax() const { return props.RowHeightMax; }

void GridStore::SetRowHeightMax(int32_t value)
{
    props.RowHeightMax = value;
    RequestFullRefresh();
    Q_EMIT PropertyChanged(QStringLiteral("RowHeightMax"));
}

int32_t GridStore::ScaleUnits() const { return props.ScaleUnits; }
void GridStore::SetScaleUnits(int32_t value) { props.ScaleUnits = value; Q_EMIT PropertyChanged(QStringLiteral("ScaleUnits")); }
ImageList *GridStore::GetImageList() const { return images; }

void GridStore::SetImageList(ImageList *list)
{
    images = list;
    RequestFullRefresh();
}

void GridStore::SetEditTrigger(int32_t value) { props.EditTrigger = value; Q_EMIT PropertyChanged(QStringLiteral("EditTrigger")); }
void GridStore::SetEditable(bool value) { props.Editable = value; Q_EMIT PropertyChanged(QStringLiteral("Editable")); }

void GridStore::SetHideSelection(bool value)
{
    props.HideSelection = value;
    RequestFullRefresh();
    Q_EMIT PropertyChanged(QStringLiteral("HideSelection"));
}

void GridStore::SetFocusRectColor(OleColour value) { props.FocusRectColor = value; Q_EMIT PropertyChanged(QStringLiteral("FocusRectColor")); }
void GridStore::SetHotHeaderTracking(bool value) { props.HotHeaderTracking = value; Q_EMIT PropertyChanged(QStringLiteral("HotHeaderTracking")); }
void GridStore::SetAllowUserResizing(int32_t value) { props.AllowUserResizing = value; Q_EMIT PropertyChanged(QStringLiteral("AllowUserResizing")); }
void GridStore::SetColumnSort(bool value) { props.ColumnSort = value; Q_EMIT PropertyChanged(QStringLiteral("ColumnSort")); }
void GridStore::SetColumnDrag(bool value) { props.ColumnDrag = value; Q_EMIT PropertyChanged(QStringLiteral("ColumnDrag")); }

void GridStore::SetThemeColor(int32_t value)
{
    props.ThemeColor = value;
    props.ApplyThemeColor();
    RequestRepaint();
    Q_EMIT PropertyChanged(QStringLiteral("ThemeColor"));
}

template <auto Field, typename Value>
void GridStore::SetViewProperty(const char *key, Value value, ViewEffect effect)
{
    props.*Field = value;
    if (effect == ViewEffect::Repaint)
        RequestRepaint();
    else if (effect == ViewEffect::FullRefresh)
        RequestFullRefresh();
    Q_EMIT PropertyChanged(QString::fromLatin1(key));
}

using P = ListGridProperties;

void GridStore::SetThemeStyle(int32_t v) { SetViewProperty<&P::ThemeStyle>("ThemeStyle", v, ViewEffect::Repaint); }
void GridStore::SetApplySelectionToImages(bool v) { SetViewProperty<&P::ApplySelectionToImages>("ApplySelectionToImages", v, ViewEffect::Repaint); }
void GridStore::SetBackColorBkg(OleColour v) { SetViewProperty<&P::BackColorBkg>("BackColorBkg", v, ViewEffect::FullRefresh); }
void GridStore::SetBackColorEdit(OleColour v) { SetViewProperty<&P::BackColorEdit>("BackColorEdit", v, ViewEffect::None); }
void GridStore::SetBackColorFixed(OleColour v) { SetViewProperty<&P::BackColorFixed>("BackColorFixed", v, ViewEffect::Repaint); }
void GridStore::SetBackColorSel(OleColour v) { SetViewProperty<&P::BackColorSel>("BackColorSel", v, ViewEffect::FullRefresh); }
void GridStore::SetForeColorEdit(OleColour v) { SetViewProperty<&P::ForeColorEdit>("ForeColorEdit", v, ViewEffect::None); }
void GridStore::SetForeColorFixed(OleColour v) { SetViewProperty<&P::ForeColorFixed>("ForeColorFixed", v, ViewEffect::Repaint); }
void GridStore::SetForeColorHdr(OleColour v) { SetViewProperty<&P::ForeColorHdr>("ForeColorHdr", v, ViewEffect::Repaint); }
void GridStore::SetForeColorSel(OleColour v) { SetViewProperty<&P::ForeColorSel>("ForeColorSel", v, ViewEffect::FullRefresh); }
void GridStore::SetForeColorTotals(OleColour v) { SetViewProperty<&P::ForeColorTotals>("ForeColorTotals", v, ViewEffect::FullRefresh); }
void GridStore::SetGridColor(OleColour v) { SetViewProperty<&P::GridColor>("GridColor", v, ViewEffect::Repaint); }
void GridStore::SetProgressBarColor(OleColour v) { SetViewProperty<&P::ProgressBarColor>("ProgressBarColor", v, ViewEffect::Repaint); }
void GridStore::SetAlphaBlendSelection(bool v) { SetViewProperty<&P::AlphaBlendSelection>("AlphaBlendSelection", v, ViewEffect::FullRefresh); }
void GridStore::SetBorderStyle(int32_t v) { SetViewProperty<&P::BorderStyle>("BorderStyle", ToInteger(v), ViewEffect::FullRefresh); }
void GridStore::SetDisplayEllipsis(bool v) { SetViewProperty<&P::DisplayEllipsis>("DisplayEllipsis", v, ViewEffect::FullRefresh); }
void GridStore::SetFocusRectMode(int32_t v) { SetViewProperty<&P::FocusRectMode>("FocusRectMode", v, ViewEffect::FullRefresh); }
void GridStore::SetFocusRectStyle(int32_t v) { SetViewProperty<&P::FocusRectStyle>("FocusRectStyle", v, ViewEffect::FullRefresh); }
void GridStore::SetGridLines(bool v) { SetViewProperty<&P::GridLines>("GridLines", v, ViewEffect::FullRefresh); }
void GridStore::SetGridLineWidth(int32_t v) { SetViewProperty<&P::GridLineWidth>("GridLineWidth", v, ViewEffect::Repaint); }
void GridStore::SetColumnHeaders(bool v) { SetViewProperty<&P::ColumnHeaders>("ColumnHeaders", v, ViewEffect::FullRefresh); }
void GridStore::SetFullRowSelect(bool v) { SetViewProperty<&P::FullRowSelect>("FullRowSelect", v, ViewEffect::FullRefresh); }
void GridStore::SetScrollTrack(bool v) { SetViewProperty<&P::ScrollTrack>("ScrollTrack", v, ViewEffect::None); }
void GridStore::SetSearchColumn(int32_t v) { SetViewProperty<&P::SearchColumn>("SearchColumn", v, ViewEffect::None); }
void GridStore::SetEnabled(bool v) { SetViewProperty<&P::Enabled>("Enabled", v, ViewEffect::Repaint); }
void GridStore::SetLocked(bool v) { SetViewProperty<&P::Locked>("Locked", v, ViewEffect::None); }

const ListGridProperties &GridStore::Properties() const
{
    return props;
}

// A new grid keeps the table's colours: no preset is applied.
void GridStore::InitProperties(const QString &ambientFont)
{
    props.Init(ListGridProperties::Host{ambientFont});
    RequestFullRefresh();
}

// The values are stored as read; only then does the format string shape the
// columns (an empty one leaves no rows and one blank column) and the
// ThemeColor preset override the colours it covers.
void GridStore::ReadProperties(const PropertyStore &store, const QString &ambientFont)
{
    props.Read(store, ListGridProperties::Host{ambientFont});
    SetFormatString(props.FormatString);
    props.ApplyThemeColor();
    RequestFullRefresh();
}

void GridStore::WriteProperties(PropertyStore &store, const QString &ambientFont) const
{
    props.Write(store, ListGridProperties::Host{ambientFont});
}

float GridStore::ControlWidth() const { return controlWidth; }
void GridStore::SetControlWidth(float value) { controlWidth = value; }
