#include "controls/PropertyStore.h"
#include "controls/progress/ProgressBarModel.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

// Sets the default locale for one test and restores the earlier one after.
class DefaultLocale {
public:
    explicit DefaultLocale(const QLocale &locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(previous); }

private:
    QLocale previous;
};

ProgressBarModel FreshBar()
{
    ProgressBarModel bar;
    bar.InitProperties(QString("Sans,9"));
    return bar;
}

} // namespace

TEST(ProgressBarModel, BoundsAndValueAreClamped)
{
    enum Op { SetMax, SetMin, SetValue };
    const struct {
        const char *name;
        std::vector<std::pair<Op, int>> steps;
        int max, min, value;
    } cases[] = {
        {"max 0 becomes 1", {{SetMax, 0}}, 1, 0, 1},
        {"negative max becomes 1", {{SetMax, -40}}, 1, 0, 1},
        {"max not above min becomes min + 1", {{SetMin, 10}, {SetMax, 5}}, 11, 10, 11},
        {"min at max becomes max - 1", {{SetMin, 100}}, 100, 99, 99},
        {"negative min becomes 0", {{SetMin, -5}}, 100, 0, 50},
        {"lower max pulls value down", {{SetMax, 30}}, 30, 0, 30},
        {"higher min pushes value up", {{SetMin, 70}}, 100, 70, 70},
        {"value above max", {{SetValue, 101}}, 100, 0, 100},
        {"value below min", {{SetMin, 20}, {SetValue, 3}}, 100, 20, 20},
        {"value within", {{SetMin, 20}, {SetValue, 20}}, 100, 20, 20},
    };
    for (const auto &c : cases) {
        ProgressBarModel bar = FreshBar();
        for (const auto &[op, v] : c.steps) {
            if (op == SetMax)
                bar.SetMax(v);
            else if (op == SetMin)
                bar.SetMin(v);
            else
                bar.SetValue(v);
        }
        EXPECT_EQ(bar.Max(), c.max) << c.name;
        EXPECT_EQ(bar.Min(), c.min) << c.name;
        EXPECT_EQ(bar.Value(), c.value) << c.name;
    }
}

TEST(ProgressBarModel, PercentageIgnoresMinAndFillRoundsHalfToEven)
{
    ProgressBarModel bar = FreshBar();
    bar.SetMin(20);
    bar.SetValue(20);
    EXPECT_DOUBLE_EQ(bar.Percentage(), 20.0);
    EXPECT_EQ(bar.FillLength(100, 15), 20);

    bar.SetMin(0);
    bar.SetValue(25);
    EXPECT_EQ(bar.FillLength(10, 15), 2);  // 2.5 -> 2
    EXPECT_EQ(bar.FillLength(14, 15), 4);  // 3.5 -> 4
    bar.SetOrientations(2);
    EXPECT_EQ(bar.FillLength(10, 30), 8);  // 7.5 -> 8, along the height

    EXPECT_EQ(ProgressBarModel::HalfOf(15), 8);
    EXPECT_EQ(ProgressBarModel::HalfOf(13), 6);
    EXPECT_EQ(ProgressBarModel::HalfOf(17), 8);
}

