#include "controls/PropertyStore.h"
#include "controls/progress/ProgressBarModel.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

ProgressBarModel FreshBar()
{
    ProgressBarModel bar;
    bar.InitProperties(QString("Sans,9"));
    return bar;
}

} // namespace

TEST(ProgressBarModel, BoundsAndValueAreClamped)
{
    using Bar = ProgressBarModel;
    const struct {
        std::vector<std::pair<void (Bar::*)(int32_t), int>> steps;
        int max, min, value;
    } cases[] = {
        {{{&Bar::SetMax, 0}}, 1, 0, 1},
        {{{&Bar::SetMax, -40}}, 1, 0, 1},
        {{{&Bar::SetMin, 10}, {&Bar::SetMax, 5}}, 11, 10, 11}, // max not above min: min + 1
        {{{&Bar::SetMin, 100}}, 100, 99, 99},                   // min at max: max - 1
        {{{&Bar::SetMin, -5}}, 100, 0, 50},
        {{{&Bar::SetMax, 30}}, 30, 0, 30},                      // a lower max pulls the value down
        {{{&Bar::SetMin, 70}}, 100, 70, 70},                    // a higher min pushes it up
        {{{&Bar::SetValue, 101}}, 100, 0, 100},
        {{{&Bar::SetMin, 20}, {&Bar::SetValue, 3}}, 100, 20, 20},
        {{{&Bar::SetMin, 20}, {&Bar::SetValue, 20}}, 100, 20, 20},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        Bar bar = FreshBar();
        for (const auto &[set, v] : cases[i].steps)
            (bar.*set)(v);
        EXPECT_EQ(std::make_tuple(bar.Max(), bar.Min(), bar.Value()),
                  std::make_tuple(cases[i].max, cases[i].min, cases[i].value)) << "case " << i;
    }
}

TEST(ProgressBarModel, FillLengthRoundsHalvesToEven)
{
    ProgressBarModel bar = FreshBar();
    bar.SetValue(25);
    EXPECT_EQ(bar.FillLength(10, 15), 2);  // 2.5 -> 2
    EXPECT_EQ(bar.FillLength(14, 15), 4);  // 3.5 -> 4
    bar.SetOrientations(2);
    EXPECT_EQ(bar.FillLength(10, 30), 8);  // 7.5 -> 8, along the height
}

TEST(ProgressBarModel, CaptionTextByStyle)
{
    const QLocale previous;
    QLocale::setDefault(QLocale::c());
    const struct {
        int style, value, max;
        QString text;
    } cases[] = {
        {2, 1, 3, "33.3333333333333%"}, {2, 2, 3, "66.6666666666667%"}, {2, 50, 100, "50%"},
        {2, 0, 100, "0%"},              {2, 1, 8, "12.5%"},            {2, 1, 2147483647, "4.6566128752458E-08%"},
        {1, 42, 100, "42"},             {3, 42, 100, "custom"},        {0, 42, 100, ""},
        {4, 42, 100, ""},
    };
    for (const auto &c : cases) {
        ProgressBarModel bar = FreshBar();
        bar.SetMax(c.max);
        bar.SetValue(c.value);
        bar.SetTextStyle(c.style);
        bar.SetText("custom");
        EXPECT_EQ(bar.Caption(), c.text) << c.style << " " << c.value << "/" << c.max;
    }
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_EQ(ProgressBarModel::PercentText(100.0 / 3), "33,3333333333333") << "the user's decimal separator";
    QLocale::setDefault(previous);
}

TEST(ProgressBarModel, CaptionPositions)
{
    ProgressBarModel bar = FreshBar();
    const int cases[][7] = { // W, H, caption tw, th, alignment -> top-left corner x, y
        {100, 15, 30, 13, 1, 1, 0},  {100, 15, 30, 13, 2, 1, 0},  {100, 15, 30, 13, 3, 1, 1},
        {100, 15, 30, 13, 4, 34, 0}, {100, 15, 30, 13, 5, 34, 0}, {100, 15, 30, 13, 6, 34, 1},
        {100, 15, 30, 13, 7, 67, 0}, {100, 15, 30, 13, 8, 67, 0}, {100, 15, 30, 13, 9, 67, 1},
        {101, 16, 30, 13, 5, 34, 0}, // 34.5 -> 34, 0.5 -> 0
        {103, 18, 30, 13, 5, 36, 2}, // 35.5 -> 36, 1.5 -> 2
        {100, 15, 30, 13, 0, 0, 0},  {100, 15, 30, 13, 10, 0, 0},
    };
    for (const auto &c : cases) {
        bar.SetTextAlignment(c[4]);
        EXPECT_EQ(bar.CaptionPosition(c[0], c[1], c[2], c[3]), QPoint(c[5], c[6])) << c[4] << " " << c[0] << "x" << c[1];
    }
}

