#include "controls/PropertyStore.h"
#include "controls/frame/GFXFrameX.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

const OleColour Back = RGB(203, 107, 59);
const QRgb BackRgb = qRgb(203, 107, 59);
const QRgb BorderRgb = qRgb(0, 0, 255);
const QRgb FillRgb = qRgb(255, 255, 255);

void Configure(GFXFrameX &frame, int style, int depth, int opacity, OleColour back = Back)
{
    frame.resize(120, 80);
    frame.SetFrameStyle(style);
    frame.SetBackColourIs(1);
    frame.SetBackColour(back);
    frame.SetBorderColour(RGB(0, 0, 255));
    frame.SetFillColour(RGB(255, 255, 255));
    frame.SetShowShadow(true);
    frame.SetShadowDepth(depth);
    frame.SetShadowOpacity(opacity);
}

// Shadow steps 1 to 5 over Back at opacity 50 and depth 5, worked out by hand:
// darkest (100, 50, 0), then per step +20 red, +11 green, +11 blue.
const QRgb Step[6] = {qRgb(100, 50, 0),   qRgb(120, 61, 11), qRgb(140, 72, 22),
                      qRgb(160, 83, 33), qRgb(180, 94, 44), qRgb(200, 105, 55)};

} // namespace

TEST(GFXFrameX, ShadowOutlinesStepOutwardsToTheControlsEdges)
{
    for (int style : {0, 1}) {
        GFXFrameX frame;
        Configure(frame, style, 5, 50);
        const QImage image = frame.Render();
        // The frame's border sits d pixels inside the right and bottom edges;
        // outline 0 lies under it, outlines 1 to 5 step outwards and lighten.
        EXPECT_EQ(image.pixel(114, 40), BorderRgb) << style;
        EXPECT_EQ(image.pixel(60, 74), BorderRgb) << style;
        for (int step = 1; step <= 5; ++step) {
            EXPECT_EQ(image.pixel(114 + step, 40), Step[step]) << style << " " << step;
            EXPECT_EQ(image.pixel(60, 74 + step), Step[step]) << style << " " << step;
        }
    }
    // The outermost outline starts d pixels in from the left and top edges.
    GFXFrameX frame;
    Configure(frame, 1, 5, 50);
    const QImage image = frame.Render();
    EXPECT_EQ(image.pixel(5, 79), Step[5]);
    EXPECT_EQ(image.pixel(4, 79), BackRgb);
    EXPECT_EQ(image.pixel(119, 5), Step[5]);
    EXPECT_EQ(image.pixel(119, 4), BackRgb);
}

TEST(GFXFrameX, NoOpacityLeavesTheShadowInTheBackgroundColour)
{
    // Channels in whole hundreds survive the shadow's integer steps unchanged.
    const OleColour back = RGB(200, 100, 0);
    GFXFrameX frame;
    Configure(frame, 0, 5, -5, back);
    EXPECT_EQ(frame.ShadowOpacity(), 0);
    const QImage image = frame.Render();
    for (int y = 0; y < 80; ++y) {
        for (int x = 115; x < 120; ++x)
            ASSERT_EQ(image.pixel(x, y), qRgb(200, 100, 0)) << x << "," << y;
    }
    for (int x = 0; x < 120; ++x) {
        for (int y = 75; y < 80; ++y)
            ASSERT_EQ(image.pixel(x, y), qRgb(200, 100, 0)) << x << "," << y;
    }
}

TEST(GFXFrameX, OtherStylesDrawOnlyTheBackground)
{
    for (int style : {2, -1}) {
        GFXFrameX frame;
        Configure(frame, style, 5, 50);
        QImage expected(120, 80, QImage::Format_RGB32);
        expected.fill(BackRgb);
        EXPECT_EQ(frame.Render(), expected) << style;
    }
}