TEST(ProgressBarModel, CaptionTextByStyle)
{
    const DefaultLocale c(QLocale::c());
    const struct {
        int style, value, max;
        QString text;
    } cases[] = {
        {2, 1, 3, "33.3333333333333%"},
        {2, 2, 3, "66.6666666666667%"},
        {2, 50, 100, "50%"},
        {2, 0, 100, "0%"},
        {2, 1, 8, "12.5%"},
        {2, 1, 2147483647, "4.6566128752458E-08%"},
        {1, 42, 100, "42"},
        {3, 42, 100, "custom"},
        {0, 42, 100, ""},
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
}

TEST(ProgressBarModel, PercentageUsesTheUsersDecimalSeparator)
{
    const DefaultLocale german(QLocale(QLocale::German));
    EXPECT_EQ(ProgressBarModel::PercentText(100.0 / 3), "33,3333333333333");
}

TEST(ProgressBarModel, EffectsOutsideOneToFiveDrawNoCaption)
{
    ProgressBarModel bar = FreshBar();
    for (int effect : {0, 6, -1}) {
        bar.SetTextEffect(effect);
        EXPECT_FALSE(bar.HasCaption()) << effect;
        EXPECT_TRUE(bar.CaptionCopies().isEmpty()) << effect;
    }
    bar.SetTextEffect(1);
    EXPECT_TRUE(bar.HasCaption());
}

TEST(ProgressBarModel, CaptionPositions)
{
    ProgressBarModel bar = FreshBar();
    // W x H, caption tw x th, alignment -> top-left corner.
    const struct {
        int w, h, tw, th, alignment, x, y;
    } cases[] = {
        {100, 15, 30, 13, 1, 1, 0},     {100, 15, 30, 13, 2, 1, 0},   {100, 15, 30, 13, 3, 1, 1},
        {100, 15, 30, 13, 4, 34, 0},    {100, 15, 30, 13, 5, 34, 0},  {100, 15, 30, 13, 6, 34, 1},
        {100, 15, 30, 13, 7, 67, 0},    {100, 15, 30, 13, 8, 67, 0},  {100, 15, 30, 13, 9, 67, 1},
        {101, 16, 30, 13, 5, 34, 0},    // 34.5 -> 34, 0.5 -> 0
        {103, 18, 30, 13, 5, 36, 2},    // 35.5 -> 36, 1.5 -> 2
        {100, 15, 30, 13, 0, 0, 0},     {100, 15, 30, 13, 10, 0, 0},
    };
    for (const auto &c : cases) {
        bar.SetTextAlignment(c.alignment);
        EXPECT_EQ(bar.CaptionPosition(c.w, c.h, c.tw, c.th), QPoint(c.x, c.y))
            << c.alignment << " " << c.w << "x" << c.h;
    }
}

TEST(ProgressBarModel, FixedThemePalettes)
{
    ProgressBarModel::Palette palette{};
    ASSERT_TRUE(ProgressBarModel::ThemePalette(3, 0, 0, palette));
    EXPECT_EQ(palette[12], RGB(57, 203, 70));
    EXPECT_EQ(palette[16], RGB(62, 204, 74));
    for (int theme = 1; theme <= 10; ++theme) {
        ASSERT_TRUE(ProgressBarModel::ThemePalette(theme, RGB(1, 2, 3), RGB(4, 5, 6), palette));
        for (int odd = 1; odd < 16; odd += 2)
            EXPECT_EQ(palette[odd], palette[odd - 1]) << theme << " " << odd;
    }
}

TEST(ProgressBarModel, CustomThemeShiftsItsTwoColours)
{
    const OleColour c1 = RGB(10, 100, 250);
    const OleColour c2 = RGB(100, 200, 0);
    ProgressBarModel::Palette palette{};
    ASSERT_TRUE(ProgressBarModel::ThemePalette(10, c1, c2, palette));
    EXPECT_EQ(palette[0], RGB(255, 255, 180));
    EXPECT_EQ(palette[2], RGB(150, 250, 50));
    EXPECT_EQ(palette[4], c2);
    EXPECT_EQ(palette[6], RGB(180, 255, 80));
    EXPECT_EQ(palette[8], RGB(190, 255, 255));
    EXPECT_EQ(palette[10], RGB(60, 150, 255));
    EXPECT_EQ(palette[12], c1);
    EXPECT_EQ(palette[14], RGB(90, 180, 255));
    EXPECT_EQ(palette[16], c2);

    // Negative shifts take the absolute value; the high byte is ignored.
    EXPECT_EQ(ProgressBarModel::Shift(RGB(10, 60, 255), -30), RGB(20, 30, 225));
    EXPECT_EQ(ProgressBarModel::Shift(0x80102030u, 0), RGB(0x30, 0x20, 0x10));
}

TEST(ProgressBarModel, UnknownThemeKeepsTheLastPalette)
{
    ProgressBarModel untouched;
    for (OleColour c : untouched.CurrentPalette())
        EXPECT_EQ(c, 0u);

    ProgressBarModel bar = FreshBar();
    bar.SetTheme(5);
    const ProgressBarModel::Palette theme5 = bar.CurrentPalette();
    bar.SetTheme(11);
    EXPECT_EQ(bar.CurrentPalette(), theme5);
    bar.SetTheme(0);
    bar.SetPBSCustomeColor1(RGB(1, 1, 1));
    EXPECT_EQ(bar.CurrentPalette(), theme5);
}

TEST(ProgressBarModel, SaveWritesOnlyWhatDiffersInSaveOrder)
{
    PropertyStore store;
    ProgressBarModel bar;
    bar.ReadProperties(PropertyStore(), "Sans,9", "vp1");
    bar.SetText(QString());
    bar.WriteProperties(store);
    EXPECT_EQ(store.Keys(), QStringList({"TextFont"}));

    store.Clear();
    bar.SetPBSCustomeColor1(RGB(1, 2, 3));
    bar.SetText("x");
    bar.SetOrientations(2);
    bar.SetMax(90);
    bar.SetTextEffect(2);
    bar.WriteProperties(store);
    EXPECT_EQ(store.Keys(),
              QStringList({"Orientations", "Max", "TextFont", "Text", "TextEffect", "PBSCustomeColor1"}));
}

TEST(ProgressBarModel, LoadAppliesDefaultsAndClampsInReadingOrder)
{
    ProgressBarModel bar = FreshBar();
    bar.ReadProperties(PropertyStore(), "Sans,9", "vpDL");
    EXPECT_EQ(bar.Text(), "vpDL");
    EXPECT_EQ(bar.TextStyle(), 1);
    EXPECT_EQ(bar.TextEffect(), 1);
    EXPECT_EQ(bar.TextEffectColor(), RGB(200, 200, 200));
    EXPECT_EQ(bar.TextFont(), "Sans,9");
    EXPECT_EQ(bar.Value(), 50);

    // Max first, then Min against it, then Value against both.
    PropertyStore store;
    store.Write("Max", 10);
    store.Write("Min", 50);
    store.Write("Value", 50);
    bar.ReadProperties(store, "Sans,9", "vpDL");
    EXPECT_EQ(bar.Max(), 10);
    EXPECT_EQ(bar.Min(), 9);
    EXPECT_EQ(bar.Value(), 10);
}
