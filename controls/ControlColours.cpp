#include "controls/ControlColours.h"

namespace {

// Windows system colour indexes 0 to 30 and the palette roles that fill the
// same part. The disabled text colour (17) comes from the disabled group.
struct SystemRole {
    QPalette::ColorGroup Group;
    QPalette::ColorRole Role;
};

constexpr QPalette::ColorGroup Current = QPalette::Current;

constexpr SystemRole SystemRoles[] = {
    {Current, QPalette::Button},          //  0 scroll bar
    {Current, QPalette::Dark},            //  1 desktop
    {Current, QPalette::Highlight},       //  2 active caption
    {Current, QPalette::Mid},             //  3 inactive caption
    {Current, QPalette::Window},          //  4 menu
    {Current, QPalette::Base},            //  5 window background
    {Current, QPalette::Shadow},          //  6 window frame
    {Current, QPalette::WindowText},      //  7 menu text
    {Current, QPalette::Text},            //  8 window text
    {Current, QPalette::HighlightedText}, //  9 caption text
    {Current, QPalette::Button},          // 10 active border
    {Current, QPalette::Button},          // 11 inactive border
    {Current, QPalette::Mid},             // 12 application workspace
    {Current, QPalette::Highlight},       // 13 highlight
    {Current, QPalette::HighlightedText}, // 14 highlight text
    {Current, QPalette::Button},          // 15 button face
    {Current, QPalette::Dark},            // 16 button shadow
    {QPalette::Disabled, QPalette::Text}, // 17 grey text
    {Current, QPalette::ButtonText},      // 18 button text
    {Current, QPalette::WindowText},      // 19 inactive caption text
    {Current, QPalette::Light},           // 20 3D highlight
    {Current, QPalette::Shadow},          // 21 3D dark shadow
    {Current, QPalette::Midlight},        // 22 3D light
    {Current, QPalette::ToolTipText},     // 23 info text
    {Current, QPalette::ToolTipBase},     // 24 info background
    {Current, QPalette::Button},          // 25 (unused index)
    {Current, QPalette::Link},            // 26 hot-tracked item
    {Current, QPalette::Highlight},       // 27 active caption gradient
    {Current, QPalette::Mid},             // 28 inactive caption gradient
    {Current, QPalette::Highlight},       // 29 menu highlight
    {Current, QPalette::Window},          // 30 menu bar
};

constexpr int SystemRoleCount = static_cast<int>(sizeof(SystemRoles) / sizeof(SystemRoles[0]));

} // namespace

QColor ToQColor(OleColour c, const QPalette &palette)
{
    if (!IsSystemColour(c))
        return QColor(RedOf(c), GreenOf(c), BlueOf(c));
    const int index = SystemColourIndex(c);
    if (index >= SystemRoleCount)
        return QColor(Qt::black);
    const SystemRole &entry = SystemRoles[index];
    return palette.color(entry.Group, entry.Role);
}

OleColour ToOleColour(const QColor &c)
{
    return RGB(c.red(), c.green(), c.blue());
}

OleColour ResolveColour(OleColour c, const QPalette &palette)
{
    return IsSystemColour(c) ? ToOleColour(ToQColor(c, palette)) : c;
}

std::optional<OleColour> SystemColourOf(QPalette::ColorRole role)
{
    for (int index = 0; index < SystemRoleCount; ++index) {
        if (SystemRoles[index].Group == Current && SystemRoles[index].Role == role)
            return SystemColour(index);
    }
    return std::nullopt;
}
