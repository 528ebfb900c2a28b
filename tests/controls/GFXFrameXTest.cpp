#include "controls/PixelBlocks.h"
#include "controls/PropertyStore.h"
#include "controls/frame/GFXFrameX.h"

#include <QApplication>
#include <QImage>
#include <gtest/gtest.h>

namespace {

const QRgb BackRgb = qRgb(203, 107, 59);
const QRgb BorderRgb = qRgb(0, 0, 255);

void Configure(GFXFrameX &frame, int style, int opacity, OleColour back = RGB(203, 107, 59))
{
    frame.resize(120, 80);
    frame.SetFrameStyle(style);
    frame.SetBackColourIs(1);
    frame.SetBackColour(back);
    frame.SetBorderColour(RGB(0, 0, 255));
    frame.SetFillColour(RGB(255, 255, 255));
    frame.SetShowShadow(true);
    frame.SetShadowDepth(5);
    frame.SetShadowOpacity(opacity);
}

} // namespace

// Over the background at opacity 50 and depth 5, worked out by hand: the
// darkest step (channel div 100) x 50, then +20 red, +11 green, +11 blue.
TEST(GFXFrameX, ShadowOutlinesStepOutwardsToTheControlsEdges)
{
    const QRgb step[6] = {qRgb(100, 50, 0),  qRgb(120, 61, 11), qRgb(140, 72, 22),
                          qRgb(160, 83, 33), qRgb(180, 94, 44), qRgb(200, 105, 55)};
    for (int style : {0, 1}) {
        GFXFrameX frame;
        Configure(frame, style, 50);
        const QImage image = frame.Render();
        // The border sits 5 pixels inside the right and bottom edges, over
        // outline 0; outlines 1 to 5 step outwards and lighten.
        EXPECT_EQ(image.pixel(114, 40), BorderRgb) << style;
        EXPECT_EQ(image.pixel(60, 74), BorderRgb) << style;
        for (int i = 1; i <= 5; ++i) {
            EXPECT_EQ(image.pixel(114 + i, 40), step[i]) << style << " " << i;
            EXPECT_EQ(image.pixel(60, 74 + i), step[i]) << style << " " << i;
        }
        if (style == 1) { // square: the outermost outline starts 5 pixels in from the left and top
            EXPECT_EQ(image.pixel(5, 79), step[5]);
            EXPECT_EQ(image.pixel(4, 79), BackRgb);
            EXPECT_EQ(image.pixel(119, 5), step[5]);
            EXPECT_EQ(image.pixel(119, 4), BackRgb);
        }
    }
}

// Channels in whole hundreds survive the shadow's integer steps unchanged.
TEST(GFXFrameX, NoOpacityLeavesTheShadowInTheBackgroundColour)
{
    GFXFrameX frame;
    Configure(frame, 0, 0, RGB(200, 100, 0));
    const QImage image = frame.Render();
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < 120; ++x) {
            if (x >= 115 || y >= 75) {
                ASSERT_EQ(image.pixel(x, y), qRgb(200, 100, 0)) << x << "," << y;
            }
        }
    }
}

TEST(GFXFrameX, OtherStylesDrawOnlyTheBackground)
{
    QImage expected(120, 80, QImage::Format_RGB32);
    expected.fill(BackRgb);
    for (int style : {2, -1}) {
        GFXFrameX frame;
        Configure(frame, style, 50);
        EXPECT_EQ(frame.Render(), expected) << style;
    }
}

TEST(GFXFrameX, WithoutShadowTheFrameFillsTheControl)
{
    GFXFrameX frame;
    Configure(frame, 1, 50);
    frame.SetShowShadow(false);
    QImage image = frame.Render();
    EXPECT_EQ(image.pixel(0, 0), BorderRgb);
    EXPECT_EQ(image.pixel(119, 40), BorderRgb);
    EXPECT_EQ(image.pixel(60, 79), BorderRgb);
    EXPECT_EQ(image.pixel(60, 40), qRgb(255, 255, 255));

    frame.SetFrameStyle(0);
    frame.SetCornerDepth(10);
    image = frame.Render();
    EXPECT_EQ(image.pixel(0, 0), BackRgb);
    EXPECT_EQ(image.pixel(119, 79), BackRgb);
    EXPECT_EQ(image.pixel(0, 40), BorderRgb);
}

