#include "util/Numbers.h"

#include "util/Errors.h"

#include <cmath>
#include <limits>

namespace {

bool IsIgnored(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

QString WithoutIgnoredCharacters(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (!IsIgnored(c))
            out.append(c);
    }
    return out;
}

int DigitValue(QChar c)
{
    const char16_t u = c.toUpper().unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// "&H1F" / "&O17": the digits of the radix after the prefix, as a 32-bit
// two's-complement value when they fit in 32 bits.
double RadixNumber(const QString &digits, int radix)
{
    double value = 0;
    for (QChar c : digits) {
        const int d = DigitValue(c);
        if (d < 0 || d >= radix)
            break;
        value = value * radix + d;
    }
    if (value <= 4294967295.0)
        return static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(value)));
    return value;
}

int DigitRun(const QString &s, int from)
{
    int i = from;
    while (i < s.size() && s[i].isDigit() && s[i].unicode() < 128)
        ++i;
    return i - from;
}

} // namespace

double LeadingNumber(const QString &text)
{
    const QString s = WithoutIgnoredCharacters(text);
    if (s.size() >= 2 && s[0] == u'&') {
        const QChar kind = s[1].toUpper();
        if (kind == u'H')
            return RadixNumber(s.mid(2), 16);
        if (kind == u'O')
            return RadixNumber(s.mid(2), 8);
        return 0;
    }

    int i = 0;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
        ++i;
    const int intDigits = DigitRun(s, i);
    i += intDigits;
    int fracDigits = 0;
    if (i < s.size() && s[i] == u'.') {
        fracDigits = DigitRun(s, i + 1);
        i += 1 + fracDigits;
    }
    if (intDigits == 0 && fracDigits == 0)
        return 0;
    int mantissaEnd = i;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E' || s[i] == u'd' || s[i] == u'D')) {
        int j = i + 1;
        if (j < s.size() && (s[j] == u'+' || s[j] == u'-'))
            ++j;
        const int expDigits = DigitRun(s, j);
        if (expDigits > 0)
            mantissaEnd = j + expDigits;
    }
    QString number = s.left(mantissaEnd);
    for (QChar &c : number) {
        if (c == u'd' || c == u'D')
            c = u'e';
    }
    return number.toDouble();
}

double RoundHalfEven(double value)
{
    // The default floating-point rounding mode rounds halves to even.
    return std::nearbyint(value);
}

int32_t RoundToLong(double value)
{
    const double rounded = RoundHalfEven(value);
    if (!(rounded >= std::numeric_limits<int32_t>::min() && rounded <= std::numeric_limits<int32_t>::max()))
        throw OverflowError();
    return static_cast<int32_t>(rounded);
}

int32_t LeadingLong(const QString &text)
{
    return RoundToLong(LeadingNumber(text));
}

int16_t ToInteger(int32_t value)
{
    if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max())
        throw OverflowError();
    return static_cast<int16_t>(value);
}
