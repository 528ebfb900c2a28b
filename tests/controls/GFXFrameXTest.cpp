#include "controls/frame/GFXFrameX.h"
#include "controls/PixelBlocks.h"

#include <QApplication>
#include <QImage>
#include <gtest/gtest.h>

namespace {

const QRgb BackRgb = qRgb(203, 107, 59);
const QRgb BorderRgb = qRgb(0, 0, 255);

// A 120x80 frame on a background of its own, with a shadow 5 deep.
QImage Rendered(int style, int opacity, bool shadow = true, OleColour back = RGB(203, 107, 59))
{
    GFXFrameX frame;
    frame.resize(120, 80);
    frame.SetFrameStyle(style);
    frame.SetBackColourIs(1);
    frame.SetBackColour(back);
    frame.SetBorderColour(RGB(0, 0, 255));
    frame.SetFillColour(RGB(255, 255, 255));
    frame.SetShowShadow(shadow);
    frame.SetShadowDepth(5);
    frame.SetShadowOpacity(opacity);
    return frame.Render();
}

QImage Picture(const std::vector<std::vector<QRgb>> &rows)
{
    QImage image(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, rows[size_t(y)][size_t(x)]);
    }
    return image;
}

QImage Filled(int width, int height, QRgb colour)
{
    return Picture(std::vector(size_t(height), std::vector(size_t(width), colour)));
}

} // namespace

// Over the background at opacity 50, worked out by hand: the darkest step
// (channel div 100) x 50, then +20 red, +11 green, +11 blue. The border sits
// 5 pixels inside the right and bottom edges, over outline 0; outlines 1 to 5
// step outwards and lighten. At opacity 0, channels in whole hundreds survive
// the integer steps: the shadow band is the background.
TEST(GFXFrameX, ShadowOutlinesStepOutwardsToTheControlsEdges)
{
    const QRgb step[6] = {
        BorderRgb, qRgb(120, 61, 11), qRgb(140, 72, 22), qRgb(160, 83, 33), qRgb(180, 94, 44), qRgb(200, 105, 55)};
    for (int style : {0, 1}) {
        const QImage image = Rendered(style, 50);
        for (int i = 0; i <= 5; ++i)
            EXPECT_EQ(PixelsAt(image, {{114 + i, 40}, {60, 74 + i}}), QVector<QRgb>(2, step[i])) << style << " " << i;
        if (style == 1) { // square: the outermost outline starts 5 pixels in from the left and top
            EXPECT_EQ(PixelsAt(image, {{5, 79}, {4, 79}, {119, 5}, {119, 4}}),
                QVector<QRgb>({step[5], BackRgb, step[5], BackRgb}));
        }
    }
    const QImage none = Rendered(0, 0, true, RGB(200, 100, 0));
    EXPECT_EQ(none.copy(115, 0, 5, 80), Filled(5, 80, qRgb(200, 100, 0)));
    EXPECT_EQ(none.copy(0, 75, 120, 5), Filled(120, 5, qRgb(200, 100, 0)));
}

TEST(GFXFrameX, WithoutShadowTheFrameFillsTheControlAndOtherStylesDrawOnlyTheBackground)
{
    EXPECT_EQ(PixelsAt(Rendered(1, 50, false), {{0, 0}, {119, 40}, {60, 79}, {60, 40}}),
        QVector<QRgb>({BorderRgb, BorderRgb, BorderRgb, qRgb(255, 255, 255)}));
    EXPECT_EQ(PixelsAt(Rendered(0, 50, false), {{0, 0}, {119, 79}, {0, 40}}), // corner ellipse 10 by default
        QVector<QRgb>({BackRgb, BackRgb, BorderRgb}));
    for (int style : {2, -1})
        EXPECT_EQ(Rendered(style, 50), Filled(120, 80, BackRgb)) << style;
}

