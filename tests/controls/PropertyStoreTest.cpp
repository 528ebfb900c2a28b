#include "controls/PropertyStore.h"

#include <gtest/gtest.h>

TEST(PropertyStore, ValueEqualToItsDefaultIsNotWritten)
{
    PropertyStore store;
    store.Write("Max", 100, 100);
    store.Write("Enabled", true, true);
    store.Write("Text", QString(), QString());
    store.Write("TextForeColor", 0u, 0u);
    store.Write("Min", qint64(0), 0); // numbers compare by value whatever their type
    EXPECT_EQ(store.Count(), 0);
    EXPECT_EQ(store.Read("Max", 100).toInt(), 100);

    store.Write("Orientations", 2, 1);
    store.Write("Max", 250, 100);
    store.Write("TextFont", QString()); // no default: always stored
    store.Write("Orientations", 3, 1);  // keeps its place
    EXPECT_EQ(store.Keys(), QStringList({"Orientations", "Max", "TextFont"}));
    EXPECT_EQ(store.Read("Orientations", 1).toInt(), 3);
    store.Write("Max", 100, 100);
    EXPECT_FALSE(store.Contains("Max")) << "writing the default again drops the earlier value";
}

TEST(PropertyStore, BinaryAndMapFormsKeepOrderAndTypes)
{
    PropertyStore store;
    store.Write("Text", QString("Found 3"));
    store.Write("Enabled", false);
    store.Write("BackColor", 0x8000000Fu);
    store.Write("Value", -7);
    bool ok = false;
    const PropertyStore copy = PropertyStore::FromBytes(store.ToBytes(), &ok);
    ASSERT_TRUE(ok);
    EXPECT_TRUE(copy == store) << "keys, values and order";
    EXPECT_EQ(copy.Read("BackColor", 0).typeId(), QMetaType::UInt);

    const QByteArray bytes = store.ToBytes();
    for (const QByteArray &bad : {QByteArray(), QByteArray("not a store"), bytes.left(bytes.size() - 3)}) {
        ok = true;
        EXPECT_EQ(PropertyStore::FromBytes(bad, &ok).Count(), 0);
        EXPECT_FALSE(ok);
    }
}
