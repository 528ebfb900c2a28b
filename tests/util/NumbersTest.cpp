#include "util/Numbers.h"
#include "util/Colour.h"
#include "util/Errors.h"
#include "util/NumberPicture.h"
#include "util/Text.h"

#include <gtest/gtest.h>

TEST(LeadingNumber, ReadsTheLongestLeadingNumber)
{
    const std::pair<const char *, double> cases[] = {
        {"", 0},
        {"abc", 0},
        {" 7 ", 7},
        {"2.5", 2.5},
        {"-12", -12},
        {"+3", 3},
        {"1 2 3", 123},
        {"\t4\n2", 42},
        {"1e3", 1000},
        {"1E+2x", 100},
        {"1e", 1},
        {".5", 0.5},
        {"5.", 5},
        {"-", 0},
        {"&H1F", 31},
        {"&hff", 255},
        {"&O17", 15},
        {"&HFFFFFFFF", -1},
        {"&Hx", 0},
        {"&X1", 0},
        {"12abc34", 12},
        {"1d2", 100},
        {"3.5.1", 3.5},
    };
    for (const auto &[text, value] : cases)
        EXPECT_DOUBLE_EQ(LeadingNumber(QString::fromUtf8(text)), value) << text;
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour)
{
    const double in[] = {0.5, 1.5, 2.5, 3.5, -0.5, -1.5, 2.4999, 2.5001};
    const double out[] = {0, 2, 2, 4, 0, -2, 2, 3};
    for (size_t i = 0; i < std::size(in); ++i)
        EXPECT_EQ(RoundHalfEven(in[i]), out[i]) << in[i];
}

TEST(RoundToLong, RejectsValuesOutsideThe32BitRange)
{
    EXPECT_EQ(RoundToLong(2147483647.0), 2147483647);
    EXPECT_EQ(RoundToLong(-2147483648.0), -2147483647 - 1);
    EXPECT_EQ(RoundToLong(2147483647.4), 2147483647);
    EXPECT_THROW(RoundToLong(2147483647.5), OverflowError);
    EXPECT_THROW(RoundToLong(-2147483649.0), OverflowError);
    EXPECT_THROW(LeadingLong("99999999999"), OverflowError);
    EXPECT_EQ(LeadingLong("3.5"), 4);
}

TEST(FormatNumber, AppliesNumberPictures)
{
    const std::tuple<long long, const char *, const char *> cases[] = {
        // value, picture, text
        {7, "", "7"},
        {-7, "", "-7"},
        {7, "00", "07"},
        {123, "00", "123"},
        {0, "#", ""},
        {5, "#0", "5"},
        {45, "#0", "45"},
        {7, "a0b", "a7b"},
        {123, "0-0", "12-3"},
        {-7, "000", "-007"},
        {7, "0.00", "7.00"},
        {7, "\\#0", "#7"},
        {7, "x", "x7"},
        {2147483647, "00", "2147483647"},
    };
    for (const auto &[value, picture, text] : cases)
        EXPECT_EQ(FormatNumber(value, QString::fromUtf8(picture)), QString::fromUtf8(text)) << value << " " << picture;
}

TEST(Colour, Grey)
{
    // Green is read as a real quotient that includes red's share: (100*256+200)/256 rounds to 101.
    EXPECT_EQ(GreyOf(RGB(200, 100, 0)), RGB(100, 100, 100));
    EXPECT_EQ(GreyOf(RGB(255, 255, 255)), RGB(255, 255, 255));
}

TEST(TrimBlanks, RemovesOnlyBlanks)
{
    EXPECT_EQ(TrimBlanks("  a b  "), "a b");
    EXPECT_EQ(TrimBlanks("\ta\t"), "\ta\t");
    EXPECT_EQ(TrimBlanks("   "), "");
}
