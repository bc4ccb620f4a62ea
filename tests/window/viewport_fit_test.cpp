#include "engine/system/log.h"
#include "engine/window/viewport_fit.h"

#include <gtest/gtest.h>

namespace glint {
namespace {

struct AspectCase {
    const char* name;
    AspectInput input;
    int viewportX, viewportY, viewportWidth, viewportHeight;
    float scaleX, scaleY;
    bool scaled;
    const char* decision;
};

// Failures name the case, not its bytes.
void PrintTo(const AspectCase& c, std::ostream* out) { *out << c.name; }

AspectInput game(int gameWidth, int gameHeight, int windowWidth, int windowHeight, int desktopWidth,
                 int desktopHeight, bool fullscreen, int mode) {
    return {gameWidth, gameHeight, windowWidth, windowHeight, desktopWidth, desktopHeight, fullscreen, mode};
}

const AspectCase cases[] = {
    {"fit_pillarbox_on_wide_desktop", game(1024, 768, 800, 600, 1920, 1080, true, K_ASPECT_FIT), 240, 0, 1440, 1080,
     1.40625f, 1.40625f, true, "OpenGL: desktop is widescreen compared to game window"},
    {"fill_crops_top_and_bottom", game(1024, 768, 800, 600, 1920, 1080, true, K_ASPECT_FILL), 0, -180, 1920, 1440,
     1.875f, 1.875f, true, "OpenGL: desktop is narrow compared to game window"},
    {"same_shape_same_size", game(1024, 768, 1024, 768, 1920, 1080, false, K_ASPECT_FIT), 0, 0, 1024, 768, 1, 1,
     false, "OpenGL: desktop and game window are in the same aspect ratio"},
    {"stretch_scales_axes_apart", game(1024, 768, 800, 600, 1920, 1080, true, K_ASPECT_STRETCH), 0, 0, 1920, 1080,
     1.875f, 1.40625f, true, "OpenGL: desktop and game window are in the same aspect ratio"},
    {"same_shape_smaller_window", game(1024, 768, 800, 600, 1920, 1080, false, K_ASPECT_FIT), 0, 0, 800, 600,
     0.78125f, 0.78125f, true, "OpenGL: desktop and game window are in the same aspect ratio"},
    {"fit_letterbox_on_narrow_desktop", game(1024, 768, 800, 600, 1280, 1024, true, K_ASPECT_FIT), 0, 32, 1280, 960,
     1.25f, 1.25f, true, "OpenGL: desktop is narrow compared to game window"},
    {"fill_crops_sides", game(1024, 768, 800, 600, 1280, 1024, true, K_ASPECT_FILL), -42, 0, 1365, 1024,
     1024.0f / 768, 1024.0f / 768, true, "OpenGL: desktop is widescreen compared to game window"},
    {"windowed_ignores_desktop", game(1024, 768, 1280, 720, 1024, 768, false, K_ASPECT_FIT), 160, 0, 960, 720,
     0.9375f, 0.9375f, true, "OpenGL: desktop is widescreen compared to game window"},
    {"ratio_within_tolerance", game(1024, 600, 800, 600, 1366, 800, true, K_ASPECT_FIT), 0, 0, 1366, 800,
     1366.0f / 1024, 800.0f / 600, true, "OpenGL: desktop and game window are in the same aspect ratio"},
    {"fitted_axis_fills_target_exactly", game(800, 600, 800, 600, 1920, 1080, true, K_ASPECT_FIT), 240, 0, 1440,
     1080, 1.8f, 1.8f, true, "OpenGL: desktop is widescreen compared to game window"},
};

class AspectTest : public testing::TestWithParam<AspectCase> {};

TEST_P(AspectTest, ViewportAndScale) {
    const AspectCase& c = GetParam();
    clearMemoryLog();
    AspectResult view = computeAspect(c.input);
    EXPECT_EQ(view.viewportX, c.viewportX);
    EXPECT_EQ(view.viewportY, c.viewportY);
    EXPECT_EQ(view.viewportWidth, c.viewportWidth);
    EXPECT_EQ(view.viewportHeight, c.viewportHeight);
    EXPECT_FLOAT_EQ(view.scaleX, c.scaleX);
    EXPECT_FLOAT_EQ(view.scaleY, c.scaleY);
    EXPECT_EQ(view.scaled, c.scaled);
    int targetWidth = c.input.fullscreen ? c.input.desktopWidth : c.input.windowWidth;
    int targetHeight = c.input.fullscreen ? c.input.desktopHeight : c.input.windowHeight;
    EXPECT_EQ(view.surfaceWidth, targetWidth);
    EXPECT_EQ(view.surfaceHeight, targetHeight);
    EXPECT_NE(memoryLog().find(c.decision), std::string::npos) << memoryLog();
}

INSTANTIATE_TEST_SUITE_P(Cases, AspectTest, testing::ValuesIn(cases),
                         [](const testing::TestParamInfo<AspectCase>& info) { return info.param.name; });

TEST(AspectLog, NamesSizesAndResult) {
    clearMemoryLog();
    computeAspect(game(1024, 768, 800, 600, 1920, 1080, true, K_ASPECT_FIT));
    std::string log = memoryLog();
    EXPECT_NE(log.find("OpenGL: game screen size: 1024x768"), std::string::npos);
    EXPECT_NE(log.find("OpenGL: desktop size: 1920x1080"), std::string::npos);
    EXPECT_NE(log.find("OpenGL: enabling aspect correction, actual game window resized to 1440x1080"),
              std::string::npos);

    clearMemoryLog();
    computeAspect(game(1024, 768, 1024, 768, 1920, 1080, false, K_ASPECT_FIT));
    EXPECT_NE(memoryLog().find("OpenGL: disabling aspect correction, actual game window resized to 1024x768"),
              std::string::npos);
}

TEST(AspectLog, FullscreenWithoutADesktopSizeFallsBackToTheWindow) {
    for (AspectInput input : {game(1024, 768, 800, 600, 0, 0, true, K_ASPECT_FIT),
                              game(1024, 768, 800, 600, 1920, -1, true, K_ASPECT_FILL)}) {
        clearMemoryLog();
        AspectResult view = computeAspect(input);
        EXPECT_EQ(view.surfaceWidth, 800);
        EXPECT_EQ(view.surfaceHeight, 600);
        EXPECT_EQ(view.viewportWidth, 800);
        EXPECT_EQ(view.viewportHeight, 600);
        EXPECT_FLOAT_EQ(view.scaleX, 0.78125f);
        EXPECT_NE(memoryLog().find("OpenGL: WARNING: desktop size unknown, using the window size 800x600"),
                  std::string::npos)
            << memoryLog();
    }
}

} // namespace
} // namespace glint
