#include "controls/PropertyTable.h"
#include "util/Colour.h"

#include <gtest/gtest.h>

namespace {

// A control whose Low is kept below High, as bounds are.
class Gauge {
public:
    struct Host {
        QString Name;
    };
    static const PropertyTable<Gauge, Host> &Properties()
    {
        using Table = PropertyTable<Gauge, Host>;
        static const Table table = {
            Table::Property<&Gauge::High, &Gauge::SetHigh>("High", 10).SavedAt(2),
            Table::Property<&Gauge::Low, &Gauge::SetLow>("Low", 0).SavedAt(3),
            Table::Property<&Gauge::Caption, &Gauge::SetCaption>("Caption", &Host::Name)
                .Fresh(QStringLiteral("new"))
                .SaveDefault(QString())
                .SavedAt(1),
            Table::Property<&Gauge::Colour, &Gauge::SetColour>("Colour", 0x8000000Fu).AlwaysSaved().SavedAt(4),
            Table::Property<&Gauge::Depth, &Gauge::SetDepth>("Depth", 5).SavedAt(5),
        };
        return table;
    }

    int32_t High() const { return high; }
    void SetHigh(int32_t v)
    {
        high = v;
        if (low >= high)
            low = high - 1;
    }
    int32_t Low() const { return low; }
    void SetLow(int32_t v) { low = v < high ? v : high - 1; }
    QString Caption() const { return caption; }
    void SetCaption(const QString &v) { caption = v; }
    OleColour Colour() const { return colour; }
    void SetColour(OleColour v) { colour = v; }
    int16_t Depth() const { return depth; }
    void SetDepth(int v) { depth = static_cast<int16_t>(std::clamp(v, 0, 50)); }

private:
    int32_t high = 0;
    int32_t low = 0;
    QString caption;
    OleColour colour = 0;
    int16_t depth = 0;
};

} // namespace

TEST(PropertyTable, FreshValuesDefaultsAndSaveOrder)
{
    Gauge gauge;
    Gauge::Properties().Init(gauge, {"g1"});
    EXPECT_EQ(std::make_tuple(gauge.High(), gauge.Low(), gauge.Caption(), gauge.Colour(), gauge.Depth()),
              std::make_tuple(10, 0, QString("new"), 0x8000000Fu, int16_t(5)));

    PropertyStore store;
    Gauge::Properties().Write(gauge, store, {"g1"});
    EXPECT_EQ(store.Keys(), QStringList({"Caption", "Colour"})) << "the save default, not the load default";

    gauge.SetCaption(QString());
    gauge.SetHigh(20);
    gauge.SetLow(4);
    gauge.SetDepth(9);
    store.Clear();
    Gauge::Properties().Write(gauge, store, {"g1"});
    EXPECT_EQ(store.Keys(), QStringList({"High", "Low", "Colour", "Depth"}));
    EXPECT_EQ(store.Read("Depth", 0).typeId(), QMetaType::Int);
    EXPECT_EQ(store.Read("Colour", 0).typeId(), QMetaType::UInt);
}

// Rows are read in table order through the setters; absent keys take the
// load default, which may come from the host; values are brought into the
// setter's type without overflow.
TEST(PropertyTable, ReadGoesThroughTheSettersInTableOrder)
{
    PropertyStore store;
    store.Write("Low", 50);
    store.Write("High", 8);
    store.Write("Colour", -2147483633); // a system colour saved as a signed number
    store.Write("Depth", qint64(1) << 40);
    Gauge gauge;
    Gauge::Properties().Read(gauge, store, {"g7"});
    EXPECT_EQ(std::make_tuple(gauge.High(), gauge.Low(), gauge.Caption(), gauge.Colour(), gauge.Depth()),
              std::make_tuple(8, 7, QString("g7"), 0x8000000Fu, int16_t(50)));
}

TEST(PropertyTable, ApplyNamesTheSettersPropertyThenTheOnesItMoved)
{
    Gauge gauge;
    Gauge::Properties().Init(gauge, {});
    gauge.SetLow(6);
    EXPECT_EQ(Gauge::Properties().Apply<&Gauge::SetHigh>(gauge, 3), QStringList({"High", "Low"}));
    EXPECT_EQ(gauge.Low(), 2);
    EXPECT_EQ(Gauge::Properties().Apply<&Gauge::SetLow>(gauge, 2), QStringList({"Low"})) << "even when unchanged";
    EXPECT_EQ(Gauge::Properties().Apply<&Gauge::SetCaption>(gauge, QString("x")), QStringList({"Caption"}));
}

TEST(PropertyTable, PlainFieldsOfASettingsRecord)
{
    struct Settings {
        bool Lines = false;
        double Size = 0;
        QString Name;
    };
    using Table = PropertyTable<Settings, Gauge::Host>;
    const Table table = {
        Table::Property<&Settings::Lines>("Lines", true),
        Table::Property<&Settings::Size>("Size", 8.25),
        Table::Property<&Settings::Name>("Name", QStringLiteral("Tahoma")),
    };
    Settings settings;
    table.Init(settings, {});
    EXPECT_EQ(std::make_tuple(settings.Lines, settings.Size, settings.Name), std::make_tuple(true, 8.25, QString("Tahoma")));
    settings.Size = 10;
    PropertyStore store;
    table.Write(settings, store, {});
    EXPECT_EQ(store.Keys(), QStringList({"Size"}));
    Settings loaded;
    table.Read(loaded, store, {});
    EXPECT_EQ(std::make_tuple(loaded.Lines, loaded.Size, loaded.Name), std::make_tuple(true, 10.0, QString("Tahoma")));
}