TEST(GFXFrameX, WithoutShadowTheFrameFillsTheControl)
{
    GFXFrameX frame;
    Configure(frame, 1, 5, 50);
    frame.SetShowShadow(false);
    QImage image = frame.Render();
    EXPECT_EQ(image.pixel(0, 0), BorderRgb);
    EXPECT_EQ(image.pixel(119, 40), BorderRgb);
    EXPECT_EQ(image.pixel(60, 79), BorderRgb);
    EXPECT_EQ(image.pixel(60, 40), FillRgb);

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

    QImage before = frame.grab().toImage();
    EXPECT_EQ(before.pixel(119, 2), qRgb(240, 230, 220));

    palette.setColor(QPalette::Window, QColor(10, 120, 250));
    container.setPalette(palette);
    QImage after = frame.grab().toImage();
    EXPECT_EQ(after.pixel(119, 2), qRgb(10, 120, 250));
    EXPECT_NE(after.pixel(117, 40), before.pixel(117, 40)) << "the shadow is recoloured";
    EXPECT_EQ(frame.FillColour(), RGB(240, 230, 220)) << "the fill keeps its value";
}

TEST(GFXFrameX, SmoothingFillsBackgroundPixelsColumnByColumn)
{
    const QRgb b = qRgb(7, 7, 7);
    QImage image(3, 4, QImage::Format_RGB32);
    image.fill(b);
    const auto grey = [](int v) { return qRgb(v, v, v); };
    image.setPixel(1, 0, grey(100));
    image.setPixel(0, 1, grey(40));
    image.setPixel(2, 1, grey(60));
    image.setPixel(0, 2, grey(10));
    image.setPixel(2, 2, grey(20));
    image.setPixel(1, 3, grey(30));
    GFXFrameX::SmoothShadow(image, QRect(QPoint(0, 0), QPoint(2, 3)), b);
    // (100 + 60 + 7 + 40) / 4 = 51.75, then the pixel below sees it:
    // (52 + 20 + 30 + 10) / 4 = 28.
    EXPECT_EQ(image.pixel(1, 1), grey(52));
    EXPECT_EQ(image.pixel(1, 2), grey(28));
    // Edge pixels have no full neighbourhood and keep their colour.
    EXPECT_EQ(image.pixel(0, 0), b);
    EXPECT_EQ(image.pixel(2, 3), b);
}

TEST(GFXFrameX, SmoothingRoundsHalvesToEvenAndSkipsOtherColours)
{
    const QRgb b = qRgb(0, 0, 0);
    QImage image(5, 3, QImage::Format_RGB32);
    image.fill(qRgb(3, 3, 3));
    image.setPixel(1, 1, b);
    image.setPixel(0, 1, qRgb(1, 5, 3));  // channel sums around (1, 1): 10, 14, 12
    image.setPixel(3, 1, b);
    image.setPixel(4, 1, qRgb(5, 5, 5));  // around (3, 1): 14 in every channel
    GFXFrameX::SmoothShadow(image, QRect(QPoint(1, 1), QPoint(3, 1)), b);
    EXPECT_EQ(image.pixel(1, 1), qRgb(2, 4, 3));  // 2.5 -> 2, 3.5 -> 4
    EXPECT_EQ(image.pixel(2, 1), qRgb(3, 3, 3));  // not the background: kept
    EXPECT_EQ(image.pixel(3, 1), qRgb(4, 4, 4));  // (3 + 5 + 3 + 3) / 4 = 3.5
}

TEST(GFXFrameX, FreshFrameSavesNothingAndALoadReproducesEveryProperty)
{
    GFXFrameX fresh;
    PropertyStore store;
    fresh.WriteProperties(store);
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
    EXPECT_EQ(loaded.FrameStyle(), 0);
    EXPECT_EQ(loaded.FillColour(), RGB(1, 2, 3));
    EXPECT_EQ(loaded.BorderColour(), RGB(4, 5, 6));
    EXPECT_EQ(loaded.BackColour(), 0x80000005u);
    EXPECT_EQ(loaded.BackColourIs(), 1);
    EXPECT_EQ(loaded.CornerDepth(), 20);
    EXPECT_FALSE(loaded.ShowShadow());
    EXPECT_EQ(loaded.ShadowDepth(), 12);
    EXPECT_EQ(loaded.ShadowOpacity(), 80);
    EXPECT_EQ(loaded.Render(), saved.Render());
}
