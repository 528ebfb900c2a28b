#include "controls/PixelBlocks.h"
#include "controls/PropertyStore.h"
#include "controls/progress/ProgressBar.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

// A bar with no caption, so that every pixel is track, fill or outline.
void Plain(ProgressBar &bar, int width, int height, int theme)
{
    bar.resize(width, height);
    bar.SetTheme(theme);
    bar.SetTextStyle(0);
}

} // namespace

// Horizontal bars fill from the left, vertical ones down from the top.
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
        for (int y = 1; y < 14; ++y)
            EXPECT_EQ(at(empty, 2, y), at(empty, 197, y)) << "no fill at 0: " << orientation << " " << y;

        bar.SetMin(20);
        bar.SetValue(20);
        const QImage image = bar.Render();
        for (int y : {4, 11}) {
            EXPECT_EQ(at(image, 1, y), at(image, 39, y)) << orientation << " " << y; // fill: 20 % of 200
            EXPECT_NE(at(image, 39, y), at(image, 40, y)) << orientation << " " << y;
            EXPECT_EQ(at(image, 40, y), at(image, 150, y)) << orientation << " " << y; // track
            EXPECT_EQ(at(image, 150, y), at(empty, 150, y)) << orientation << " " << y;
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
        int best = -1, bestJump = -1;
        for (int y = 2; y <= height - 2; ++y) {
            const int jump = std::abs(qBlue(image.pixel(30, y)) - qBlue(image.pixel(30, y - 1)));
            if (jump > bestJump)
                std::tie(best, bestJump) = std::pair{y, jump};
        }
        EXPECT_EQ(best, split) << height;
    }
}

TEST(ProgressBar, CornersOutsideTheShapeAreNotShown)
{
    ProgressBar bar;
    Plain(bar, 60, 15, 1);
    const QRgb outline = qRgb(204, 168, 62);
    QImage image = bar.Render();
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(59, 14)), 0);
    EXPECT_EQ(image.pixel(1, 0), outline);
    EXPECT_EQ(image.pixel(0, 1), outline);
    EXPECT_EQ(image.pixel(59, 7), outline);

    bar.SetRoundedValue(0);
    image = bar.Render();
    EXPECT_EQ(image.pixel(0, 0), outline);
    EXPECT_EQ(image.pixel(59, 14), outline);
}

// Rendered through the widget into an image of pixel ratio 2: the outline
// keeps its logical width and the corners step in device pixels; nothing is
// painted outside the rounded face.
TEST(ProgressBar, AtPixelRatioTwoOutlineAndCornersStepInDevicePixels)
{
    ProgressBar bar;
    Plain(bar, 200, 40, 1);
    bar.SetRoundedValue(16);
    QImage image(400, 80, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    image.fill(Qt::transparent);
    bar.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    EXPECT_EQ(image, bar.Render(2));

    const QRgb outline = qRgb(204, 168, 62);
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(image.pixel(0, 40), outline);
    EXPECT_EQ(image.pixel(1, 40), outline);
    EXPECT_NE(image.pixel(2, 40), outline);
    const PixelBlocks corner(image, QRect(0, 0, 16, 16), outline);
    EXPECT_LT(corner.Uniform * 2, corner.Total) << corner.Uniform << " of " << corner.Total;
}

TEST(ProgressBar, DisabledBarIsDrawnInGreysCaptionIncluded)
{
    ProgressBar bar;
    bar.resize(120, 20);
    bar.SetTheme(3);
    bar.SetTextStyle(3);
    bar.SetText("Found 3");
    bar.SetTextEffect(2);
    bar.SetTextForeColor(RGB(255, 0, 0));
    bar.SetTextEffectColor(RGB(0, 0, 255));
    const auto countColoured = [](const QImage &image) {
        int coloured = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb c = image.pixel(x, y);
                coloured += qAlpha(c) != 0 && (qRed(c) != qGreen(c) || qGreen(c) != qBlue(c));
            }
        }
        return coloured;
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
    bar.SetText("Completed");
    for (int effect = -1; effect <= 6; ++effect) {
        bar.SetTextEffect(effect);
        EXPECT_EQ(bar.Render() != noCaption, effect >= 1 && effect <= 5) << effect;
    }
}

TEST(ProgressBar, BoundSettersReportTheValueTheyMove)
{
    ProgressBar bar;
    QStringList changed;
    QObject::connect(&bar, &ProgressBar::PropertyChanged, [&](const QString &name) { changed << name; });
    bar.SetMax(30);
    EXPECT_EQ(changed, QStringList({"Max", "Value"}));
    changed.clear();
    bar.SetMin(5);
    EXPECT_EQ(changed, QStringList({"Min"}));
}

// Every property is written, in save order; what is read back writes the same.
TEST(ProgressBar, SaveAndLoadReproduceEveryProperty)
{
    ProgressBar saved;
    saved.SetOrientations(2);
    saved.SetMax(500);
    saved.SetMin(10);
    saved.SetValue(321);
    saved.SetRoundedValue(9);
    saved.SetEnabled(false);
    saved.SetTheme(10);
    saved.SetTextStyle(2);
    QFont font("DejaVu Serif", 13);
    font.setBold(true);
    saved.SetTextFont(font);
    saved.SetTextForeColor(RGB(1, 2, 3));
    saved.SetTextAlignment(9);
    saved.SetText("Saved");
    saved.SetTextEffectColor(0x8000000Fu);
    saved.SetTextEffect(4);
    saved.SetPBSCustomeColor2(RGB(9, 8, 7));
    saved.SetPBSCustomeColor1(RGB(4, 5, 6));
    PropertyStore store;
    saved.WriteProperties(store);
    EXPECT_EQ(store.Keys(), QStringList({"Orientations", "Max", "Min", "Value", "RoundedValue", "Enabled",
                                         "Theme", "TextStyle", "TextFont", "TextForeColor", "TextAlignment",
                                         "Text", "TextEffectColor", "TextEffect", "PBSCustomeColor2",
                                         "PBSCustomeColor1"}));

    ProgressBar loaded;
    loaded.setObjectName("vp1");
    loaded.ReadProperties(PropertyStore::FromBytes(store.ToBytes()));
    PropertyStore again;
    loaded.WriteProperties(again);
    EXPECT_EQ(again.ToVariantMap(), store.ToVariantMap());
    EXPECT_EQ(loaded.TextFont(), font);
    EXPECT_EQ(loaded.Value(), 321);
    EXPECT_EQ(loaded.Render(), saved.Render());
}
