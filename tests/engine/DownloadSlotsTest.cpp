#include "engine/FetchEngine.h"
#include "engine/EngineFixture.h"

#include <gtest/gtest.h>

TEST(DownloadSlots, SlotCountBoxAcceptsOneToNine)
{
    EngineFixture fixture;
    FetchEngine &engine = fixture.app.Engine();
    struct Case {
        const char *text;
        bool accepted;
        int count;
    } cases[] = {{"2.5", true, 2}, {"3.7", true, 4}, {" 9 ", true, 9}, {"1", true, 1},
                 {"0", false, 0}, {"10", false, 0}, {"abc", false, 0}, {"", false, 0}, {"9.5", false, 0}};
    for (const Case &c : cases) {
        fixture.app.Settings().NumDLs = 5;
        EXPECT_EQ(engine.ValidateSlotCountText(c.text), c.accepted) << c.text;
        EXPECT_EQ(fixture.app.Settings().NumDLs, c.accepted ? c.count : 5) << c.text;
    }
}
