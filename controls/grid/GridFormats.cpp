#include "controls/grid/GridFormats.h"

#include "util/Numbers.h"

void GridFormats::Clear()
{
    formats.assign(1, FormatRecord());
}

FormatRecord GridFormats::Of(const CellRecord &cell, const FormatRecord &base) const
{
    return cell.FormatIndex >= 0 ? formats[cell.FormatIndex] : base;
}

void GridFormats::Give(CellRecord &cell, const FormatRecord &wanted)
{
    Assign(cell, Intern(wanted));
}

// The first record equal to wanted; otherwise wanted is written into the
// first free slot, or into a new one (the table grows ten slots at a time).
int16_t GridFormats::Intern(const FormatRecord &wanted)
{
    int32_t firstFree = -1;
    for (size_t i = 0; i < formats.size(); ++i) {
        const FormatRecord &f = formats[i];
        if (f.Image == wanted.Image && f.BackColor == wanted.BackColor && f.ForeColor == wanted.ForeColor &&
            f.FontName == wanted.FontName)
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

void GridFormats::Assign(CellRecord &cell, int16_t slot)
{
    if (slot != cell.FormatIndex) {
        ++formats[slot].RefCount;
        if (cell.FormatIndex >= 0)
            --formats[cell.FormatIndex].RefCount;
    }
    cell.FormatIndex = slot;
}

void GridFormats::Release(const CellRecord &cell)
{
    if (cell.FormatIndex >= 0 && cell.FormatIndex < static_cast<int>(formats.size()))
        --formats[cell.FormatIndex].RefCount;
}
