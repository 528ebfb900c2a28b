#pragma once

#include "controls/grid/GridFormats.h"
#include "controls/grid/GridRecords.h"

#include <QString>
#include <cstdint>
#include <set>
#include <vector>

// The rows of a grid and their cells, as storage: items in storage slots,
// the item order (position -> slot), the cells of each slot in one flat
// array by column index with their texts beside them, and the selected
// slots. Rows are addressed by position and checked: one outside the rows
// in use throws SubscriptError. What a change means to the view is the
// store's concern.
class GridItems {
public:
    // The columns shape new cells; the formats are shared with the store.
    GridItems(GridFormats &formats, const std::vector<ColumnRecord> &columns);

    int32_t Count() const { return lastIndex + 1; }
    void CheckPosition(int32_t position) const;
    ItemRecord &At(int32_t position);
    const ItemRecord &At(int32_t position) const;

    // The index of a cell for Cell and Text, checked: SubscriptError where
    // the row has no cell in that column index.
    size_t CellIndex(int32_t position, int32_t column) const;
    CellRecord &Cell(size_t index) { return cells[index]; }
    const CellRecord &Cell(size_t index) const { return cells[index]; }
    CompactText &Text(size_t index) { return cellTexts[index]; }
    const CompactText &Text(size_t index) const { return cellTexts[index]; }
    // Unchecked in the column: null, and an empty text, where there is no cell.
    const CellRecord *CellIn(int32_t position, int32_t column) const;
    const CompactText &TextIn(int32_t position, int32_t column) const;

    // A new row at position Index (1 up to the last position), or last;
    // its cells take format, split text over the columns (tabs) when there
    // are several. Room grows by spare slots at a time. Gives the position.
    int32_t Insert(int32_t Index, const QString &text, bool checked, int16_t format, int32_t height, int32_t spare);
    // count empty rows after the last, room made once.
    void Append(int32_t count, int16_t format, int32_t height, int32_t spare);
    // True when the removed row was selected. Room shrinks when more than
    // spare slots are left over.
    bool Remove(int32_t position, int32_t spare);
    // No rows, one empty slot, cells for the current columns, no formats.
    void Clear();
    // Room for a cell in every column index below columnCount; the rows
    // already there get none in the new columns.
    void Widen(size_t columnCount);

    // Sets or clears the selected flag of the row; true when it changed.
    bool Select(int32_t position, bool value);
    bool ClearSelection();
    // The storage slots of the selected rows: compare two to see whether the
    // selection changed.
    const std::set<int32_t> &SelectedSlots() const { return selectedSlots; }
    int32_t CheckedCount() const;

    // The item order over the used positions, and its replacement by a
    // permutation of itself; gives where the row at position went.
    std::vector<int32_t> Order() const;
    int32_t Reorder(const std::vector<int32_t> &order, int32_t position);

private:
    size_t Slot(int32_t position) const { return static_cast<size_t>(itemOrder[static_cast<size_t>(position)]); }
    void ResetSlot(int32_t slot, int16_t format, int32_t height);
    void ReleaseFormats(int32_t slot);
    void RebuildSelectedSlots();
    void ReserveSlots(size_t slots);
    void ResizeSlots(size_t count);

    GridFormats &formats;
    const std::vector<ColumnRecord> &columns;
    std::vector<ItemRecord> items;  // storage slots; may exceed the item count
    std::vector<int32_t> itemOrder; // position -> storage slot
    // The cells of slot s are at s * cellStride + column index, their texts
    // at the same index of cellTexts.
    std::vector<CellRecord> cells;
    std::vector<CompactText> cellTexts;
    size_t cellStride = 0;
    int32_t lastIndex = -1;
    std::set<int32_t> selectedSlots;
};
