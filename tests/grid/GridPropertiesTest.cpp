#include "controls/PropertyStore.h"
#include "controls/grid/GridStore.h"
#include "controls/grid/ListGridProperties.h"

#include <gtest/gtest.h>

#include <QSet>

namespace {

const QString Ambient = FontDescription(QStringLiteral("Segoe UI"), 9, false);

// Every persisted key with a value other than its default, in saving order.
// ThemeColor 4 has no preset, so the colours read stay as they are.
PropertyStore AllChanged()
{
    const QList<QPair<const char *, QVariant>> values = {
        {"Font", FontDescription(QStringLiteral("Courier New"), 12, true)},
        {"ApplySelectionToImages", false},
        {"BackColor", 0x000001u},
        {"BackColorBkg", 0x000002u},
        {"BackColorEdit", 0x000003u},
        {"BackColorFixed", 0x000004u},
        {"BackColorSel", 0x000005u},
        {"ForeColor", 0x000006u},
        {"ForeColorEdit", 0x000007u},
        {"ForeColorFixed", 0x000008u},
        {"ForeColorHdr", 0x000009u},
        {"ForeColorSel", 0x00000Au},
        {"ForeColorTotals", 0x00000Bu},
        {"GridColor", 0x00000Cu},
        {"ProgressBarColor", 0x00000Du},
        {"AlphaBlendSelection", true},
        {"BorderStyle", 0},
        {"DisplayEllipsis", false},
        {"FocusRectMode", 2},
        {"FocusRectColor", 0x00000Eu},
        {"FocusRectStyle", 3},
        {"GridLines", false},
        {"GridLineWidth", 2},
        {"ThemeColor", 4},
        {"ThemeStyle", 1},
        {"AllowUserResizing", 3},
        {"AutoSizeRow", true},
        {"Checkboxes", true},
        {"ColumnDrag", true},
        {"ColumnHeaders", false},
        {"ColumnSort", true},
        {"Editable", true},
        {"EditTrigger", 18},
        {"FullRowSelect", false},
        {"HideSelection", false},
        {"HotHeaderTracking", false},
        {"MultiSelect", true},
        {"Redraw", false},
        {"ScrollTrack", false},
        {"TrackEdits", true},
        {"CacheIncrement", 25},
        {"Enabled", false},
        {"FormatString", QStringLiteral("<Name|>Size")},
        {"Locked", true},
        {"RowHeightMax", 600},
        {"RowHeightMin", 300},
        {"ScaleUnits", 3},
        {"SearchColumn", 1},
    };
    PropertyStore bag;
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
    EXPECT_EQ(QSet<QString>(tableKeys.begin(), tableKeys.end()),
              QSet<QString>(changedKeys.begin(), changedKeys.end()));

    GridStore first;
    first.ReadProperties(changed, Ambient);
    PropertyStore saved;
    first.WriteProperties(saved, Ambient);
    EXPECT_EQ(saved, changed); // same keys, values, types and order

    GridStore second;
    second.ReadProperties(saved, Ambient);
    PropertyStore savedAgain;
    second.WriteProperties(savedAgain, Ambient);
    EXPECT_EQ(savedAgain, changed);
    EXPECT_EQ(second.FontName(), QStringLiteral("Courier New"));
    EXPECT_EQ(second.Cols(), 2);
}

TEST(GridProperties, DefaultGridWritesNothingAndReadsBackTheSame)
{
    GridStore fresh;
    fresh.InitProperties(Ambient);
    const ListGridProperties &p = fresh.Properties();
    EXPECT_TRUE(p.Redraw && p.GridLines && p.FullRowSelect && p.HideSelection);
    EXPECT_FALSE(p.Editable || p.ColumnSort);
    EXPECT_EQ(std::make_tuple(p.CacheIncrement, p.ScaleUnits, p.EditTrigger, p.SearchColumn),
              std::make_tuple(10, 1, 0, 0));
    EXPECT_EQ(fresh.FontName(), QStringLiteral("Segoe UI"));

    PropertyStore saved;
    fresh.WriteProperties(saved, Ambient);
    EXPECT_EQ(saved.Count(), 0);

    // Under another host font the grid's font differs from the default.
    fresh.WriteProperties(saved, FontDescription(QStringLiteral("Arial"), 9, false));
    EXPECT_EQ(saved.Keys(), QStringList{QStringLiteral("Font")});

    // An empty format string read drops the columns and rows there were.
    GridStore loaded;
    loaded.ReadProperties(AllChanged(), Ambient);
    loaded.AddItem(QStringLiteral("a"));
    loaded.ReadProperties(PropertyStore(), Ambient);
    PropertyStore again;
    loaded.WriteProperties(again, Ambient);
    EXPECT_EQ(again.Count(), 0);
    EXPECT_EQ(loaded.ItemCount(), 0);
    EXPECT_EQ(loaded.Cols(), 0); // one blank column slot
}

TEST(GridProperties, ReadValuesAreNotRangeChecked)
{
    PropertyStore bag;
    bag.Write(QStringLiteral("CacheIncrement"), -5);
    bag.Write(QStringLiteral("ScaleUnits"), QStringLiteral("6")); // converted as a variant
    GridStore grid;
    grid.ReadProperties(bag, Ambient);
    EXPECT_EQ(grid.Properties().CacheIncrement, -5);
    EXPECT_EQ(grid.Properties().ScaleUnits, 6);
    EXPECT_EQ(grid.Properties().SearchColumn, 0);
}

TEST(GridProperties, ThemeColorPresets)
{
    struct Case {
        int32_t themeColor;
        OleColour backSel, foreSel, focusRect, grid; // BackColor and ForeColor follow every preset
    };
    constexpr OleColour Custom = 0x123456;
    const Case cases[] = {
        {1, 0x8000000D, 0x8000000E, RGB(255, 255, 0), RGB(192, 192, 192)},
        {2, RGB(201, 216, 241), RGB(59, 97, 156), RGB(59, 97, 156), RGB(235, 235, 235)},
        {3, RGB(181, 197, 143), RGB(247, 249, 225), RGB(63, 93, 56), RGB(192, 255, 192)},
        {0, Custom, Custom, Custom, Custom},
        {4, Custom, Custom, Custom, Custom},
    };
    const QStringList six = {"BackColor", "ForeColor", "BackColorSel", "ForeColorSel", "FocusRectColor", "GridColor"};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.themeColor);
        const bool preset = c.themeColor >= 1 && c.themeColor <= 3;
        const auto expectColours = [&](const ListGridProperties &p) {
            EXPECT_EQ(p.BackColor, preset ? 0x80000005u : Custom);
            EXPECT_EQ(p.ForeColor, preset ? 0x80000008u : Custom);
            EXPECT_EQ(std::make_tuple(p.BackColorSel, p.ForeColorSel, p.FocusRectColor, p.GridColor),
                      std::make_tuple(c.backSel, c.foreSel, c.focusRect, c.grid));
        };

        // Reading applies the saved ThemeColor's preset over the colours read.
        PropertyStore bag;
        for (const QString &key : six)
            bag.Write(key, Custom);
        bag.Write(QStringLiteral("ThemeColor"), c.themeColor);
        GridStore loaded;
        loaded.ReadProperties(bag, Ambient);
        expectColours(loaded.Properties());

        // Setting ThemeColor does the same.
        bag.Write(QStringLiteral("ThemeColor"), 0);
        GridStore set;
        set.ReadProperties(bag, Ambient);
        set.SetThemeColor(c.themeColor);
        expectColours(set.Properties());
        EXPECT_EQ(set.Properties().ThemeColor, c.themeColor);
    }
}
