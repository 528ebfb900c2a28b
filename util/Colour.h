#pragma once

#include <cstdint>

// Colour values are 32-bit numbers 0x00BBGGRR (red in the low byte). A value
// with the high bit set names a system colour whose index is in the low byte;
// the drawing side translates it before use.
using OleColour = uint32_t;

constexpr OleColour SystemColourFlag = 0x80000000u;

constexpr int ClampChannel(int v)
{
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

// Channels above 255 count as 255, as the platform's RGB function has it.
constexpr OleColour RGB(int red, int green, int blue)
{
    return static_cast<OleColour>(ClampChannel(red) | (ClampChannel(green) << 8) | (ClampChannel(blue) << 16));
}

constexpr int RedOf(OleColour c)
{
    return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(OleColour c)
{
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(OleColour c)
{
    return static_cast<int>((c >> 16) & 0xFF);
}

constexpr bool IsSystemColour(OleColour c)
{
    return (c & SystemColourFlag) != 0;
}
constexpr int SystemColourIndex(OleColour c)
{
    return static_cast<int>(c & 0xFF);
}
constexpr OleColour SystemColour(int index)
{
    return SystemColourFlag | static_cast<OleColour>(index & 0xFF);
}

// The grey of a colour: each channel as a real quotient rounded half to even,
// then their mean rounded the same way.
OleColour GreyOf(OleColour c);
