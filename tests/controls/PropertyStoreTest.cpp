#include "controls/PropertyStore.h"

#include <gtest/gtest.h>

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
