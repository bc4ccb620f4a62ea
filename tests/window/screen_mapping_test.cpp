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

// The window measured on the display against what was asked for.
struct ViewCase {
    const char* name;
    AspectInput asked;
    WindowExtent real;
    int viewportX, viewportY, viewportWidth, viewportHeight; // drawable pixels, y from the bottom
    int surfaceWidth, surfaceHeight;
    WindowRect picture; // window coordinates, y down
    int clientX, clientY, gameX, gameY; // a window position and the game position it maps to
};

void PrintTo(const ViewCase& c, std::ostream* out) { *out << c.name; }

AspectInput request(bool fullscreen, int mode, int desktopWidth, int desktopHeight) {
    return {1024, 768, 1024, 768, desktopWidth, desktopHeight, fullscreen, mode};
}

const ViewCase viewCases[] = {
    // No window manager: full screen asked of a 1280 x 1024 desktop, the window stays as it was.
    {"fullscreen_refused_stretch", request(true, K_ASPECT_STRETCH, 1280, 1024), {1024, 768, 1024, 768}, 0, 0, 1024, 768,
     1024, 768, {0, 0, 1024, 768}, 512, 384, 512, 384},
    {"fullscreen_refused_fit", request(true, K_ASPECT_FIT, 1280, 1024), {1024, 768, 1024, 768}, 0, 0, 1024, 768, 1024,
     768, {0, 0, 1024, 768}, 1023, 767, 1023, 767},
    // Before the window can be measured, and once a late full screen is granted.
    {"not_measured_yet", request(true, K_ASPECT_FIT, 1280, 1024), {}, 0, 32, 1280, 960, 1280, 1024,
     {0, 32, 1280, 960}, 0, 32, 0, 0},
    {"fullscreen_granted", request(true, K_ASPECT_FIT, 1280, 1024), {1280, 1024, 1280, 1024}, 0, 32, 1280, 960, 1280,
     1024, {0, 32, 1280, 960}, 640, 512, 512, 384},
    // A tiling desktop made the window square.
    {"window_sized_by_desktop", request(false, K_ASPECT_FIT, 1920, 1080), {900, 900, 900, 900}, 0, 112, 900, 675, 900,
     900, {0, 113, 900, 675}, 0, 113, 0, 0},
    // Twice as many drawable pixels as window coordinates.
    {"high_density_same_shape", request(false, K_ASPECT_FIT, 1920, 1080), {1024, 768, 2048, 1536}, 0, 0, 2048, 1536,
     2048, 1536, {0, 0, 1024, 768}, 700, 500, 700, 500},
    {"high_density_pillarbox", request(true, K_ASPECT_FIT, 1280, 720), {1280, 720, 2560, 1440}, 320, 0, 1920, 1440,
     2560, 1440, {160, 0, 960, 720}, 160, 0, 0, 0},
    {"high_density_pillarbox_far_corner", request(true, K_ASPECT_FIT, 1280, 720), {1280, 720, 2560, 1440}, 320, 0,
     1920, 1440, 2560, 1440, {160, 0, 960, 720}, 1119, 719, 1023, 767},
    // Filled and cropped: the picture overhangs the window, the pointer reaches the window.
    {"refused_fill_crops", request(true, K_ASPECT_FILL, 1920, 1080), {1280, 720, 1280, 720}, 0, -120, 1280, 960, 1280,
     720, {0, 0, 1280, 720}, 0, 0, 0, 96},
};

class WindowViewTest : public testing::TestWithParam<ViewCase> {};

TEST_P(WindowViewTest, PictureInDrawablePixelsPointerInWindowCoordinates) {
    const ViewCase& c = GetParam();
    WindowView view = viewForWindow(c.asked, c.real);
    EXPECT_EQ(view.picture.viewportX, c.viewportX);
    EXPECT_EQ(view.picture.viewportY, c.viewportY);
    EXPECT_EQ(view.picture.viewportWidth, c.viewportWidth);
    EXPECT_EQ(view.picture.viewportHeight, c.viewportHeight);
    EXPECT_EQ(view.picture.surfaceWidth, c.surfaceWidth);
    EXPECT_EQ(view.picture.surfaceHeight, c.surfaceHeight);
    WindowExtent measured = c.real.known() ? c.real : WindowExtent{c.surfaceWidth, c.surfaceHeight, c.surfaceWidth,
                                                                   c.surfaceHeight};
    EXPECT_EQ(pictureInWindow(view.picture, measured), c.picture);
    EXPECT_EQ(gameXForClient(view.pointer, c.clientX), c.gameX);
    EXPECT_EQ(gameYForClient(view.pointer, c.clientY), c.gameY);
    // Moving the system cursor to that game position comes back to it.
    EXPECT_EQ(gameXForClient(view.pointer, clientXForGame(view.pointer, c.gameX)), c.gameX);
    EXPECT_EQ(gameYForClient(view.pointer, clientYForGame(view.pointer, c.gameY)), c.gameY);
}

INSTANTIATE_TEST_SUITE_P(Cases, WindowViewTest, testing::ValuesIn(viewCases),
                         [](const testing::TestParamInfo<ViewCase>& info) { return info.param.name; });

} // namespace
} // namespace glint
