#include "controls/PropertyStore.h"
#include "controls/frame/FrameModel.h"

#include <gtest/gtest.h>

TEST(FrameModel, ClampsDepthsAndOpacityAlsoWhenLoaded)
{
    const int cases[][4] = { // in -> corner depth, shadow depth, shadow opacity
        {-5, 0, 2, 0},    {0, 0, 2, 0},     {1, 1, 2, 1},     {2, 2, 2, 2},       {40, 40, 40, 40},
        {41, 41, 50, 41}, {50, 50, 50, 50}, {60, 50, 50, 60}, {100, 50, 50, 100}, {150, 50, 50, 100},
        {70000, 50, 50, 100},
    };
    const auto depths = [](const FrameModel &f) { return std::make_tuple(f.CornerDepth(), f.ShadowDepth(), f.ShadowOpacity()); };
    for (const auto &[in, corner, shadow, opacity] : cases) {
        FrameModel set, loaded;
        set.SetCornerDepth(in);
        set.SetShadowDepth(in);
        set.SetShadowOpacity(in);
        EXPECT_EQ(depths(set), std::make_tuple(corner, shadow, opacity)) << in;
        PropertyStore store;
        for (const char *key : {"CornerDepth", "ShadowDepth", "ShadowOpacity"})
            store.Write(key, in);
        loaded.ReadProperties(store, RGB(236, 233, 216));
        EXPECT_EQ(depths(loaded), depths(set)) << "loaded " << in;
        EXPECT_EQ(loaded.FillColour(), RGB(236, 233, 216)) << "the container's colour by default";
    }
}
