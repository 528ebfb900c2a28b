#include "controls/ControlColours.h"
#include "controls/ControlUnits.h"

#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

// Plain values hold red in the low byte; system colours come from the
// matching palette role (17, grey text, from the disabled group).
TEST(ControlColours, PlainValuesAndSystemColours)
{
    EXPECT_EQ(ToQColor(0x00302010u, QPalette()), QColor(0x10, 0x20, 0x30));
    EXPECT_EQ(ToOleColour(QColor(0x10, 0x20, 0x30)), 0x00302010u);
    QPalette palette;
    palette.setColor(QPalette::Active, QPalette::Base, QColor(1, 2, 3));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(4, 5, 6));
    palette.setColor(QPalette::Active, QPalette::Text, QColor(7, 8, 9));
    palette.setColor(QPalette::Active, QPalette::ToolTipBase, QColor(10, 11, 12));
    for (const auto &[index, colour] :
        {std::pair{5, RGB(1, 2, 3)}, {17, RGB(4, 5, 6)}, {8, RGB(7, 8, 9)}, {24, RGB(10, 11, 12)}}) {
        EXPECT_EQ(ResolveColour(SystemColour(index), palette), colour) << index;
        EXPECT_EQ(ToOleColour(ToQColor(SystemColour(index), palette)), colour) << index;
    }
    EXPECT_EQ(ToQColor(SystemColour(99), palette), QColor(Qt::black));
    EXPECT_EQ(ResolveColour(RGB(1, 2, 3), palette), RGB(1, 2, 3));
}

TEST(ControlUnits, TwipsBecomeWholePixelsHalvesToEven)
{
    EXPECT_EQ(QVector<int>({TwipsToPixels(105, 15), TwipsToPixels(337.5, 15), TwipsToPixels(352.5, 15),
                  TwipsToPixels(1440, 10)}),
        QVector<int>({7, 22, 24, 144})); // 22.5 and 23.5 go to even
    EXPECT_DOUBLE_EQ(PixelsToTwips(7, 15), 105.0);
    const QScreen *screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(TwipsToPixelsX(1440), qRound(screen->logicalDotsPerInchX())) << "an inch is the logical dpi";
    EXPECT_EQ(TwipsToPixelsY(2880), qRound(2 * screen->logicalDotsPerInchY()));
}
