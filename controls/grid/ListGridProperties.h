#pragma once

#include "controls/PropertyTable.h"
#include "util/Colour.h"

#include <QString>
#include <cstdint>

// The description of a font in the form QFont::toString() gives, so that
// this layer can name one without QtGui.
QString FontDescription(const QString &name, double pointSize, bool bold);

// The grid's design-time settings. Their keys and defaults live in one table
// (Table()), which initialises a fresh grid, reads a saved one and writes it.
// The store reads the ones that shape rows and cells through GridStore's
// members; the others are kept here for the view.
struct ListGridProperties {
    // What the grid's surroundings supply: the description of the host's font.
    struct Host {
        QString Font = FontDescription(QStringLiteral("Tahoma"), 8.25, false);
    };

    // The persisted properties in reading order; the font is written first.
    static const PropertyTable<ListGridProperties, Host> &Table();

    // A fresh grid on a host with the default font.
    ListGridProperties();

    // A grid newly placed on a form: every property takes its default; no
    // colour preset is applied.
    void Init(const Host &host);
    // Every key read with its default as the fallback and stored as read:
    // no range checks, no preset. The caller applies FormatString and the
    // ThemeColor preset afterwards.
    void Read(const PropertyStore &store, const Host &host);
    // Only the values that differ from their defaults are stored.
    void Write(PropertyStore &store, const Host &host) const;

    // Overwrites the six colours that ThemeColor 1, 2 or 3 stands for; any
    // other ThemeColor leaves them alone.
    void ApplyThemeColor();
    // The grid's font name: the family part of the description.
    QString FontName() const;

    bool ApplySelectionToImages{};
    OleColour BackColor{};
    OleColour BackColorBkg{};
    OleColour BackColorEdit{};
    OleColour BackColorFixed{};
    OleColour BackColorSel{};
    OleColour ForeColor{};
    OleColour ForeColorEdit{};
    OleColour ForeColorFixed{};
    OleColour ForeColorHdr{};
    OleColour ForeColorSel{};
    OleColour ForeColorTotals{};
    OleColour GridColor{};
    OleColour ProgressBarColor{};
    bool AlphaBlendSelection{};
    int32_t BorderStyle{};
    bool DisplayEllipsis{};
    int32_t FocusRectMode{};
    OleColour FocusRectColor{};
    int32_t FocusRectStyle{};
    bool GridLines{};
    int32_t GridLineWidth{};
    int32_t ThemeColor{};
    int32_t ThemeStyle{};
    int32_t AllowUserResizing{};
    bool AutoSizeRow{};
    bool CheckBoxes{};
    bool ColumnDrag{};
    bool ColumnHeaders{};
    bool ColumnSort{};
    bool Editable{};
    int32_t EditTrigger{};
    bool FullRowSelect{};
    bool HideSelection{};
    bool HotHeaderTracking{};
    bool MultiSelect{};
    bool Redraw{};
    bool ScrollTrack{};
    bool TrackEdits{};
    int32_t CacheIncrement{};
    bool Enabled{};
    QString FormatString;
    bool Locked{};
    int32_t RowHeightMax{};
    int32_t RowHeightMin{};
    int32_t ScaleUnits{}; // 1 twips
    int32_t SearchColumn{};
    QString Font; // a QFont::toString() description
};
