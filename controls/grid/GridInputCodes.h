#pragma once

#include <Qt>
#include <cstdint>

// The host's numbering of keys, buttons and modifier keys, as the grid's
// events carry them: key codes of a standard keyboard (Enter 13, Escape 27,
// Up 38, F2 113, A 65 ...), buttons 1 left, 2 right, 4 middle, and Shift
// bits 1 Shift, 2 Ctrl, 4 Alt.
namespace HostCodes {
constexpr int32_t CodeBack = 8;
constexpr int32_t CodeTab = 9;
constexpr int32_t CodeReturn = 13;
constexpr int32_t CodeEscape = 27;
constexpr int32_t CodeSpace = 32;
constexpr int32_t CodePageUp = 33;
constexpr int32_t CodePageDown = 34;
constexpr int32_t CodeEnd = 35;
constexpr int32_t CodeHome = 36;
constexpr int32_t CodeLeft = 37;
constexpr int32_t CodeUp = 38;
constexpr int32_t CodeRight = 39;
constexpr int32_t CodeDown = 40;
constexpr int32_t CodeA = 65;
constexpr int32_t CodeF2 = 113;
constexpr int32_t ShiftMask = 1;
constexpr int32_t CtrlMask = 2;
constexpr int32_t AltMask = 4;

// 0 for a key the host's keyboard has no code for.
int32_t KeyCode(int qtKey);
int32_t Shift(Qt::KeyboardModifiers modifiers);
// One button, or the buttons held together.
int32_t Button(Qt::MouseButton button);
int32_t Buttons(Qt::MouseButtons buttons);
} // namespace HostCodes
