#pragma once

#include <QString>
#include <cstdint>

// The leading-number rule for text typed as a number: the longest leading
// decimal number (sign, digits, decimal point, exponent), blanks, tabs and
// line feeds ignored anywhere, "&H" / "&O" for hexadecimal and octal. Text
// that does not start with a number reads as 0.
double LeadingNumber(const QString &text);

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value);

// RoundHalfEven into a 32-bit signed integer; throws OverflowError when the
// rounded value lies outside the 32-bit range.
int32_t RoundToLong(double value);

// The leading number of text, rounded to a 32-bit integer (OverflowError
// when out of range).
int32_t LeadingLong(const QString &text);

// A 32-bit value stored into a 16-bit field; throws OverflowError when it
// does not fit.
int16_t ToInteger(int32_t value);
