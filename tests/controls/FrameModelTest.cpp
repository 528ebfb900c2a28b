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

TEST(FrameModel, InterpolationTruncatesEachStepTowardsZero)
{
    // (0 - 255) div 100 is -2, not -2.55.
    EXPECT_EQ(FrameModel::Interpolate(0, RGB(255, 255, 255), 100, 50), RGB(100, 100, 100));
    // Channels run independently and in either direction.
    EXPECT_EQ(FrameModel::Interpolate(RGB(100, 50, 0), RGB(203, 7, 59), 5, 2), RGB(140, 34, 22));
    EXPECT_EQ(FrameModel::Interpolate(RGB(9, 9, 9), RGB(1, 2, 3), 4, 0), RGB(9, 9, 9));
}