// Rendered through the widget into an image of pixel ratio 2, as on a
// screen at that ratio: the shadow steps and the corners are as fine as the
// device pixels, not 1x pixels doubled, and the border keeps its logical
// width.
TEST(GFXFrameX, AtPixelRatioTwoShadowAndCornersStepInDevicePixels)
{
    const struct {
        int style, depth, opacity, corner;
    } cases[] = {{0, 5, 50, 10}, {0, 10, 80, 20}, {0, 8, 100, 50}, {1, 15, 100, 0}};
    for (const auto &c : cases) {
        QWidget container;
        GFXFrameX frame(&container);
        frame.resize(200, 104);
        frame.SetFrameStyle(c.style);
        frame.SetShadowDepth(c.depth);
        frame.SetShadowOpacity(c.opacity);
        frame.SetCornerDepth(c.corner);
        frame.SetFillColour(RGB(250, 250, 244));
        frame.SetBorderColour(RGB(120, 120, 140));
        QImage image(400, 208, QImage::Format_RGB32);
        image.setDevicePixelRatio(2);
        frame.render(&image);
        EXPECT_EQ(image, frame.Render(2));

        const int w = 400, h = 208, d = 2 * c.depth;
        const PixelBlocks right(image, QRect(QPoint(w - d, 2 * d), QPoint(w - 1, h - 1)));
        const PixelBlocks bottom(image, QRect(QPoint(2 * d, h - d), QPoint(w - d - 1, h - 1)));
        EXPECT_LT(right.Uniform + bottom.Uniform, (right.Total + bottom.Total) / 10)
            << c.style << " " << c.depth << ": " << right.Uniform + bottom.Uniform << " of "
            << right.Total + bottom.Total;

        const QRgb border = qRgb(120, 120, 140);
        EXPECT_EQ(image.pixel(w - d - 1, 100), border);
        EXPECT_EQ(image.pixel(w - d - 2, 100), border);
        EXPECT_EQ(image.pixel(w - d - 3, 100), qRgb(250, 250, 244));
        if (c.style == 0) {
            const int corner = 2 * c.corner;
            const PixelBlocks topLeft(image, QRect(0, 0, corner / 2, corner / 2), border);
            EXPECT_LT(topLeft.Uniform * 2, topLeft.Total) << c.corner << ": " << topLeft.Uniform << " of " << topLeft.Total;
        }
    }
}

// A container that keeps the platform's colours hands the frame a system
// colour, so fill, background and shadow all follow a change of the
// desktop's palette; a container's colour is the one of the role it paints.
TEST(GFXFrameX, DefaultColoursFollowTheDesktopPaletteAndTheContainersRole)
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
    QImage image = frame.grab().toImage();
    EXPECT_EQ(image.pixel(40, 40), qRgb(30, 32, 36)) << "fill";
    EXPECT_EQ(image.pixel(0, 0), qRgb(30, 32, 36)) << "background";

    container.setBackgroundRole(QPalette::Base);
    GFXFrameX onBase(&container);
    onBase.resize(120, 80);
    onBase.SetFrameStyle(0);
    image = onBase.grab().toImage();
    EXPECT_EQ(image.pixel(0, 0), qRgb(20, 20, 24)) << "background";
    EXPECT_EQ(image.pixel(40, 40), qRgb(20, 20, 24)) << "fill";
    QApplication::setPalette(original);
    QApplication::processEvents();
    EXPECT_EQ(onBase.grab().toImage().pixel(40, 40), original.color(QPalette::Base).rgb());
}

