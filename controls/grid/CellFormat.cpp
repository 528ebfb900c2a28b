#include "controls/grid/CellFormat.h"

#include "util/Numbers.h"

#include <QDateTime>
#include <cmath>

namespace {

bool IsDatePicture(const QString &format)
{
    return format.contains(QLatin1Char('y'), Qt::CaseInsensitive) ||
        format.contains(QLatin1Char('d'), Qt::CaseInsensitive);
}

// Months are "m" and minutes "n" in the picture, "M" and "m" for Qt.
QString DatePicture(const QString &format)
{
    QString picture;
    for (const QChar c : format) {
        const QChar lower = c.toLower();
        picture += lower == QLatin1Char('m') ? QChar(QLatin1Char('M'))
            : lower == QLatin1Char('n')      ? QChar(QLatin1Char('m'))
                                             : lower;
    }
    return picture;
}

QString FormatNumberText(double value, const QString &format)
{
    const qsizetype point = format.indexOf(QLatin1Char('.'));
    const QString whole = point < 0 ? format : format.left(point);
    const QString fraction = point < 0 ? QString() : format.mid(point + 1);
    const int decimals = static_cast<int>(fraction.count(QLatin1Char('0')) + fraction.count(QLatin1Char('#')));
    const double scale = std::pow(10.0, decimals);
    const double rounded = RoundHalfEven(std::fabs(value) * scale) / scale;

    QString digits = QString::number(rounded, 'f', decimals);
    QString integer = digits.section(QLatin1Char('.'), 0, 0);
    const int minimum = static_cast<int>(whole.count(QLatin1Char('0')));
    if (integer == QLatin1String("0") && minimum == 0)
        integer.clear();
    integer = integer.rightJustified(minimum, QLatin1Char('0'));
    if (whole.contains(QLatin1Char(','))) {
        for (qsizetype at = integer.size() - 3; at > 0; at -= 3)
            integer.insert(at, QLatin1Char(','));
    }
    QString text = integer;
    if (decimals > 0)
        text += QLatin1Char('.') + digits.section(QLatin1Char('.'), 1, 1);
    return value < 0 && rounded != 0 ? QLatin1Char('-') + text : text;
}

} // namespace

QString FormatCellText(const QString &text, const QString &format)
{
    if (format.isEmpty() || text.isEmpty())
        return text;
    if (IsDatePicture(format)) {
        const QDateTime when = QDateTime::fromString(text.trimmed(), Qt::ISODate);
        if (when.isValid())
            return when.toString(DatePicture(format));
        const QDate day = QDate::fromString(text.trimmed(), Qt::ISODate);
        return day.isValid() ? day.toString(DatePicture(format)) : text;
    }
    if (!format.contains(QLatin1Char('0')) && !format.contains(QLatin1Char('#')))
        return text;
    bool number = false;
    const double value = text.trimmed().toDouble(&number);
    return number ? FormatNumberText(value, format) : text;
}
