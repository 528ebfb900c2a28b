#include "controls/grid/GridStore.h"
#include "util/Errors.h"

#include <gtest/gtest.h>

namespace {

std::vector<int32_t> SelectedRows(const GridStore &store)
{
    std::vector<int32_t> rows;
    for (int32_t r = 0; r < store.ItemCount(); ++r) {
        if (store.ItemSelected(r))
            rows.push_back(r);
    }
    return rows;
}

} // namespace

// The selected rows are also kept aside so that clearing them does not walk
// every row: both must agree through removals, re-used slots and Clear.
TEST(GridSelection, ClearingAndCountingAgreeWithTheRowFlags)
{
    GridStore store;
    store.AddColumn("a", 1000);
    for (int r = 0; r < 8; ++r)
        store.AddItem(QString::number(r));
    store.SetMultiSelect(true);
    EXPECT_TRUE(store.SelectRange(5, 2));
    EXPECT_FALSE(store.SelectRange(3, 4)) << "already selected";
    store.SetItemSelected(7, true);
    store.RemoveItem(1); // the slots above the removed row move down
    EXPECT_EQ(SelectedRows(store), std::vector<int32_t>({1, 2, 3, 4, 6}));
    EXPECT_EQ(store.SelectedCount(), 5);
    store.RemoveItem(6);
    store.AddItem("new"); // takes the slot the removed selected row left
    EXPECT_FALSE(store.ItemSelected(6));
    EXPECT_EQ(store.SelectedCount(), 4);
    EXPECT_TRUE(store.ClearSelection());
    EXPECT_TRUE(SelectedRows(store).empty());
    EXPECT_FALSE(store.ClearSelection());
    store.SetItemSelected(0, true);
    store.Clear();
    store.AddItem("x");
    EXPECT_EQ(store.SelectedCount(), 0);
    EXPECT_THROW(store.SelectRange(0, 1), SubscriptError);
}
