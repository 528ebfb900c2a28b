#include "controls/PropertyStore.h"
#include "controls/grid/GridStore.h"
#include "controls/grid/ListGridProperties.h"

#include <gtest/gtest.h>

#include <QSet>
#include <set>

namespace {

const QString Ambient = FontDescription(QStringLiteral("Segoe UI"), 9, false);

// Every persisted key with a value other than its default, in saving order;
// the first colours take 1, 2, 3 and so on. ThemeColor 4 has no preset, so
// the colours read stay as they are; CacheIncrement and ScaleUnits are out of
// range, which neither a load nor a save checks.
PropertyStore AllChanged()
{
    PropertyStore bag;
    bag.Write(QStringLiteral("Font"), FontDescription(QStringLiteral("Courier New"), 12, true));
    bag.Write(QStringLiteral("ApplySelectionToImages"), false);
    uint colour = 0;
    for (const char *key :
        {"BackColor", "BackColorBkg", "BackColorEdit", "BackColorFixed", "BackColorSel", "ForeColor", "ForeColorEdit",
            "ForeColorFixed", "ForeColorHdr", "ForeColorSel", "ForeColorTotals", "GridColor", "ProgressBarColor"})
        bag.Write(QString::fromLatin1(key), ++colour);
    const QList<QPair<const char *, QVariant>> values = {{"AlphaBlendSelection", true}, {"BorderStyle", 0},
        {"DisplayEllipsis", false}, {"FocusRectMode", 2}, {"FocusRectColor", 0x00000Eu}, {"FocusRectStyle", 3},
        {"GridLines", false}, {"GridLineWidth", 2}, {"ThemeColor", 4}, {"ThemeStyle", 1}, {"AllowUserResizing", 3},
        {"AutoSizeRow", true}, {"Checkboxes", true}, {"ColumnDrag", true}, {"ColumnHeaders", false},
        {"ColumnSort", true}, {"Editable", true}, {"EditTrigger", 18}, {"FullRowSelect", false},
        {"HideSelection", false}, {"HotHeaderTracking", false}, {"MultiSelect", true}, {"Redraw", false},
        {"ScrollTrack", false}, {"TrackEdits", true}, {"CacheIncrement", -5}, {"Enabled", false},
        {"FormatString", QStringLiteral("<Name|>Size")}, {"Locked", true}, {"RowHeightMax", 600}, {"RowHeightMin", 300},
        {"ScaleUnits", 6}, {"SearchColumn", 1}};
    for (const auto &[key, value] : values)
        bag.Write(QString::fromLatin1(key), value);
    return bag;
}

} // namespace

TEST(GridProperties, EveryKeySurvivesSaveAndLoadInSavingOrder)
{
    const PropertyStore changed = AllChanged();
    const QStringList tableKeys = ListGridProperties::Table().Keys();
    const QStringList changedKeys = changed.Keys();
    EXPECT_EQ(QSet<QString>(tableKeys.begin(), tableKeys.end()), QSet<QString>(changedKeys.begin(), changedKeys.end()));

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
    std::set<std::vector<OleColour>> seen;
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
        seen.insert(colours(loaded));
    }
    EXPECT_EQ(seen.size(), 4u) << "three presets of their own";
}
