#include "controls/PropertyStore.h"
#include "controls/frame/GFXFrameX.h"

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
