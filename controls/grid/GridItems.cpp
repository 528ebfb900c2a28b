#include "controls/grid/GridItems.h"

#include "platform/Allocator.h"
#include "util/Errors.h"

#include <QStringList>
#include <algorithm>

GridItems::GridItems(GridFormats &shared, const std::vector<ColumnRecord> &shaping) : formats(shared), columns(shaping)
{
    Clear();
}

void GridItems::CheckPosition(int32_t position) const
{
    if (position < 0 || position > lastIndex)
        throw SubscriptError();
}

ItemRecord &GridItems::At(int32_t position)
{
    CheckPosition(position);
    return items[Slot(position)];
}

const ItemRecord &GridItems::At(int32_t position) const
{
    CheckPosition(position);
    return items[Slot(position)];
}

size_t GridItems::CellIndex(int32_t position, int32_t column) const
{
    CheckPosition(position);
    if (column < 0 || size_t(column) >= cellStride)
        throw SubscriptError();
    const size_t index = Slot(position) * cellStride + size_t(column);
    if (cells[index].FormatIndex == CellRecord::NoCell)
        throw SubscriptError();
    return index;
}

const CellRecord *GridItems::CellIn(int32_t position, int32_t column) const
{
    CheckPosition(position);
    if (column < 0 || size_t(column) >= cellStride)
        return nullptr;
    const CellRecord &cell = cells[Slot(position) * cellStride + size_t(column)];
    return cell.FormatIndex == CellRecord::NoCell ? nullptr : &cell;
}

const CompactText &GridItems::TextIn(int32_t position, int32_t column) const
{
    static const CompactText none;
    return CellIn(position, column) ? cellTexts[Slot(position) * cellStride + size_t(column)] : none;
}

// ---- adding and removing ------------------------------------------------------

int32_t GridItems::Insert(
    int32_t Index, const QString &text, bool checked, int16_t format, int32_t height, int32_t spare)
{
    ++lastIndex;
    if (lastIndex >= static_cast<int32_t>(items.size()))
        ResizeSlots(static_cast<size_t>(lastIndex) + spare + 1);

    int32_t position = lastIndex;
    if (Index > 0 && Index < lastIndex) {
        for (int32_t p = lastIndex; p > Index; --p)
            itemOrder[p] = itemOrder[p - 1];
        position = Index;
    }
    itemOrder[position] = lastIndex;

    ResetSlot(lastIndex, format, height);
    CompactText *rowTexts = &cellTexts[size_t(lastIndex) * cellStride];
    if (columns.size() > 1 && !text.isEmpty()) {
        const QStringList parts = text.split(u'\t');
        const size_t count = std::min(static_cast<size_t>(parts.size()), columns.size());
        for (size_t c = 0; c < count; ++c)
            rowTexts[c] = parts[static_cast<int>(c)];
    } else {
        rowTexts[0] = text;
    }
    if (checked)
        items[size_t(lastIndex)].Flags |= ItemFlagChecked;
    return position;
}

void GridItems::Append(int32_t count, int16_t format, int32_t height, int32_t spare)
{
    const size_t slots = size_t(lastIndex + count) + size_t(spare) + 1;
    if (slots > items.size()) {
        ReserveSlots(slots);
        ResizeSlots(slots);
    }
    for (int32_t k = 0; k < count; ++k) {
        ++lastIndex;
        itemOrder[lastIndex] = lastIndex;
        ResetSlot(lastIndex, format, height);
    }
}

// A storage slot may hold a stale copy of a removed row: everything is set
// afresh, and the new cells share the given format.
void GridItems::ResetSlot(int32_t slot, int16_t format, int32_t height)
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
            formats.Assign(rowCells[c], format);
        }
    }
}

