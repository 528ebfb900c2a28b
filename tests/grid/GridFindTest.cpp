#include "controls/grid/GridFind.h"
#include "controls/grid/GridStore.h"
#include "util/Errors.h"

#include <gtest/gtest.h>

namespace {

struct FindCase {
    QString text;
    int32_t mode;
    bool matchCase;
    int32_t expected;
};

TEST(GridFindTest, FindsFirstMatchPerMode)
{
    GridStore grid;
    grid.AddColumn();
    grid.AddColumn();
    for (const char *row : {"apple\t1", "Banana\t2", "cherry\t3", "b[x]\t4"})
        grid.AddItem(QString::fromLatin1(row));
    const FindCase cases[] = {
        {"BANANA", 0, false, 1}, {"BANANA", 0, true, -1}, {"CH", 2, false, 2}, {"an", 8, false, 1},
        {"AN", 8, true, 1},      {"c", 4, false, 2},      {"c", 3, false, -1}, {"B", 1, false, 1},
        {"B", 1, true, 0},       {"?A", 2, false, 1},     {"[!a]?e", 2, false, 2}, {"", 0, false, -1},
        {"b[x]", 0, false, 3},   {"[a-b]#", 2, false, -1}, {"Z", 4, false, -1},
    };
    for (const FindCase &c : cases)
        EXPECT_EQ(FindItem(grid, c.text, 0, c.mode, c.matchCase), c.expected) << c.text.toStdString() << c.mode;
    EXPECT_EQ(FindItem(grid, "3", 1), 2);
    EXPECT_EQ(FindItem(grid, "BANANA"), 1); // the SearchColumn property, 0
    EXPECT_EQ(FindItem(grid, "1", -2), -1);
    EXPECT_THROW(FindItem(grid, "1", 2), SubscriptError);
}

TEST(GridFindTest, PatternsMatchWholeText)
{
    const std::tuple<const char *, const char *, bool> cases[] = {
        {"abc", "a*c", true}, {"abc", "a*b", false}, {"a1c", "a#c", true}, {"abc", "a#c", false},
        {"abc", "*", true},   {"", "*", true},       {"ab", "a?c", false}, {"a[", "a[", true},
        {"abcbc", "*bc", true}, {"b", "[a-c]", true}, {"d", "[!a-c]", true}, {"b", "[!a-c]", false},
    };
    for (const auto &[text, pattern, matches] : cases)
        EXPECT_EQ(MatchesPattern(QString::fromLatin1(text), QString::fromLatin1(pattern)), matches) << pattern;
}

TEST(GridFindTest, TypeAheadRestartsAfterAPause)
{
    GridStore grid;
    grid.AddColumn();
    for (const char *row : {"apple", "banana", "avocado"})
        grid.AddItem(QString::fromLatin1(row));
    TypeAhead typing;
    EXPECT_EQ(typing.Type(grid, 'b', 5000), 1);
    EXPECT_EQ(typing.Type(grid, 'a', 5500), 1);
    EXPECT_EQ(typing.Type(grid, '-', 5600), -1);
    EXPECT_EQ(typing.Type(grid, 'a', 6500), 0) << "a pause starts the text afresh";
    EXPECT_EQ(typing.Type(grid, 'v', 6600), 2);
}

} // namespace
