#pragma once

#include <QString>
#include <cstdint>

class GridStore;

// The position of the first row whose text in column SearchColumn (a
// column index; -1 = the grid's SearchColumn property) matches SearchText,
// or -1. Modes: 0 equal, 1 at or after (character-code order), 2 starts
// with (SearchText is a wildcard pattern), 4 same first character and at or
// after, 8 contains regardless of case; any other mode matches nothing.
// Unless MatchCase, both texts are compared in upper case. A column index
// beyond the column list throws SubscriptError.
int32_t FindItem(const GridStore &store, const QString &SearchText, int32_t SearchColumn = -1, int32_t SearchMode = 0,
    bool MatchCase = false);

// The pattern test of the starts-with mode: "?" one character, "#" one
// digit, "*" any run, "[list]" / "[!list]" one character in or not in the
// list (ranges a-z allowed); anything else stands for itself.
bool MatchesPattern(const QString &text, const QString &pattern);

// Type-ahead: letters and digits typed within a second of each other build
// one search text; a longer pause starts a new one. The caller passes the
// millisecond tick of each key and scrolls to the row found.
class TypeAhead {
public:
    // The row to show for the character typed at tick, or -1. Characters
    // that are not letters or digits are ignored (-1).
    int32_t Type(const GridStore &store, QChar character, int64_t tick);
    QString Text() const;

private:
    QString text;
    int64_t lastTick = 0;
    bool typed = false;
};
