#include "controls/grid/GridInputCodes.h"

#include <utility>

namespace HostCodes {

int32_t KeyCode(int qtKey)
{
    // Letters and digits carry their capital character's code on both sides.
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    static const std::pair<int, int32_t> named[] = {
        {Qt::Key_Backspace, CodeBack},
        {Qt::Key_Tab, CodeTab},
        {Qt::Key_Backtab, CodeTab},
        {Qt::Key_Return, CodeReturn},
        {Qt::Key_Enter, CodeReturn},
        {Qt::Key_Escape, CodeEscape},
        {Qt::Key_Space, CodeSpace},
        {Qt::Key_PageUp, CodePageUp},
        {Qt::Key_PageDown, CodePageDown},
        {Qt::Key_End, CodeEnd},
        {Qt::Key_Home, CodeHome},
        {Qt::Key_Left, CodeLeft},
        {Qt::Key_Up, CodeUp},
        {Qt::Key_Right, CodeRight},
        {Qt::Key_Down, CodeDown},
        {Qt::Key_Shift, 16},
        {Qt::Key_Control, 17},
        {Qt::Key_Alt, 18},
        {Qt::Key_Pause, 19},
        {Qt::Key_CapsLock, 20},
        {Qt::Key_Insert, 45},
        {Qt::Key_Delete, 46},
        {Qt::Key_Menu, 93},
        {Qt::Key_NumLock, 144},
        {Qt::Key_ScrollLock, 145},
        {Qt::Key_Semicolon, 186},
        {Qt::Key_Equal, 187},
        {Qt::Key_Comma, 188},
        {Qt::Key_Minus, 189},
        {Qt::Key_Period, 190},
        {Qt::Key_Slash, 191},
        {Qt::Key_QuoteLeft, 192},
        {Qt::Key_BracketLeft, 219},
        {Qt::Key_Backslash, 220},
        {Qt::Key_BracketRight, 221},
        {Qt::Key_Apostrophe, 222},
    };
    for (const auto &[key, code] : named) {
        if (key == qtKey)
            return code;
    }
    return 0;
}

int32_t Shift(Qt::KeyboardModifiers modifiers)
{
    return (modifiers.testFlag(Qt::ShiftModifier) ? ShiftMask : 0) |
        (modifiers.testFlag(Qt::ControlModifier) ? CtrlMask : 0) | (modifiers.testFlag(Qt::AltModifier) ? AltMask : 0);
}

int32_t Button(Qt::MouseButton button)
{
    return Buttons(button);
}

int32_t Buttons(Qt::MouseButtons buttons)
{
    return (buttons.testFlag(Qt::LeftButton) ? 1 : 0) | (buttons.testFlag(Qt::RightButton) ? 2 : 0) |
        (buttons.testFlag(Qt::MiddleButton) ? 4 : 0);
}

} // namespace HostCodes
