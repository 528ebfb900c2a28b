#include "controls/frame/FrameModel.h"

#include <gtest/gtest.h>

// A load goes through the same setters (the property table's rule).
TEST(FrameModel, ClampsDepthsAndOpacity)
{
    const int cases[][4] = {
        // in -> corner depth, shadow depth, shadow opacity
        {-5, 0, 2, 0},
        {1, 1, 2, 1},
        {41, 41, 50, 41},
        {50, 50, 50, 50},
        {60, 50, 50, 60},
        {70000, 50, 50, 100},
    };
    for (const auto &[in, corner, shadow, opacity] : cases) {
        FrameModel frame;
        frame.SetCornerDepth(in);
        frame.SetShadowDepth(in);
        frame.SetShadowOpacity(in);
        EXPECT_EQ(std::make_tuple(frame.CornerDepth(), frame.ShadowDepth(), frame.ShadowOpacity()),
            std::make_tuple(corner, shadow, opacity))
            << in;
    }
}
