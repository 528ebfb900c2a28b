#include "controls/grid/ListGridProperties.h"

#include "controls/PropertyStore.h"

#include <array>

namespace {

struct ThemeColorPreset {
    int32_t ThemeColor;
    OleColour BackColor;
    OleColour ForeColor;
    OleColour BackColorSel;
    OleColour ForeColorSel;
    OleColour FocusRectColor;
    OleColour GridColor;
};

constexpr OleColour WindowBackground = 0x80000005;
constexpr OleColour WindowText = 0x80000008;

constexpr std::array<ThemeColorPreset, 3> ThemeColorPresets = {{
    {1, WindowBackground, WindowText, 0x8000000D, 0x8000000E, RGB(255, 255, 0), RGB(192, 192, 192)},
    {2, WindowBackground, WindowText, RGB(201, 216, 241), RGB(59, 97, 156), RGB(59, 97, 156), RGB(235, 235, 235)},
    {3, WindowBackground, WindowText, RGB(181, 197, 143), RGB(247, 249, 225), RGB(63, 93, 56), RGB(192, 255, 192)},
}};

} // namespace

QString FontDescription(const QString &name, double pointSize, bool bold)
{
    // family, point size, pixel size, style hint, weight, style, underline,
    // strike-out, fixed pitch, and the remaining fields at their defaults
    return QStringLiteral("%1,%2,-1,5,%3,0,0,0,0,0,0,0,0,0,0,1").arg(name).arg(pointSize).arg(bold ? 700 : 400);
}

const PropertyTable<ListGridProperties, ListGridProperties::Host> &ListGridProperties::Table()
{
    using P = ListGridProperties;
    using T = PropertyTable<P, Host>;
    // Reading order. Saving puts the font first (rank 0) and FocusRectMode
    // before FocusRectColor (ranks 2 and 3); the rest keep this order.
    static const T table = {
        T::Property<&P::ApplySelectionToImages>("ApplySelectionToImages", true).SavedAt(1),
        T::Property<&P::BackColor>("BackColor", 0x80000005u).SavedAt(1), // window background
        T::Property<&P::BackColorBkg>("BackColorBkg", 0x808080u).SavedAt(1),
        T::Property<&P::BackColorEdit>("BackColorEdit", 0xC0FFFFu).SavedAt(1),
        T::Property<&P::BackColorFixed>("BackColorFixed", 0x8000000Fu).SavedAt(1), // button face
        T::Property<&P::BackColorSel>("BackColorSel", 0x8000000Du).SavedAt(1),     // highlight
        T::Property<&P::ForeColor>("ForeColor", 0x80000008u).SavedAt(1),           // window text
        T::Property<&P::ForeColorEdit>("ForeColorEdit", 0x80000008u).SavedAt(1),
        T::Property<&P::ForeColorFixed>("ForeColorFixed", 0x80000012u).SavedAt(1), // button text
        T::Property<&P::ForeColorHdr>("ForeColorHdr", 0x80000008u).SavedAt(1),
        T::Property<&P::ForeColorSel>("ForeColorSel", 0x8000000Eu).SavedAt(1), // highlight text
        T::Property<&P::ForeColorTotals>("ForeColorTotals", 255u).SavedAt(1),
        T::Property<&P::GridColor>("GridColor", 0xC0C0C0u).SavedAt(1),
        T::Property<&P::ProgressBarColor>("ProgressBarColor", 0xA08040u).SavedAt(1),
        T::Property<&P::AlphaBlendSelection>("AlphaBlendSelection", false).SavedAt(1),
        T::Property<&P::BorderStyle>("BorderStyle", 1).SavedAt(1),
        T::Property<&P::DisplayEllipsis>("DisplayEllipsis", true).SavedAt(1),
        T::Property<&P::FocusRectColor>("FocusRectColor", 65535u).SavedAt(3), // yellow
        T::Property<&P::FocusRectMode>("FocusRectMode", 1).SavedAt(2),
        T::Property<&P::FocusRectStyle>("FocusRectStyle", 1).SavedAt(3),
        T::Property<&P::GridLines>("GridLines", true).SavedAt(3),
        T::Property<&P::GridLineWidth>("GridLineWidth", 1).SavedAt(3),
        T::Property<&P::ThemeColor>("ThemeColor", 1).SavedAt(3),
        T::Property<&P::ThemeStyle>("ThemeStyle", 2).SavedAt(3),
        T::Property<&P::AllowUserResizing>("AllowUserResizing", 0).SavedAt(3),
        T::Property<&P::AutoSizeRow>("AutoSizeRow", false).SavedAt(3),
        T::Property<&P::CheckBoxes>("Checkboxes", false).SavedAt(3),
        T::Property<&P::ColumnDrag>("ColumnDrag", false).SavedAt(3),
        T::Property<&P::ColumnHeaders>("ColumnHeaders", true).SavedAt(3),
        T::Property<&P::ColumnSort>("ColumnSort", false).SavedAt(3),
        T::Property<&P::Editable>("Editable", false).SavedAt(3),
        T::Property<&P::EditTrigger>("EditTrigger", 0).SavedAt(3),
        T::Property<&P::FullRowSelect>("FullRowSelect", true).SavedAt(3),
        T::Property<&P::HideSelection>("HideSelection", true).SavedAt(3),
        T::Property<&P::HotHeaderTracking>("HotHeaderTracking", true).SavedAt(3),
        T::Property<&P::MultiSelect>("MultiSelect", false).SavedAt(3),
        T::Property<&P::Redraw>("Redraw", true).SavedAt(3),
        T::Property<&P::ScrollTrack>("ScrollTrack", true).SavedAt(3),
        T::Property<&P::TrackEdits>("TrackEdits", false).SavedAt(3),
        T::Property<&P::CacheIncrement>("CacheIncrement", 10).SavedAt(3),
        T::Property<&P::Enabled>("Enabled", true).SavedAt(3),
        T::Property<&P::FormatString>("FormatString", QString()).SavedAt(3),
        T::Property<&P::Locked>("Locked", false).SavedAt(3),
        T::Property<&P::RowHeightMax>("RowHeightMax", 0).SavedAt(3),
        T::Property<&P::RowHeightMin>("RowHeightMin", 0).SavedAt(3),
        T::Property<&P::ScaleUnits>("ScaleUnits", 1).SavedAt(3),
        T::Property<&P::SearchColumn>("SearchColumn", 0).SavedAt(3),
        T::Property<&P::Font>("Font", &Host::Font).SavedAt(0),
    };
    return table;
}

ListGridProperties::ListGridProperties()
{
    Init(Host());
}

void ListGridProperties::Init(const Host &host)
{
    Table().Init(*this, host);
}

void ListGridProperties::Read(const PropertyStore &store, const Host &host)
{
    Table().Read(*this, store, host);
}

void ListGridProperties::Write(PropertyStore &store, const Host &host) const
{
    Table().Write(*this, store, host);
}

void ListGridProperties::ApplyThemeColor()
{
    for (const ThemeColorPreset &preset : ThemeColorPresets) {
        if (preset.ThemeColor != ThemeColor)
            continue;
        BackColor = preset.BackColor;
        ForeColor = preset.ForeColor;
        BackColorSel = preset.BackColorSel;
        ForeColorSel = preset.ForeColorSel;
        FocusRectColor = preset.FocusRectColor;
        GridColor = preset.GridColor;
    }
}

// Asked for every new row: the text before the first comma (all of it
// without one), found without splitting the whole description.
QString ListGridProperties::FontName() const
{
    return Font.left(Font.indexOf(u','));
}
