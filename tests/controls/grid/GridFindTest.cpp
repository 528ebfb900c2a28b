#include "controls/grid/GridFind.h"
#include "GridRows.h"
#include "controls/grid/GridStore.h"
#include "util/Errors.h"

#include <gtest/gtest.h>

namespace {

TEST(GridFindTest, FindsFirstMatchPerMode)
{
    GridStore grid;
    Fill(grid, {ColTypeText, ColTypeText}, {"apple\t1", "Banana\t2", "cherry\t3", "b[x]\t4"});
    const std::tuple<QString, int32_t, bool, int32_t> cases[] = {
        // text, mode, match case -> row
        {"BANANA", 0, false, 1},
        {"BANANA", 0, true, -1},
        {"CH", 2, false, 2},
        {"an", 8, false, 1},
        {"c", 4, false, 2},
        {"c", 3, false, -1},
        {"B", 1, true, 0},
        {"?A", 2, false, 1},
        {"[!a]?e", 2, false, 2},
        {"", 0, false, -1},
        {"b[x]", 0, false, 3},
        {"[a-b]#", 2, false, -1},
    };
    for (const auto &[text, mode, matchCase, row] : cases)
        EXPECT_EQ(FindItem(grid, text, 0, mode, matchCase), row) << text.toStdString() << mode;
    EXPECT_EQ(FindItem(grid, "3", 1), 2);
    EXPECT_EQ(FindItem(grid, "BANANA"), 1); // the SearchColumn property, 0
    EXPECT_EQ(FindItem(grid, "1", -2), -1);
    EXPECT_THROW(FindItem(grid, "1", 2), SubscriptError);
}

TEST(GridFindTest, PatternsMatchWholeText)
{
    const std::tuple<const char *, const char *, bool> cases[] = {
        {"abc", "a*c", true},
        {"abc", "a*b", false},
        {"a1c", "a#c", true},
        {"", "*", true},
        {"ab", "a?c", false},
        {"a[", "a[", true},
        {"abcbc", "*bc", true},
        {"d", "[!a-c]", true},
        {"b", "[!a-c]", false},
    };
    for (const auto &[text, pattern, matches] : cases)
        EXPECT_EQ(MatchesPattern(QString::fromLatin1(text), QString::fromLatin1(pattern)), matches) << pattern;
}

TEST(GridFindTest, TypeAheadRestartsAfterAPause)
{
    GridStore grid;
    Fill(grid, {ColTypeText}, {"apple", "banana", "avocado"});
    TypeAhead typing;
    EXPECT_EQ(typing.Type(grid, 'b', 5000), 1);
    EXPECT_EQ(typing.Type(grid, 'a', 5500), 1);
    EXPECT_EQ(typing.Type(grid, '-', 5600), -1);
    EXPECT_EQ(typing.Type(grid, 'a', 6500), 0) << "a pause starts the text afresh";
    EXPECT_EQ(typing.Type(grid, 'v', 6600), 2);
}

} // namespace
