#pragma once

#include "util/Colour.h"

#include <QColor>
#include <QPalette>
#include <optional>

// Colour values as drawn. A system colour (high bit set) is looked up in
// the palette role that plays the part of that Windows system colour index;
// any other value is plain 0x00BBGGRR.
QColor ToQColor(OleColour c, const QPalette &palette);

// A colour as a plain 0x00BBGGRR value (alpha dropped).
OleColour ToOleColour(const QColor &c);

// The plain value that c stands for: system colours looked up, others unchanged.
OleColour ResolveColour(OleColour c, const QPalette &palette);

// The system colour that is looked up in the given role, if one is.
std::optional<OleColour> SystemColourOf(QPalette::ColorRole role);