TEST(GFXFrameX, FollowsTheContainersBackgroundColour)
{
    QWidget container;
    QPalette palette = container.palette();
    palette.setColor(QPalette::Window, QColor(240, 230, 220));
    container.setPalette(palette);
    GFXFrameX frame(&container);
    frame.resize(120, 80);
    EXPECT_EQ(frame.FillColour(), RGB(240, 230, 220));
    EXPECT_EQ(frame.BackColourIs(), 0);
    const QImage before = frame.grab().toImage();
    EXPECT_EQ(before.pixel(119, 2), qRgb(240, 230, 220));

    palette.setColor(QPalette::Window, QColor(10, 120, 250));
    container.setPalette(palette);
    const QImage after = frame.grab().toImage();
    EXPECT_EQ(after.pixel(119, 2), qRgb(10, 120, 250));
    EXPECT_NE(after.pixel(117, 40), before.pixel(117, 40)) << "the shadow is recoloured";
    EXPECT_EQ(frame.FillColour(), RGB(240, 230, 220)) << "the fill keeps its value";
}

// Each background pixel becomes the mean of its four neighbours, column by
// column, so a pixel sees the new value of the one above; halves go to
// even; edge pixels and other colours are kept.
TEST(GFXFrameX, SmoothingFillsBackgroundPixelsFromTheirNeighbours)
{
    const auto grey = [](int v) { return qRgb(v, v, v); };
    QImage image(3, 4, QImage::Format_RGB32);
    image.fill(grey(7));
    image.setPixel(1, 0, grey(100));
    image.setPixel(0, 1, grey(40));
    image.setPixel(2, 1, grey(60));
    image.setPixel(0, 2, grey(10));
    image.setPixel(2, 2, grey(20));
    image.setPixel(1, 3, grey(30));
    GFXFrameX::SmoothShadow(image, QRect(QPoint(0, 0), QPoint(2, 3)), grey(7));
    EXPECT_EQ(image.pixel(1, 1), grey(52)); // (100 + 60 + 7 + 40) / 4 = 51.75
    EXPECT_EQ(image.pixel(1, 2), grey(28)); // (52 + 20 + 30 + 10) / 4
    EXPECT_EQ(image.pixel(0, 0), grey(7));
    EXPECT_EQ(image.pixel(2, 3), grey(7));

    image = QImage(5, 3, QImage::Format_RGB32);
    image.fill(grey(3));
    image.setPixel(1, 1, grey(0));
    image.setPixel(0, 1, qRgb(1, 5, 3)); // channel sums around (1, 1): 10, 14, 12
    image.setPixel(3, 1, grey(0));
    image.setPixel(4, 1, grey(5));       // around (3, 1): 14 in every channel
    GFXFrameX::SmoothShadow(image, QRect(QPoint(1, 1), QPoint(3, 1)), grey(0));
    EXPECT_EQ(image.pixel(1, 1), qRgb(2, 4, 3)); // 2.5 -> 2, 3.5 -> 4
    EXPECT_EQ(image.pixel(2, 1), grey(3));
    EXPECT_EQ(image.pixel(3, 1), grey(4));
}

TEST(GFXFrameX, FreshFrameSavesNothingAndALoadReproducesEveryProperty)
{
    PropertyStore store;
    GFXFrameX().WriteProperties(store);
    EXPECT_EQ(store.Count(), 0);

    GFXFrameX saved;
    saved.resize(120, 80);
    saved.SetFrameStyle(0);
    saved.SetFillColour(RGB(1, 2, 3));
    saved.SetBorderColour(RGB(4, 5, 6));
    saved.SetBackColour(0x80000005u);
    saved.SetBackColourIs(1);
    saved.SetCornerDepth(20);
    saved.SetShowShadow(false);
    saved.SetShadowDepth(12);
    saved.SetShadowOpacity(80);
    saved.WriteProperties(store);
    EXPECT_EQ(store.Count(), 9);

    GFXFrameX loaded;
    loaded.resize(120, 80);
    loaded.ReadProperties(PropertyStore::FromBytes(store.ToBytes()));
    PropertyStore again;
    loaded.WriteProperties(again);
    EXPECT_EQ(again.ToVariantMap(), store.ToVariantMap());
    EXPECT_EQ(loaded.Render(), saved.Render());
}
