#include "controls/progress/ProgressBarModel.h"
#include "controls/PropertyStore.h"

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
    using Steps = std::vector<std::pair<void (Bar::*)(int32_t), int>>;
    const std::tuple<Steps, int, int, int> cases[] = {
        // steps -> max, min, value
        {{{&Bar::SetMax, 0}}, 1, 0, 1},
        {{{&Bar::SetMin, 10}, {&Bar::SetMax, 5}}, 11, 10, 11}, // max not above min: min + 1
        {{{&Bar::SetMin, 100}}, 100, 99, 99},                  // min at max: max - 1
        {{{&Bar::SetMin, -5}}, 100, 0, 50},
        {{{&Bar::SetMax, 30}}, 30, 0, 30},   // a lower max pulls the value down
        {{{&Bar::SetMin, 70}}, 100, 70, 70}, // a higher min pushes it up
        {{{&Bar::SetValue, 101}}, 100, 0, 100},
        {{{&Bar::SetMin, 20}, {&Bar::SetValue, 3}}, 100, 20, 20},
        {{{&Bar::SetMin, 20}, {&Bar::SetValue, 20}}, 100, 20, 20},
    };
    for (const auto &[steps, max, min, value] : cases) {
        Bar bar = FreshBar();
        for (const auto &[set, v] : steps)
            (bar.*set)(v);
        EXPECT_EQ(std::make_tuple(bar.Max(), bar.Min(), bar.Value()), std::make_tuple(max, min, value))
            << "last set to " << steps.back().second;
    }
}

TEST(ProgressBarModel, CaptionTextByStyle)
{
    const QLocale previous;
    QLocale::setDefault(QLocale::c());
    const std::tuple<int, int, int, QString> cases[] = {
        // style, value, max -> caption
        {2, 1, 3, "33.3333333333333%"},
        {2, 1, 8, "12.5%"},
        {2, 1, 2147483647, "4.6566128752458E-08%"},
        {1, 42, 100, "42"},
        {3, 42, 100, "custom"},
        {0, 42, 100, ""},
        {4, 42, 100, ""},
    };
    for (const auto &[style, value, max, caption] : cases) {
        ProgressBarModel bar = FreshBar();
        bar.SetMax(max);
        bar.SetValue(value);
        bar.SetTextStyle(style);
        bar.SetText("custom");
        EXPECT_EQ(bar.Caption(), caption) << style << " " << value << "/" << max;
    }
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_EQ(ProgressBarModel::PercentText(100.0 / 3), "33,3333333333333") << "the user's decimal separator";
    QLocale::setDefault(previous);
}

// Alignments 1 to 9 go down the left, the middle and the right column.
TEST(ProgressBarModel, CaptionPositions)
{
    ProgressBarModel bar = FreshBar();
    const int cases[][5] = {
        // W, H, alignment -> top-left corner x, y of a 30x13 caption
        {100, 15, 1, 1, 0},
        {100, 15, 3, 1, 1},
        {100, 15, 8, 67, 0},
        {101, 16, 5, 34, 0}, // 34.5 -> 34, 0.5 -> 0
        {103, 18, 5, 36, 2}, // 35.5 -> 36, 1.5 -> 2
        {103, 18, 9, 70, 4},
        {100, 15, 0, 0, 0},
        {100, 15, 10, 0, 0},
    };
    for (const auto &[width, height, alignment, x, y] : cases) {
        bar.SetTextAlignment(alignment);
        EXPECT_EQ(bar.CaptionPosition(width, height, 30, 13), QPoint(x, y))
            << alignment << " " << width << "x" << height;
    }
}

// Theme 10 is made from the two custom colours by shifts (negative ones
// take the absolute value, the high byte is ignored); another theme keeps
// the last palette (all black before the first).
TEST(ProgressBarModel, ThemePalettes)
{
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

// A fresh bar takes its fresh values and saves those that differ from the
// save defaults, and the font always; an empty text is not saved although a
// load without it takes the host's name.
TEST(ProgressBarModel, AFreshBarSavesWhatDiffersFromTheSaveDefaults)
{
    ProgressBarModel bar = FreshBar();
    EXPECT_EQ(std::make_pair(bar.TextStyle(), bar.Text()), std::make_pair(3, QString("Orin ProgressBar")));
    PropertyStore saved;
    bar.WriteProperties(saved);
    EXPECT_EQ(saved.Keys(), QStringList({"TextStyle", "TextFont", "Text", "TextEffectColor", "TextEffect"}));
    bar.SetText(QString());
    saved.Clear();
    bar.WriteProperties(saved);
    EXPECT_EQ(saved.Keys(), QStringList({"TextStyle", "TextFont", "TextEffectColor", "TextEffect"}));
}

// A load clamps in reading order: Max, then Min against it, then Value
// against both; a bar with no saved text shows the host's name for it.
// Signed numbers are kept within their type, colours may come signed.
TEST(ProgressBarModel, LoadClampsInReadingOrderAndTakesTheHostsName)
{
    PropertyStore store;
    store.Write("Max", 10);
    store.Write("Min", 50);
    store.Write("Value", 50);
    store.Write("RoundedValue", qint64(1) << 40);
    store.Write("TextForeColor", -2147483633);
    ProgressBarModel bar;
    bar.ReadProperties(store, "Sans,9", "vpDL");
    EXPECT_EQ(
        std::make_tuple(bar.Max(), bar.Min(), bar.Value(), bar.Text()), std::make_tuple(10, 9, 10, QString("vpDL")));
    EXPECT_EQ(std::make_pair(bar.RoundedValue(), bar.TextForeColor()), std::make_pair(2147483647, 0x8000000Fu));
}
