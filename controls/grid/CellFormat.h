#pragma once

#include <QString>

// The text a cell shows for its column's display format; the stored text is
// never changed. Number pictures: "0" a digit always shown, "#" a digit
// shown when there is one, "." the decimal point with as many decimals as
// placeholders after it, "," anywhere before it groups thousands. Date
// pictures ("yyyy", "mm", "dd", "hh", "nn", "ss" and their short forms)
// apply to texts that read as ISO dates. A text that is neither, or an
// empty format, shows as it stands.
QString FormatCellText(const QString &text, const QString &format);
