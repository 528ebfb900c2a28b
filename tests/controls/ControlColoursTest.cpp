#include "controls/ControlColours.h"
#include "controls/ControlUnits.h"

#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

TEST(ControlColours, PlainValuesHoldRedInTheLowByte)
{
    EXPECT_EQ(ToQColor(0x00302010u, QPalette()), QColor(0x10, 0x20, 0x30));
    EXPECT_EQ(ToOleColour(QColor(0x10, 0x20, 0x30)), 0x00302010u);
}

TEST(ControlColours, SystemColoursComeFromTheMatchingPaletteRole)
{
    QPalette palette;
    const struct {
        QPalette::ColorGroup group;
        QPalette::ColorRole role;
        int index;
    } cases[] = {
        {QPalette::Active, QPalette::Base, 5},
        {QPalette::Active, QPalette::Text, 8},
        {QPalette::Active, QPalette::Highlight, 13},
        {QPalette::Active, QPalette::HighlightedText, 14},
        {QPalette::Active, QPalette::Button, 15},
        {QPalette::Active, QPalette::Dark, 16},
        {QPalette::Disabled, QPalette::Text, 17},
        {QPalette::Active, QPalette::ButtonText, 18},
        {QPalette::Active, QPalette::Light, 20},
        {QPalette::Active, QPalette::Shadow, 21},
        {QPalette::Active, QPalette::Midlight, 22},
        {QPalette::Active, QPalette::ToolTipText, 23},
        {QPalette::Active, QPalette::ToolTipBase, 24},
    };
    int shade = 10;
    for (const auto &c : cases) {
        palette.setColor(c.group, c.role, QColor(shade, 255 - shade, 3));
        shade += 10;
    }
    shade = 10;
    for (const auto &c : cases) {
        EXPECT_EQ(ToQColor(SystemColour(c.index), palette), QColor(shade, 255 - shade, 3)) << c.index;
        EXPECT_EQ(ResolveColour(SystemColour(c.index), palette), RGB(shade, 255 - shade, 3)) << c.index;
        shade += 10;
    }
    EXPECT_EQ(ToQColor(SystemColour(99), palette), QColor(Qt::black));
    EXPECT_EQ(ResolveColour(RGB(1, 2, 3), palette), RGB(1, 2, 3));
}

TEST(ControlUnits, TwipsBecomeWholePixelsHalvesToEven)
{
    EXPECT_EQ(TwipsToPixels(105, 15), 7);
    EXPECT_EQ(TwipsToPixels(337.5, 15), 22);  // 22.5
    EXPECT_EQ(TwipsToPixels(352.5, 15), 24);  // 23.5
    EXPECT_EQ(TwipsToPixels(1440, 10), 144);
    EXPECT_DOUBLE_EQ(PixelsToTwips(7, 15), 105.0);
}

TEST(ControlUnits, AnInchOfTwipsIsTheScreensLogicalDpi)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(TwipsToPixelsX(1440), qRound(screen->logicalDotsPerInchX()));
    EXPECT_EQ(TwipsToPixelsY(2880), qRound(2 * screen->logicalDotsPerInchY()));
}
