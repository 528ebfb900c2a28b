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
    void SetHigh(int32_t v) { low = std::min(low, (high = v) - 1); }
    int32_t Low() const { return low; }
    void SetLow(int32_t v) { low = std::min(v, high - 1); }
    QString Caption() const { return caption; }
    void SetCaption(const QString &v) { caption = v; }
    OleColour Colour() const { return colour; }
    void SetColour(OleColour v) { colour = v; }
    int16_t Depth() const { return depth; }
    void SetDepth(int v) { depth = static_cast<int16_t>(std::clamp(v, 0, 50)); }
    auto Values() const { return std::make_tuple(high, low, caption, colour, depth); }

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
    EXPECT_EQ(gauge.Values(), std::make_tuple(10, 0, QString("new"), 0x8000000Fu, int16_t(5)));

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
    EXPECT_EQ(std::make_pair(store.Read("Depth", 0).typeId(), store.Read("Colour", 0).typeId()),
        std::make_pair(int(QMetaType::Int), int(QMetaType::UInt)));
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
    EXPECT_EQ(gauge.Values(), std::make_tuple(8, 7, QString("g7"), 0x8000000Fu, int16_t(50)));
}
