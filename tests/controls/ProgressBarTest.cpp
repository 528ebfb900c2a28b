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

bool IsGrey(QRgb c)
{
    return qRed(c) == qGreen(c) && qGreen(c) == qBlue(c);
}

// The row at which the track's colour jumps most, away from the outline.
int SplitRow(const QImage &image, int x)
{
    int best = -1;
    int bestJump = -1;
    for (int y = 2; y <= image.height() - 2; ++y) {
        const int jump = std::abs(qBlue(image.pixel(x, y)) - qBlue(image.pixel(x, y - 1)));
        if (jump > bestJump) {
            bestJump = jump;
            best = y;
        }
    }
    return best;
}

} // namespace

TEST(ProgressBar, NoFillBelowOne)
{
    ProgressBar bar;
    Plain(bar, 100, 15, 3);
    bar.SetValue(0);
    const QImage empty = bar.Render();
    for (int y = 1; y < 14; ++y)
        EXPECT_EQ(empty.pixel(2, y), empty.pixel(97, y)) << y;

    bar.SetValue(50);
    const QImage half = bar.Render();
    EXPECT_NE(half.pixel(2, 4), half.pixel(97, 4));
}

TEST(ProgressBar, FillIsTheValuesShareOfMaxIgnoringMin)
{
    ProgressBar bar;
    Plain(bar, 200, 15, 3);
    bar.SetMin(20);
    bar.SetValue(20);
    const QImage image = bar.Render();
    for (int y : {4, 11}) {
        EXPECT_EQ(image.pixel(1, y), image.pixel(39, y)) << y;  // fill: 20 % of 200
        EXPECT_NE(image.pixel(39, y), image.pixel(40, y)) << y;
        EXPECT_EQ(image.pixel(40, y), image.pixel(150, y)) << y; // track
    }
}

TEST(ProgressBar, VerticalFillGrowsDownFromTheTop)
{
    ProgressBar bar;
    Plain(bar, 15, 100, 5);
    bar.SetOrientations(2);
    bar.SetValue(30);
    const QImage image = bar.Render();
    for (int x : {3, 11}) {
        EXPECT_EQ(image.pixel(x, 5), image.pixel(x, 29)) << x;
        EXPECT_NE(image.pixel(x, 29), image.pixel(x, 30)) << x;
        EXPECT_EQ(image.pixel(x, 30), image.pixel(x, 80)) << x;
    }
}

TEST(ProgressBar, TrackHalvesSplitAtHalfTheHeightRoundedToEven)
{
    const std::pair<int, int> cases[] = {{15, 8}, {13, 6}, {17, 8}, {14, 7}};
    for (const auto &[height, split] : cases) {
        ProgressBar bar;
        Plain(bar, 60, height, 1);
        bar.SetValue(0);
        EXPECT_EQ(SplitRow(bar.Render(), 30), split) << height;
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
                if (qAlpha(image.pixel(x, y)) != 0 && !IsGrey(image.pixel(x, y)))
                    ++coloured;
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
    for (int effect : {0, 6}) {
        bar.SetTextEffect(effect);
        EXPECT_EQ(bar.Render(), noCaption) << effect;
    }
    for (int effect = 1; effect <= 5; ++effect) {
        bar.SetTextEffect(effect);
        EXPECT_NE(bar.Render(), noCaption) << effect;
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
    EXPECT_EQ(loaded.Orientations(), 2);
    EXPECT_EQ(loaded.Max(), 500);
    EXPECT_EQ(loaded.Min(), 10);
    EXPECT_EQ(loaded.Value(), 321);
    EXPECT_EQ(loaded.RoundedValue(), 9);
    EXPECT_FALSE(loaded.Enabled());
    EXPECT_EQ(loaded.Theme(), 10);
    EXPECT_EQ(loaded.TextStyle(), 2);
    EXPECT_EQ(loaded.TextFont(), font);
    EXPECT_EQ(loaded.TextForeColor(), RGB(1, 2, 3));
    EXPECT_EQ(loaded.TextAlignment(), 9);
    EXPECT_EQ(loaded.Text(), "Saved");
    EXPECT_EQ(loaded.TextEffectColor(), 0x8000000Fu);
    EXPECT_EQ(loaded.TextEffect(), 4);
    EXPECT_EQ(loaded.PBSCustomeColor2(), RGB(9, 8, 7));
    EXPECT_EQ(loaded.PBSCustomeColor1(), RGB(4, 5, 6));
    EXPECT_EQ(loaded.Render(), saved.Render());
}
