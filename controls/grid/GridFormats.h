#pragma once

#include "controls/grid/GridRecords.h"

#include <cstdint>
#include <vector>

// The format table that cells share: every cell with the same colours, image
// and font name points at one record, which counts its cells. A record no
// cell uses is a free slot that the next new format takes.
class GridFormats {
public:
    // Empties the table to one free slot.
    void Clear();
    // The cell's format; base for a cell that has none yet.
    FormatRecord Of(const CellRecord &cell, const FormatRecord &base) const;
    // Moves the cell to the record equal to wanted, made when there is none.
    void Give(CellRecord &cell, const FormatRecord &wanted);
    // The slot of the record equal to wanted, made when there is none; its
    // count is left to Assign.
    int16_t Intern(const FormatRecord &wanted);
    // The cell uses slot from now on.
    void Assign(CellRecord &cell, int16_t slot);
    // The cell is going away.
    void Release(const CellRecord &cell);
    const std::vector<FormatRecord> &Records() const { return formats; }

private:
    std::vector<FormatRecord> formats{1};
};
