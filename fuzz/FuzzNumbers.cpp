// Fuzzes the number helpers: the leading-number rule, rounding into 32 and
// 16 bits, and number pictures. Out-of-range values must be reported as
// OverflowError, never by undefined behaviour.
#include "util/Errors.h"
#include "util/NumberPicture.h"
#include "util/Numbers.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 8)
        return 0;
    int64_t value = 0;
    std::memcpy(&value, data, sizeof value);
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data) + 8, qsizetype(size - 8));

    const double number = LeadingNumber(text);
    const double rounded = RoundHalfEven(number);
    if (std::isfinite(number) && (std::fabs(rounded - number) > 0.5 || rounded != std::nearbyint(rounded)))
        std::abort();
    try {
        const int32_t whole = LeadingLong(text);
        if (double(whole) != rounded)
            std::abort();
        ToInteger(whole);
    } catch (const OverflowError &) {
    }

    // A picture with digits beyond its placeholders still shows every digit.
    const QString formatted = FormatNumber(value, text);
    if (text.isEmpty() && formatted != QString::number(value))
        std::abort();
    return 0;
}
