#include "util/NumberPicture.h"

#include <QList>

namespace {

bool IsPlaceholder(QChar c)
{
    return c == u'0' || c == u'#';
}

struct PictureItem {
    QChar character;
    bool placeholder;
    bool point; // an unescaped "."
};

// The picture as items, with "\x" escapes resolved into literals.
QList<PictureItem> ParsePicture(const QString &picture)
{
    QList<PictureItem> items;
    for (int i = 0; i < picture.size(); ++i) {
        QChar c = picture[i];
        if (c == u'\\' && i + 1 < picture.size()) {
            items.append({picture[++i], false, false});
            continue;
        }
        items.append({c, IsPlaceholder(c), c == u'.'});
    }
    return items;
}

QString FormatWholePart(const QList<PictureItem> &items, const QString &digits)
{
    qsizetype remaining = digits.size();
    QString out;
    // Walk from the right so that digits fill the placeholders right-aligned.
    int firstPlaceholder = -1;
    for (int i = 0; i < items.size(); ++i) {
        if (items[i].placeholder) {
            firstPlaceholder = i;
            break;
        }
    }
    for (qsizetype i = items.size() - 1; i >= 0; --i) {
        const PictureItem &item = items[i];
        if (!item.placeholder) {
            out.prepend(item.character);
            continue;
        }
        if (i == firstPlaceholder && remaining > 0) {
            out.prepend(digits.left(remaining));
            remaining = 0;
        } else if (remaining > 0) {
            out.prepend(digits[--remaining]);
        } else if (item.character == u'0') {
            out.prepend(u'0');
        }
    }
    if (firstPlaceholder < 0)
        out.append(digits);
    return out;
}

QString FormatFractionPart(const QList<PictureItem> &items)
{
    QString out;
    for (const PictureItem &item : items) {
        if (!item.placeholder)
            out.append(item.character);
        else if (item.character == u'0')
            out.append(u'0');
    }
    return out;
}

} // namespace

QString FormatNumber(int64_t value, const QString &picture)
{
    if (picture.isEmpty())
        return QString::number(value);

    const QList<PictureItem> items = ParsePicture(picture);
    int point = -1;
    for (int i = 0; i < items.size(); ++i) {
        if (items[i].point) {
            point = i;
            break;
        }
    }
    const QList<PictureItem> whole = point < 0 ? items : items.mid(0, point);
    const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    // Zero has no significant digit: "#" shows nothing for it, "0" shows 0.
    const QString digits = magnitude == 0 ? QString() : QString::number(magnitude);

    QString out = FormatWholePart(whole, digits);
    if (point >= 0)
        out += u'.' + FormatFractionPart(items.mid(point + 1));
    if (value < 0)
        out.prepend(u'-');
    return out;
}
