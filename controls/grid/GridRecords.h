#pragma once

#include "util/Colour.h"
#include "util/CompactText.h"

#include <QString>
#include <cstdint>
#include <vector>

// Row flag bits.
constexpr uint16_t ItemFlagChecked = 0x02;
constexpr uint16_t ItemFlagSelected = 0x04;

// Cell flag bits. In a progress column (type 4) the same word holds the
// progress value instead.
constexpr uint16_t CellFlagChecked = 0x02;
constexpr uint16_t CellFlagChanged = 0x08;
constexpr uint16_t CellFlagBold = 0x10;
constexpr uint16_t CellFlagItalic = 0x20;
constexpr uint16_t CellFlagUnderline = 0x40;
constexpr uint16_t CellFlagWordWrap = 0x80;

// Column data types.
enum ColumnType : int16_t {
    ColTypeText = 0,
    ColTypeNumber = 1,
    ColTypeDate = 2,
    ColTypeCheckBox = 3,
    ColTypeProgress = 4,
    ColTypeCustom = 5,
};

// A cell's attributes; its text is kept apart (GridStore), so that a table
// of a million rows keeps each cell in 14 bytes.
struct CellRecord {
    static constexpr int16_t NoCell = -2; // the row was added before the column existed

    int16_t Alignment = 0;
    int16_t FormatIndex = NoCell; // into the shared format table
    uint16_t Flags = 0;
};

struct ItemRecord {
    int32_t Height = 0; // pixels
    int32_t Image = 0;  // image index; -k means the image with index k, given by its key
    int32_t ItemData = 0;
    uint16_t Flags = 0;
    bool Visible = true;
    CompactText Tag;
};

// A cell format shared by every cell with the same colours, image and font.
struct FormatRecord {
    OleColour BackColor = 0;
    OleColour ForeColor = 0;
    int16_t Image = 0;
    QString FontName;
    int32_t RefCount = 0; // 0 = free slot
};

// A column as data; its pixel geometry and bound editor are the view's.
struct ColumnRecord {
    float Width = 0; // in the grid's scale units
    int32_t Alignment = 0;
    int32_t ImageAlignment = 0;
    int32_t SortOrder = 0;
    int16_t ColType = 0;
    uint16_t Flags = 0; // CellFlagWordWrap
    bool Visible = false;
    QString Heading;
    QString Format;
    QString InputFilter;
    QString Tag;
};
