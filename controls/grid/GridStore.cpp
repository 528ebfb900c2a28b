#include "controls/grid/GridStore.h"

#include "util/Errors.h"
#include "util/Numbers.h"
#include "util/Units.h"

#include <algorithm>

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

// ---- raw access ---------------------------------------------------------------

const ItemRecord &GridStore::ItemAt(int32_t Index) const
{
    return items.At(Index);
}

const CellRecord *GridStore::CellIn(int32_t Index, int32_t column) const
{
    return items.CellIn(Index, column);
}

const CompactText &GridStore::CellTextIn(int32_t Index, int32_t column) const
{
    return items.TextIn(Index, column);
}

const std::vector<FormatRecord> &GridStore::Formats() const
{
    return formats.Records();
}

std::vector<int32_t> GridStore::ItemOrder() const
{
    return items.Order();
}

void GridStore::ReorderItems(const std::vector<int32_t> &order)
{
    currentRow = items.Reorder(order, currentRow);
    Q_EMIT RepaintRequested();
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

float GridStore::ControlWidth() const
{
    return controlWidth;
}
void GridStore::SetControlWidth(float value)
{
    controlWidth = value;
}

// ---- rows -------------------------------------------------------------------

int32_t GridStore::AddItem(const QString &item, int32_t Index, bool Checked)
{
    const int16_t format = DefaultFormat();
    const int32_t position = items.Insert(Index, item, Checked, format, MinimumRowHeightPixels(), props.CacheIncrement);
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
    const int16_t format = DefaultFormat();
    items.Append(count, format, MinimumRowHeightPixels(), props.CacheIncrement);
    RequestFullRefresh();
    Q_EMIT ItemCountChanged();
}

void GridStore::RemoveItem(int32_t Index)
{
    const bool wasSelected = items.Remove(Index, props.CacheIncrement);
    const int32_t last = items.Count() - 1;
    if (last < 0) {
        Clear();
    } else {
        if (wasSelected) {
            if (props.MultiSelect)
                Q_EMIT SelectionChanged();
            else
                items.Select(std::min(Index, last), true);
        }
        // Removing the last position moves the current cell one row up.
        if (Index > last && currentRow > 0)
            SetCurrentCell(std::min(currentRow - 1, last), currentCol);
    }
    RequestFullRefresh();
    Q_EMIT ItemCountChanged();
}

void GridStore::Clear()
{
    items.Clear();
    currentRow = -1;
    currentCol = -1;
    Q_EMIT Cleared();
    Q_EMIT RepaintRequested();
}

int32_t GridStore::ItemCount() const
{
    return items.Count();
}

int32_t GridStore::CheckedCount() const
{
    return items.CheckedCount();
}

int32_t GridStore::SelectedCount() const
{
    return static_cast<int32_t>(items.SelectedSlots().size());
}

bool GridStore::ClearSelection()
{
    const bool any = items.ClearSelection();
    if (any)
        RequestRepaint();
    return any;
}

bool GridStore::SelectRange(int32_t from, int32_t to)
{
    items.CheckPosition(from);
    items.CheckPosition(to);
    bool changed = false;
    for (int32_t p = std::min(from, to); p <= std::max(from, to); ++p)
        changed = items.Select(p, true) || changed;
    if (changed)
        RequestRepaint();
    return changed;
}

void GridStore::RowCollaps(int32_t RowStart, int32_t RowEnd, bool bAutoSize, int32_t RowHeight)
{
    if (RowEnd == -1)
        RowEnd = items.Count() - 1;
    // A range outside the rows fails before anything changes.
    if (RowStart <= RowEnd) {
        items.CheckPosition(RowStart);
        items.CheckPosition(RowEnd);
    }
    const bool savedAutoSize = props.AutoSizeRow;
    props.AutoSizeRow = bAutoSize;
    const int32_t height = ToPixels(RowHeight);
    const int32_t minimum = ToPixels(props.RowHeightMin);
    const int32_t maximum = ToPixels(props.RowHeightMax);
    for (int32_t p = RowStart; p <= RowEnd; ++p) {
        ItemRecord &item = items.At(p);
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
    items.At(Index).Height = MinimumRowHeightPixels();
}

void GridStore::SetFittedRowHeight(int32_t Index, int32_t Pixels)
{
    ItemRecord &item = items.At(Index);
    int32_t height = std::max(Pixels, MinimumRowHeightPixels());
    if (props.RowHeightMax >= 1)
        height = std::min(height, ToPixels(props.RowHeightMax));
    item.Height = height;
}

void GridStore::SetRowHeight(int32_t Index, float value)
{
    ItemRecord &item = items.At(Index);
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

int32_t GridStore::ItemData(int32_t Index) const
{
    return items.At(Index).ItemData;
}

void GridStore::SetItemData(int32_t Index, int32_t value)
{
    items.At(Index).ItemData = value;
}

QVariant GridStore::ItemAttribute(int32_t Index, ItemAttr attribute) const
{
    const ItemRecord &item = items.At(Index);
    switch (attribute) {
    case ItemAttr::Tag:
        return QString(item.Tag);
    case ItemAttr::Checked:
        return (item.Flags & ItemFlagChecked) != 0;
    case ItemAttr::Selected:
        return (item.Flags & ItemFlagSelected) != 0;
    case ItemAttr::Visible:
        return item.Visible;
    case ItemAttr::Image:
        return ImageVariant(item.Image);
    case ItemAttr::Height:
        return static_cast<float>(PixelsToScale(item.Height, props.ScaleUnits, twipsPerPixel, true));
    case ItemAttr::BackColor:
    case ItemAttr::ForeColor:
    case ItemAttr::FontBold:
        break;
    }
    return QVariant();
}

void GridStore::SetItemAttribute(int32_t Index, ItemAttr attribute, const QVariant &value)
{
    switch (attribute) {
    case ItemAttr::Tag:
        items.At(Index).Tag = value.toString();
        break;
    case ItemAttr::Checked:
        SetItemFlag(Index, ItemFlagChecked, value.toBool());
        break;
    case ItemAttr::Selected:
        SetItemSelected(Index, value.toBool());
        break;
    case ItemAttr::Visible:
        items.At(Index).Visible = value.toBool();
        RequestFullRefresh();
        break;
    case ItemAttr::Image: {
        ItemRecord &item = items.At(Index);
        bool resolved = true;
        item.Image = ImageValue(value, resolved);
        if (resolved)
            RequestRepaint();
        break;
    }
    case ItemAttr::Height:
        SetRowHeight(Index, value.toFloat());
        break;
    case ItemAttr::BackColor:
        SetItemCells(Index, CellAttr::BackColor, value);
        break;
    case ItemAttr::ForeColor:
        SetItemCells(Index, CellAttr::ForeColor, value);
        break;
    case ItemAttr::FontBold:
        SetItemCells(Index, CellAttr::FontBold, value);
        break;
    }
}

void GridStore::SetItemFlag(int32_t Index, uint16_t flag, bool value)
{
    ItemRecord &item = items.At(Index);
    if (value)
        item.Flags |= flag;
    else
        item.Flags &= ~flag;
    RequestRepaint();
}

void GridStore::SetItemSelected(int32_t Index, bool value)
{
    items.Select(Index, value);
    RequestRepaint();
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
        items.CheckPosition(value);
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
    items.CheckPosition(lRow);
    CheckColumnPosition(lCol);
    ClearSelection();
    SetCurrentCell(lRow, lCol);
    Q_EMIT ScrollIntoViewRequested(lRow, lCol);
    items.Select(lRow, true);
    RequestRepaint();
}

bool GridStore::MoveCurrentCell(int32_t row, int32_t col, bool scroll, bool force)
{
    if (row != -1)
        items.CheckPosition(row);
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
