#include "engine/window/screen_mapping.h"

#include <gtest/gtest.h>

namespace glint {
namespace {

// 1024 x 768 fitted into 1920 x 1080: pillar-boxed, 240 pixels each side.
AspectResult pillarBox() {
    return computeAspect({1024, 768, 800, 600, 1920, 1080, true, K_ASPECT_FIT});
}

// The same filled and cropped: 180 pixels cut off at top and bottom.
AspectResult cropped() {
    return computeAspect({1024, 768, 800, 600, 1920, 1080, true, K_ASPECT_FILL});
}

TEST(PointerMapping, ClientPixelsToGameUnits) {
    PointerMapping bars = pointerMappingFor(pillarBox(), 1024, 768);
    EXPECT_EQ(gameXForClient(bars, 240), 0);
    EXPECT_EQ(gameYForClient(bars, 0), 0);
    EXPECT_EQ(gameXForClient(bars, 1679), 1023);
    EXPECT_EQ(gameYForClient(bars, 1079), 767);
    EXPECT_EQ(gameXForClient(bars, 100), -99); // in the bar, left of the picture

    PointerMapping crop = pointerMappingFor(cropped(), 1024, 768);
    EXPECT_FLOAT_EQ(crop.offsetY, -180);
    EXPECT_EQ(gameYForClient(crop, 0), 96); // the top 96 game rows are cut off
}

TEST(PointerMapping, OddBarsAreMeasuredFromTheTop) {
    // 2 rows of bars: 1 below, 1 above; the client offset is the one above.
    AspectResult view = computeAspect({100, 100, 100, 103, 0, 0, false, K_ASPECT_FIT});
    ASSERT_EQ(view.viewportY, 1);
    PointerMapping mapping = pointerMappingFor(view, 100, 100);
    EXPECT_FLOAT_EQ(mapping.offsetY, 2);
    EXPECT_EQ(gameYForClient(mapping, 2), 0);
    EXPECT_EQ(gameYForClient(mapping, 101), 99);
}

TEST(PointerMapping, IdentityWhenNotScaled) {
    AspectResult view = computeAspect({1024, 768, 1024, 768, 1920, 1080, false, K_ASPECT_FIT});
    PointerMapping mapping = pointerMappingFor(view, 1024, 768);
    EXPECT_EQ(mapping, PointerMapping{});
    EXPECT_EQ(gameXForClient(mapping, 5), 5);
}

TEST(PointerMapping, GamePositionsRoundTrip) {
    PointerMapping mapping = pointerMappingFor(pillarBox(), 1024, 768);
    for (int game : {0, 1, 100, 511, 1000, 1023}) {
        EXPECT_EQ(gameXForClient(mapping, clientXForGame(mapping, game)), game) << game;
        EXPECT_EQ(gameYForClient(mapping, clientYForGame(mapping, game % 768)), game % 768) << game;
    }
}

TEST(ScissorForClip, ScalesToTheViewportAndFlipsY) {
    AspectResult view = pillarBox();
    ScissorBox quarter = scissorForClip(view, 1024, 768, 0, 0, 512, 384);
    EXPECT_EQ(quarter.x, 240);
    EXPECT_EQ(quarter.y, 540);
    EXPECT_EQ(quarter.width, 720);
    EXPECT_EQ(quarter.height, 540);

    ScissorBox everything = scissorForClip(view, 1024, 768, -10, -10, 5000, 5000);
    EXPECT_EQ(everything.x, 240);
    EXPECT_EQ(everything.y, 0);
    EXPECT_EQ(everything.width, 1440);
    EXPECT_EQ(everything.height, 1080);

    ScissorBox truncated = scissorForClip(view, 1024, 768, 0.9f, 0.9f, 1.9f, 1.9f);
    EXPECT_EQ(truncated.width, 1); // 1440 * 1 / 1024
    EXPECT_EQ(truncated.y, 1080 - 1);
}

TEST(ScissorForClip, InvertedRectangleClipsEverything) {
    ScissorBox box = scissorForClip(pillarBox(), 1024, 768, 600, 500, 100, 50);
    EXPECT_EQ(box.width, 0);
    EXPECT_EQ(box.height, 0);
}

} // namespace
} // namespace glint