// Theme 10 shifts its two colours; every theme pairs its entries; another
// theme keeps the last palette (all black before the first).
TEST(ProgressBarModel, ThemePalettes)
{
    const OleColour c1 = RGB(10, 100, 250), c2 = RGB(100, 200, 0);
    ProgressBarModel::Palette palette{};
    ASSERT_TRUE(ProgressBarModel::ThemePalette(10, c1, c2, palette));
    const OleColour even[] = {RGB(255, 255, 180), RGB(150, 250, 50), c2, RGB(180, 255, 80), RGB(190, 255, 255),
                              RGB(60, 150, 255),  c1,                RGB(90, 180, 255), c2};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(palette[2 * i], even[i]) << 2 * i;
    for (int theme = 1; theme <= 10; ++theme) {
        ASSERT_TRUE(ProgressBarModel::ThemePalette(theme, c1, c2, palette));
        for (int odd = 1; odd < 16; odd += 2)
            EXPECT_EQ(palette[odd], palette[odd - 1]) << theme << " " << odd;
    }
    // Negative shifts take the absolute value; the high byte is ignored.
    EXPECT_EQ(ProgressBarModel::Shift(RGB(10, 60, 255), -30), RGB(20, 30, 225));
    EXPECT_EQ(ProgressBarModel::Shift(0x80102030u, 0), RGB(0x30, 0x20, 0x10));

    EXPECT_EQ(ProgressBarModel().CurrentPalette(), ProgressBarModel::Palette{});
    ProgressBarModel bar = FreshBar();
    bar.SetTheme(5);
    const ProgressBarModel::Palette theme5 = bar.CurrentPalette();
    bar.SetTheme(11);
    bar.SetPBSCustomeColor1(RGB(1, 1, 1));
    bar.SetTheme(0);
    EXPECT_EQ(bar.CurrentPalette(), theme5);
}

// A fresh bar differs from the load defaults in its caption settings only;
// the font is always written.
TEST(ProgressBarModel, FreshBarSavesItsOwnCaptionSettings)
{
    PropertyStore saved;
    FreshBar().WriteProperties(saved);
    EXPECT_EQ(saved.Keys(), QStringList({"TextStyle", "TextFont", "Text", "TextEffectColor", "TextEffect"}));
    EXPECT_EQ(saved.Read("Text", QString()).toString(), "Orin ProgressBar");
    EXPECT_EQ(saved.Read("TextEffectColor", 0).toUInt(), RGB(255, 255, 255));
    EXPECT_EQ(std::make_pair(saved.Read("TextStyle", 0).toInt(), saved.Read("TextEffect", 0).toInt()), std::make_pair(3, 5));
}

TEST(ProgressBarModel, LoadAppliesDefaultsAndClampsInReadingOrder)
{
    ProgressBarModel bar = FreshBar();
    bar.ReadProperties(PropertyStore(), "Sans,9", "vpDL");
    EXPECT_EQ(bar.Text(), "vpDL");
    EXPECT_EQ(std::make_tuple(bar.TextStyle(), bar.TextEffect(), bar.Value()), std::make_tuple(1, 1, 50));
    EXPECT_EQ(bar.TextEffectColor(), RGB(200, 200, 200));
    EXPECT_EQ(bar.TextFont(), "Sans,9");
    // Only the font differs from its default once the text is cleared.
    PropertyStore saved;
    bar.SetText(QString());
    bar.WriteProperties(saved);
    EXPECT_EQ(saved.Keys(), QStringList({"TextFont"}));

    // Max first, then Min against it, then Value against both.
    PropertyStore store;
    store.Write("Max", 10);
    store.Write("Min", 50);
    store.Write("Value", 50);
    bar.ReadProperties(store, "Sans,9", "vpDL");
    EXPECT_EQ(std::make_tuple(bar.Max(), bar.Min(), bar.Value()), std::make_tuple(10, 9, 10));
}
