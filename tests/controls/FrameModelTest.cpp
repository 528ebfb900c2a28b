#include "controls/PropertyStore.h"
#include "controls/frame/FrameModel.h"

#include <gtest/gtest.h>

TEST(FrameModel, ClampsDepthsAndOpacity)
{
    const struct {
        int in, cornerDepth, shadowDepth, shadowOpacity;
    } cases[] = {
        {-5, 0, 2, 0},    {0, 0, 2, 0},     {1, 1, 2, 1},      {2, 2, 2, 2},      {40, 40, 40, 40},
        {41, 41, 50, 41}, {50, 50, 50, 50}, {60, 50, 50, 60},  {100, 50, 50, 100}, {150, 50, 50, 100},
        {70000, 50, 50, 100},
    };
    for (const auto &c : cases) {
        FrameModel frame;
        frame.SetCornerDepth(c.in);
        frame.SetShadowDepth(c.in);
        frame.SetShadowOpacity(c.in);
        EXPECT_EQ(frame.CornerDepth(), c.cornerDepth) << c.in;
        EXPECT_EQ(frame.ShadowDepth(), c.shadowDepth) << c.in;
        EXPECT_EQ(frame.ShadowOpacity(), c.shadowOpacity) << c.in;
    }
    FrameModel frame;
    frame.SetFrameStyle(7);
    EXPECT_EQ(frame.FrameStyle(), 7);
}

TEST(FrameModel, InterpolationTruncatesEachStepTowardsZero)
{
    // (0 - 255) div 100 is -2, not -2.55.
    EXPECT_EQ(FrameModel::Interpolate(0, RGB(255, 255, 255), 100, 50), RGB(100, 100, 100));
    // Channels run independently and in either direction.
    EXPECT_EQ(FrameModel::Interpolate(RGB(100, 50, 0), RGB(203, 7, 59), 5, 2), RGB(140, 34, 22));
    EXPECT_EQ(FrameModel::Interpolate(RGB(9, 9, 9), RGB(1, 2, 3), 4, 0), RGB(9, 9, 9));
}

TEST(FrameModel, ShadowRunsFromItsDarkestStepToNearlyTheBackground)
{
    FrameModel frame;
    frame.InitProperties(0);
    frame.SetShadowDepth(5);
    const OleColour back = RGB(203, 107, 59);
    const struct {
        int opacity, step;
        OleColour colour;
    } cases[] = {
        {50, 0, RGB(100, 50, 0)},   // darkest: (channel div 100) x 50
        {50, 5, RGB(200, 105, 55)},
        {100, 0, RGB(0, 0, 0)},
        {100, 5, RGB(200, 105, 55)},
        {0, 0, RGB(200, 100, 0)},   // no opacity: the background in whole hundreds
        {0, 5, RGB(200, 105, 55)},
    };
    for (const auto &c : cases) {
        frame.SetShadowOpacity(c.opacity);
        EXPECT_EQ(frame.ShadowColour(back, c.step), c.colour) << c.opacity << " " << c.step;
    }
}

TEST(FrameModel, LoadPassesThroughTheSetters)
{
    const OleColour container = RGB(236, 233, 216);
    PropertyStore store;
    store.Write("ShadowDepth", 41);
    store.Write("CornerDepth", 60);
    store.Write("ShadowOpacity", -5);
    FrameModel restored;
    restored.ReadProperties(store, container);
    EXPECT_EQ(restored.ShadowDepth(), 50);
    EXPECT_EQ(restored.CornerDepth(), 50);
    EXPECT_EQ(restored.ShadowOpacity(), 0);
    EXPECT_EQ(restored.FillColour(), container);
    EXPECT_TRUE(restored.ShowShadow());
}
