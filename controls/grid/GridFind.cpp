#include "controls/grid/GridFind.h"

#include "controls/grid/GridStore.h"
#include "util/Errors.h"

namespace {

constexpr int64_t TypeAheadPauseMs = 1000;

// Whether c is in the bracket list list (without its brackets and "!").
bool InList(QChar c, const QString &list)
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (i + 2 < list.size() && list[i + 1] == QLatin1Char('-')) {
            if (c >= list[i] && c <= list[i + 2])
                return true;
            i += 2;
        } else if (c == list[i]) {
            return true;
        }
    }
    return false;
}

// Whether the one-character pattern element at pattern[p] matches c; sets
// the element's length. An unclosed "[" stands for itself.
bool ElementMatches(const QString &pattern, qsizetype p, QChar c, qsizetype &length)
{
    const QChar e = pattern[p];
    length = 1;
    if (e == QLatin1Char('?'))
        return true;
    if (e == QLatin1Char('#'))
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    if (e == QLatin1Char('[')) {
        const qsizetype close = pattern.indexOf(QLatin1Char(']'), p + 1);
        if (close > p) {
            length = close - p + 1;
            QString list = pattern.mid(p + 1, close - p - 1);
            const bool negated = list.startsWith(QLatin1Char('!'));
            if (negated)
                list.remove(0, 1);
            return InList(c, list) != negated;
        }
    }
    return e == c;
}

bool RowMatches(const QString &t, const QString &s, int32_t mode)
{
    switch (mode) {
    case 0:
        return t == s;
    case 1:
        return t >= s;
    case 2:
        return MatchesPattern(t, s + QLatin1Char('*'));
    case 4:
        return !t.isEmpty() && t[0] == s[0] && t >= s;
    case 8:
        return t.size() >= s.size() && t.contains(s, Qt::CaseInsensitive);
    default:
        return false;
    }
}

} // namespace

bool MatchesPattern(const QString &text, const QString &pattern)
{
    // Greedy match with a return to the last "*": linear in practice.
    qsizetype t = 0;
    qsizetype p = 0;
    qsizetype starP = -1;
    qsizetype starT = 0;
    while (t < text.size()) {
        qsizetype length = 1;
        if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starP = ++p;
            starT = t;
        } else if (p < pattern.size() && ElementMatches(pattern, p, text[t], length)) {
            p += length;
            ++t;
        } else if (starP >= 0) {
            p = starP;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

int32_t FindItem(
    const GridStore &store, const QString &SearchText, int32_t SearchColumn, int32_t SearchMode, bool MatchCase)
{
    const int32_t column = SearchColumn == -1 ? store.Properties().SearchColumn : SearchColumn;
    if (SearchText.isEmpty() || column < 0)
        return -1;
    if (column > store.Cols())
        throw SubscriptError();
    const QString s = MatchCase ? SearchText : SearchText.toUpper();
    for (int32_t row = 0; row < store.ItemCount(); ++row) {
        const QString cell = store.CellTextIn(row, column);
        if (RowMatches(MatchCase ? cell : cell.toUpper(), s, SearchMode))
            return row;
    }
    return -1;
}

int32_t TypeAhead::Type(const GridStore &store, QChar character, int64_t tick)
{
    if (character.unicode() > 0xFF || !character.isLetterOrNumber())
        return -1;
    if (!typed || tick - lastTick >= TypeAheadPauseMs)
        text = character;
    else
        text += character;
    typed = true;
    lastTick = tick;
    return FindItem(store, text, store.Properties().SearchColumn, 4, false);
}

QString TypeAhead::Text() const
{
    return text;
}
