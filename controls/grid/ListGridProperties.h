#pragma once

#include "util/Colour.h"

#include <QString>
#include <cstdint>

// The grid's design-time settings with their defaults, in the order in which
// they are saved. The store reads the ones that shape rows and cells through
// GridStore's members; the others are kept here for the view.
struct ListGridProperties {
    bool ApplySelectionToImages = true;
    OleColour BackColor = 0x80000005;       // window background
    OleColour BackColorBkg = 0x808080;
    OleColour BackColorEdit = 0xC0FFFF;
    OleColour BackColorFixed = 0x8000000F;  // button face
    OleColour BackColorSel = 0x8000000D;    // highlight
    OleColour ForeColor = 0x80000008;       // window text
    OleColour ForeColorEdit = 0x80000008;
    OleColour ForeColorFixed = 0x80000012;  // button text
    OleColour ForeColorHdr = 0x80000008;
    OleColour ForeColorSel = 0x8000000E;    // highlight text
    OleColour ForeColorTotals = 255;
    OleColour GridColor = 0xC0C0C0;
    OleColour ProgressBarColor = 0xA08040;
    bool AlphaBlendSelection = false;
    int32_t BorderStyle = 1;
    bool DisplayEllipsis = true;
    int32_t FocusRectMode = 1;
    OleColour FocusRectColor = 65535;       // yellow
    int32_t FocusRectStyle = 1;
    bool GridLines = true;
    int32_t GridLineWidth = 1;
    int32_t ThemeColor = 1;
    int32_t ThemeStyle = 2;
    int32_t AllowUserResizing = 0;
    bool AutoSizeRow = false;
    bool CheckBoxes = false;
    bool ColumnDrag = false;
    bool ColumnHeaders = true;
    bool ColumnSort = false;
    bool Editable = false;
    int32_t EditTrigger = 0;
    bool FullRowSelect = true;
    bool HideSelection = true;
    bool HotHeaderTracking = true;
    bool MultiSelect = false;
    bool Redraw = true;
    bool ScrollTrack = true;
    bool TrackEdits = false;
    int32_t CacheIncrement = 10;
    bool Enabled = true;
    QString FormatString;
    bool Locked = false;
    int32_t RowHeightMax = 0;
    int32_t RowHeightMin = 0;
    int32_t ScaleUnits = 1;                 // twips
    int32_t SearchColumn = 0;
    QString FontName = QStringLiteral("Tahoma");
    double FontSize = 8.25;
    bool FontBold = false;
};