bool GridItems::Remove(int32_t position, int32_t spare)
{
    CheckPosition(position);
    const int32_t slot = itemOrder[position];
    const bool wasSelected = (items[slot].Flags & ItemFlagSelected) != 0;

    ReleaseFormats(slot);
    std::move(items.begin() + slot + 1, items.begin() + lastIndex + 1, items.begin() + slot);
    const size_t first = size_t(slot) * cellStride, end = size_t(lastIndex + 1) * cellStride;
    std::move(cells.begin() + long(first + cellStride), cells.begin() + long(end), cells.begin() + long(first));
    std::move(
        cellTexts.begin() + long(first + cellStride), cellTexts.begin() + long(end), cellTexts.begin() + long(first));
    for (int32_t p = position; p < lastIndex; ++p)
        itemOrder[p] = itemOrder[p + 1];
    for (int32_t p = 0; p < lastIndex; ++p) {
        if (itemOrder[p] > slot)
            --itemOrder[p];
    }
    --lastIndex;

    const int32_t highestSlot = static_cast<int32_t>(items.size()) - 1;
    if (lastIndex >= 0 && lastIndex + spare < highestSlot)
        ResizeSlots(static_cast<size_t>(lastIndex) + 1);
    RebuildSelectedSlots();
    return wasSelected;
}

void GridItems::ReleaseFormats(int32_t slot)
{
    for (size_t c = 0; c < cellStride; ++c)
        formats.Release(cells[size_t(slot) * cellStride + c]);
}

void GridItems::Clear()
{
    items.assign(1, ItemRecord());
    itemOrder.assign(1, 0);
    cellStride = columns.size();
    cells.assign(cellStride, CellRecord());
    cellTexts.assign(cellStride, CompactText());
    formats.Clear();
    selectedSlots.clear();
    lastIndex = -1;
}

void GridItems::ReserveSlots(size_t slots)
{
    items.reserve(slots);
    itemOrder.reserve(slots);
    cells.reserve(slots * cellStride);
    cellTexts.reserve(slots * cellStride);
    AdviseLargePages(items.data(), items.capacity() * sizeof(ItemRecord));
    AdviseLargePages(cells.data(), cells.capacity() * sizeof(CellRecord));
    AdviseLargePages(cellTexts.data(), cellTexts.capacity() * sizeof(CompactText));
}

// Storage for count slots; a new slot's cells are none until its row is added.
void GridItems::ResizeSlots(size_t count)
{
    items.resize(count);
    itemOrder.resize(count, 0);
    cells.resize(count * cellStride);
    cellTexts.resize(count * cellStride);
}

void GridItems::Widen(size_t columnCount)
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

// ---- selection and order ------------------------------------------------------

bool GridItems::Select(int32_t position, bool value)
{
    CheckPosition(position);
    const int32_t slot = itemOrder[position];
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
void GridItems::RebuildSelectedSlots()
{
    selectedSlots.clear();
    for (int32_t s = 0; s <= lastIndex; ++s) {
        if ((items[static_cast<size_t>(s)].Flags & ItemFlagSelected) != 0)
            selectedSlots.insert(s);
    }
}

// Costs the rows selected, not the rows there are.
bool GridItems::ClearSelection()
{
    const bool any = !selectedSlots.empty();
    for (int32_t slot : selectedSlots)
        items[static_cast<size_t>(slot)].Flags &= ~ItemFlagSelected;
    selectedSlots.clear();
    return any;
}

int32_t GridItems::CheckedCount() const
{
    int32_t count = 0;
    for (int32_t p = 0; p <= lastIndex; ++p)
        count += (items[Slot(p)].Flags & ItemFlagChecked) ? 1 : 0;
    return count;
}

std::vector<int32_t> GridItems::Order() const
{
    return std::vector<int32_t>(itemOrder.begin(), itemOrder.begin() + (lastIndex + 1));
}

int32_t GridItems::Reorder(const std::vector<int32_t> &order, int32_t position)
{
    if (order.size() != static_cast<size_t>(lastIndex + 1))
        throw SubscriptError();
    std::vector<bool> seen(order.size(), false);
    for (const int32_t slot : order) {
        if (slot < 0 || slot > lastIndex || seen[static_cast<size_t>(slot)])
            throw SubscriptError();
        seen[static_cast<size_t>(slot)] = true;
    }
    const int32_t slot = position >= 0 ? itemOrder[position] : -1;
    std::copy(order.begin(), order.end(), itemOrder.begin());
    if (slot < 0)
        return position;
    return static_cast<int32_t>(std::find(order.begin(), order.end(), slot) - order.begin());
}
