// The picture and the pointer laid out for the size the window really has.
#include "engine/window/screen_mapping.h"

#include <gtest/gtest.h>

namespace glint {
namespace {

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