// Rendered through the widget into an image of pixel ratio 2, as on a
// screen at that ratio: the shadow steps and the corners are as fine as the
// device pixels, not 1x pixels doubled, and the border keeps its logical
// width.
TEST(GFXFrameX, AtPixelRatioTwoShadowAndCornersStepInDevicePixels)
{
    const QRgb fill = qRgb(250, 250, 244), border = qRgb(120, 120, 140);
    const int cases[][4] = {{0, 10, 80, 20}, {1, 15, 100, 0}};
    for (const auto &[style, depth, opacity, corner] : cases) {
        QWidget container;
        GFXFrameX frame(&container);
        frame.resize(200, 104);
        frame.SetFrameStyle(style);
        frame.SetShadowDepth(depth);
        frame.SetShadowOpacity(opacity);
        frame.SetCornerDepth(corner);
        frame.SetFillColour(RGB(250, 250, 244));
        frame.SetBorderColour(RGB(120, 120, 140));
        QImage image(400, 208, QImage::Format_RGB32);
        image.setDevicePixelRatio(2);
        frame.render(&image);
        EXPECT_EQ(image, frame.Render(2));

        const int d = 2 * depth;
        const PixelBlocks right(image, QRect(QPoint(400 - d, 2 * d), QPoint(399, 207)));
        const PixelBlocks bottom(image, QRect(QPoint(2 * d, 208 - d), QPoint(399 - d, 207)));
        EXPECT_LT(right.Uniform + bottom.Uniform, (right.Total + bottom.Total) / 10) << style << " " << depth;
        EXPECT_EQ(
            PixelsAt(image, {{399 - d, 100}, {398 - d, 100}, {397 - d, 100}}), QVector<QRgb>({border, border, fill}));
        const PixelBlocks topLeft(image, QRect(0, 0, corner, corner), border);
        if (style == 0) {
            EXPECT_LT(topLeft.Uniform * 2, topLeft.Total) << corner;
        }
    }
}

// A container that keeps the platform's colours hands the frame a system
// colour, so fill, background and shadow all follow a change of the
// desktop's palette; a container's colour is the one of the role it paints.
TEST(GFXFrameX, DefaultColoursFollowTheDesktopPaletteAndTheContainer)
{
    const QPalette original = QApplication::palette();
    QWidget container;
    GFXFrameX frame(&container);
    frame.resize(120, 80);
    frame.SetFrameStyle(0);
    EXPECT_TRUE(IsSystemColour(frame.FillColour()));
    EXPECT_EQ(frame.grab().toImage().pixel(40, 40), original.color(QPalette::Window).rgb());

    QPalette dark = original;
    dark.setColor(QPalette::Window, QColor(30, 32, 36));
    dark.setColor(QPalette::Base, QColor(20, 20, 24));
    QApplication::setPalette(dark);
    QApplication::processEvents(); // widgets take up the application's palette through posted events
    EXPECT_EQ(PixelsAt(frame.grab().toImage(), {{40, 40}, {0, 0}}), QVector<QRgb>(2, qRgb(30, 32, 36)));

    container.setBackgroundRole(QPalette::Base);
    GFXFrameX onBase(&container);
    onBase.resize(120, 80);
    onBase.SetFrameStyle(0);
    EXPECT_EQ(PixelsAt(onBase.grab().toImage(), {{40, 40}, {0, 0}}), QVector<QRgb>(2, qRgb(20, 20, 24)));
    QApplication::setPalette(original);
    QApplication::processEvents();
    EXPECT_EQ(onBase.grab().toImage().pixel(40, 40), original.color(QPalette::Base).rgb());
}

// Each background pixel becomes the mean of its four neighbours, column by
// column, so a pixel sees the new value of the one above; halves go to
// even; edge pixels and other colours are kept.
TEST(GFXFrameX, SmoothingFillsBackgroundPixelsFromTheirNeighbours)
{
    const auto g = [](int v) { return qRgb(v, v, v); };
    QImage image = Picture({{g(7), g(100), g(7)}, {g(40), g(7), g(60)}, {g(10), g(7), g(20)}, {g(7), g(30), g(7)}});
    GFXFrameX::SmoothShadow(image, image.rect(), g(7));
    // (100 + 60 + 7 + 40) / 4 = 51.75, then (52 + 20 + 30 + 10) / 4
    EXPECT_EQ(
        image, Picture({{g(7), g(100), g(7)}, {g(40), g(52), g(60)}, {g(10), g(28), g(20)}, {g(7), g(30), g(7)}}));

    // Channel sums around (1, 1): 10, 14, 12; around (3, 1): 14 in every channel.
    image = Picture({std::vector(5, g(3)), {qRgb(1, 5, 3), g(0), g(3), g(0), g(5)}, std::vector(5, g(3))});
    GFXFrameX::SmoothShadow(image, QRect(1, 1, 3, 1), g(0));
    EXPECT_EQ(image.copy(1, 1, 3, 1), Picture({{qRgb(2, 4, 3), g(3), g(4)}})); // 2.5 -> 2, 3.5 -> 4
}
