#include "controls/PropertyStore.h"
#include "controls/grid/GridStore.h"
#include "controls/grid/ListGridProperties.h"

#include <gtest/gtest.h>

namespace {

const QString Ambient = FontDescription(QStringLiteral("Segoe UI"), 9, false);

// Keys of each kind with values other than their defaults, in saving order:
// the font first, FocusRectMode before FocusRectColor. ThemeColor 4 has no
// preset, so the colours read stay; CacheIncrement is out of range, which
// neither a load nor a save checks.
PropertyStore SomeChanged()
{
    PropertyStore bag;
    bag.Write(QStringLiteral("Font"), FontDescription(QStringLiteral("Courier New"), 12, true));
    const QList<QPair<const char *, QVariant>> values = {{"BackColor", 1u}, {"GridColor", 2u}, {"FocusRectMode", 2},
        {"FocusRectColor", 0x00000Eu}, {"GridLines", false}, {"ThemeColor", 4}, {"MultiSelect", true},
        {"CacheIncrement", -5}, {"FormatString", QStringLiteral("<Name|>Size")}, {"RowHeightMin", 300}};
    for (const auto &[key, value] : values)
        bag.Write(QString::fromLatin1(key), value);
    return bag;
}

} // namespace

TEST(GridProperties, ChangedKeysSurviveSaveAndLoadInSavingOrder)
{
    const PropertyStore changed = SomeChanged();
    GridStore first;
    first.ReadProperties(changed, Ambient);
    PropertyStore saved;
    first.WriteProperties(saved, Ambient);
    EXPECT_EQ(saved, changed); // same keys, values, types and order
    EXPECT_EQ(first.Properties().FontName(), QStringLiteral("Courier New"));
    EXPECT_EQ(first.Cols(), 2);
}

TEST(GridProperties, DefaultGridWritesNothingAndReadsBackTheSame)
{
    GridStore fresh;
    fresh.InitProperties(Ambient);
    EXPECT_EQ(fresh.Properties().FontName(), QStringLiteral("Segoe UI")) << "the host's font";

    PropertyStore saved;
    fresh.WriteProperties(saved, Ambient);
    EXPECT_EQ(saved.Count(), 0);

    // Under another host font the grid's font differs from the default.
    fresh.WriteProperties(saved, FontDescription(QStringLiteral("Arial"), 9, false));
    EXPECT_EQ(saved.Keys(), QStringList{QStringLiteral("Font")});
}

// Reading applies the saved ThemeColor's preset over the six colours read,
// and setting ThemeColor does the same; 0 and 4 have no preset.
TEST(GridProperties, ThemeColorPresetsApplyOnReadAndOnSet)
{
    constexpr OleColour Custom = 0x123456;
    const QStringList six = {"BackColor", "ForeColor", "BackColorSel", "ForeColorSel", "FocusRectColor", "GridColor"};
    const auto colours = [](const GridStore &grid) {
        const ListGridProperties &p = grid.Properties();
        return std::vector<OleColour>(
            {p.BackColor, p.ForeColor, p.BackColorSel, p.ForeColorSel, p.FocusRectColor, p.GridColor});
    };
    for (const int32_t themeColor : {0, 1, 2, 3, 4}) {
        PropertyStore bag;
        for (const QString &key : six)
            bag.Write(key, Custom);
        bag.Write(QStringLiteral("ThemeColor"), themeColor);
        GridStore loaded;
        loaded.ReadProperties(bag, Ambient);
        bag.Write(QStringLiteral("ThemeColor"), 0);
        GridStore set;
        set.ReadProperties(bag, Ambient);
        set.SetViewSetting(ViewSetting::ThemeColor, themeColor);
        EXPECT_EQ(colours(set), colours(loaded)) << themeColor;
        EXPECT_EQ(set.Properties().ThemeColor, themeColor);
        const bool preset = themeColor >= 1 && themeColor <= 3;
        for (const OleColour colour : colours(loaded))
            EXPECT_EQ(colour == Custom, !preset) << themeColor;
    }
}
