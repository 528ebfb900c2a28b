#include "controls/PropertyStore.h"

#include <gtest/gtest.h>

TEST(PropertyStore, MissingKeyReadsItsDefault)
{
    PropertyStore store;
    store.Write("Theme", 3);
    EXPECT_EQ(store.Read("Theme", 1).toInt(), 3);
    EXPECT_EQ(store.Read("Max", 100).toInt(), 100);
    EXPECT_EQ(store.Read("Text", QString("vp1")).toString(), "vp1");
}

TEST(PropertyStore, ValueEqualToItsDefaultIsNotWritten)
{
    PropertyStore store;
    store.Write("Max", 100, 100);
    store.Write("Enabled", true, true);
    store.Write("Text", QString(), QString());
    store.Write("TextForeColor", 0u, 0u);
    EXPECT_EQ(store.Count(), 0);

    // Numbers compare by value whatever their integer type.
    store.Write("Min", qint64(0), 0);
    EXPECT_FALSE(store.Contains("Min"));

    store.Write("Max", 250, 100);
    EXPECT_EQ(store.Read("Max", 100).toInt(), 250);
    // Writing the default again drops the earlier value.
    store.Write("Max", 100, 100);
    EXPECT_FALSE(store.Contains("Max"));
    EXPECT_EQ(store.Read("Max", 100).toInt(), 100);
}

TEST(PropertyStore, KeepsTheOrderOfFirstWriting)
{
    PropertyStore store;
    store.Write("Orientations", 2);
    store.Write("Max", 5);
    store.Write("Orientations", 1);
    store.Write("TextFont", QString());  // no default: always stored
    EXPECT_EQ(store.Keys(), QStringList({"Orientations", "Max", "TextFont"}));
    EXPECT_EQ(store.Read("Orientations", 0).toInt(), 1);
}

TEST(PropertyStore, BinaryFormKeepsOrderAndTypes)
{
    PropertyStore store;
    store.Write("Text", QString("Found 3"));
    store.Write("Enabled", false);
    store.Write("BackColor", 0x8000000Fu);
    store.Write("Value", -7);
    bool ok = false;
    const PropertyStore copy = PropertyStore::FromBytes(store.ToBytes(), &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(copy, store);
    EXPECT_EQ(copy.Keys(), store.Keys());
    EXPECT_EQ(copy.Read("BackColor", 0).typeId(), QMetaType::UInt);
    EXPECT_EQ(copy.Read("BackColor", 0).toUInt(), 0x8000000Fu);
}

TEST(PropertyStore, UnreadableBytesGiveAnEmptyStore)
{
    PropertyStore store;
    store.Write("Max", 5);
    const QByteArray bytes = store.ToBytes();
    for (const QByteArray &bad : {QByteArray(), QByteArray("not a store"), bytes.left(bytes.size() - 3)}) {
        bool ok = true;
        EXPECT_EQ(PropertyStore::FromBytes(bad, &ok).Count(), 0);
        EXPECT_FALSE(ok);
    }
}

TEST(PropertyStore, VariantMapRoundTrip)
{
    PropertyStore store;
    store.Write("Theme", 4);
    store.Write("Text", QString("x"));
    const PropertyStore copy = PropertyStore::FromVariantMap(store.ToVariantMap());
    EXPECT_EQ(copy.Read("Theme", 1).toInt(), 4);
    EXPECT_EQ(copy.Read("Text", QString()).toString(), "x");
    EXPECT_EQ(copy.Count(), 2);
}
