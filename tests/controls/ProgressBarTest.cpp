#include "controls/progress/ProgressBar.h"
#include "controls/PixelBlocks.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

const QRgb Outline = qRgb(204, 168, 62); // theme 1

// A bar with no caption, so that every pixel is track, fill or outline.
void Plain(ProgressBar &bar, int width, int height, int theme)
{
    bar.resize(width, height);
    bar.SetTheme(theme);
    bar.SetTextStyle(0);
}

} // namespace

// Horizontal bars fill from the left, vertical ones down from the top; of
// 200 pixels, 81 and 83 of 400 are 40.5 and 41.5, which round to even.
TEST(ProgressBar, FillIsTheValuesShareOfMaxIgnoringMinAndNoneBelowOne)
{
    for (int orientation : {1, 2}) {
        const auto at = [orientation](const QImage &image, int along, int across) {
            return orientation == 1 ? image.pixel(along, across) : image.pixel(across, along);
        };
        ProgressBar bar;
        Plain(bar, orientation == 1 ? 200 : 15, orientation == 1 ? 15 : 200, 3);
        bar.SetOrientations(orientation);
        bar.SetValue(0);
        const QImage empty = bar.Render();
        const int value = orientation == 1 ? 81 : 83, end = orientation == 1 ? 40 : 42;
        bar.SetMax(400);
        bar.SetMin(value);
        bar.SetValue(value);
        const QImage image = bar.Render();
        for (int y = 1; y < 14; ++y)
            EXPECT_EQ(at(empty, 2, y), at(empty, 197, y)) << "no fill at 0: " << orientation << " " << y;
        for (int y : {4, 11}) { // the fill, then the track as it is at 0
            EXPECT_EQ(QVector<QRgb>({at(image, 1, y), at(image, end, y), at(image, 150, y)}),
                QVector<QRgb>({at(image, end - 1, y), at(image, 150, y), at(empty, 150, y)}))
                << orientation << " " << y;
            EXPECT_NE(at(image, end - 1, y), at(image, end, y)) << orientation << " " << y;
        }
    }
}

// The row at which the track's colour jumps most, away from the outline, is
// half the height rounded to even.
TEST(ProgressBar, TrackHalvesSplitAtHalfTheHeightRoundedToEven)
{
    for (const auto &[height, split] : {std::pair{15, 8}, {13, 6}, {17, 8}, {14, 7}}) {
        ProgressBar bar;
        Plain(bar, 60, height, 1);
        bar.SetValue(0);
        const QImage image = bar.Render();
        std::vector<int> jumps; // from row 2 on
        for (int y = 2; y <= height - 2; ++y)
            jumps.push_back(std::abs(qBlue(image.pixel(30, y)) - qBlue(image.pixel(30, y - 1))));
        const auto best = 2 + std::distance(jumps.begin(), std::max_element(jumps.begin(), jumps.end()));
        EXPECT_EQ(best, split) << height;
    }
}

// Nothing is painted outside the rounded face and the outline keeps its
// logical width. Rendered through the widget into an image of pixel ratio 2,
// the corners step in device pixels.
TEST(ProgressBar, OutlineAndCornersAtPixelRatiosOneAndTwo)
{
    ProgressBar bar;
    Plain(bar, 60, 15, 1);
    QImage image = bar.Render();
    EXPECT_EQ(qAlpha(image.pixel(0, 0)) + qAlpha(image.pixel(59, 14)), 0);
    EXPECT_EQ(PixelsAt(image, {{1, 0}, {0, 1}, {59, 7}}), QVector<QRgb>(3, Outline));
    bar.SetRoundedValue(0);
    EXPECT_EQ(PixelsAt(bar.Render(), {{0, 0}, {59, 14}}), QVector<QRgb>(2, Outline));

    Plain(bar, 200, 40, 1);
    bar.SetRoundedValue(16);
    image = QImage(400, 80, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    image.fill(Qt::transparent);
    bar.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    EXPECT_EQ(image, bar.Render(2));
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(PixelsAt(image, {{0, 40}, {1, 40}}), QVector<QRgb>(2, Outline));
    EXPECT_NE(image.pixel(2, 40), Outline);
    const PixelBlocks corner(image, QRect(0, 0, 16, 16), Outline);
    EXPECT_LT(corner.Uniform * 2, corner.Total) << corner.Uniform << " of " << corner.Total;
}

TEST(ProgressBar, DisabledBarIsDrawnInGreysCaptionIncluded)
{
    ProgressBar bar;
    bar.resize(120, 20);
    bar.SetTheme(3);
    bar.SetText("Found 3");
    bar.SetTextEffect(2);
    bar.SetTextForeColor(RGB(255, 0, 0));
    bar.SetTextEffectColor(RGB(0, 0, 255));
    const auto countColoured = [](const QImage &image) { // Render's pixels are 32-bit, rows unpadded
        const auto *pixels = reinterpret_cast<const QRgb *>(image.constBits());
        return std::count_if(pixels, pixels + image.width() * image.height(),
            [](QRgb c) { return qAlpha(c) != 0 && (qRed(c) != qGreen(c) || qGreen(c) != qBlue(c)); });
    };
    EXPECT_GT(countColoured(bar.Render()), 0);
    bar.SetEnabled(false);
    const QImage disabled = bar.Render();
    EXPECT_EQ(countColoured(disabled), 0);
    bar.SetTextStyle(0);
    EXPECT_NE(bar.Render(), disabled) << "the grey caption is drawn";
}

TEST(ProgressBar, CaptionOnlyForEffectsOneToFive)
{
    ProgressBar bar;
    Plain(bar, 120, 20, 2);
    const QImage noCaption = bar.Render();
    bar.SetTextStyle(3);
    for (int effect = -1; effect <= 6; ++effect) {
        bar.SetTextEffect(effect);
        EXPECT_EQ(bar.Render() != noCaption, effect >= 1 && effect <= 5) << effect;
    }
}
