#pragma once

#include <QString>
#include <cstdint>

// Formats a whole number with a number picture, as used for zero padding of
// sequence numbers: "0" is a digit always shown (zero where the number has
// none), "#" a digit shown only when the number has one, "\" shows the next
// character as it stands, "." starts the fraction part, and every other
// character is copied as it stands. Digits beyond the picture's placeholders
// go in front of the first one ("00" makes 7 into 07 and leaves 123 as 123).
// An empty picture gives the plain decimal number.
QString FormatNumber(int64_t value, const QString &picture);
