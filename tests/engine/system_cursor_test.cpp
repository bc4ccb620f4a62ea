// System cursors made from cursor images, and the display counter that
// stands in for the system's: the engine's protocol must keep it at exactly
// 0 or -1 however often it is called, with SDL's switch following it.
#include "engine/system/log.h"
#include "engine/window/cursor_file.h"
#include "engine/window/system_cursor.h"
#include "engine/recording_cursor_calls.h"
#include "engine/resources/resource.h"
#include "support/test_support.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>

using namespace glint;
using namespace glint::test;

namespace {

class SystemCursor : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError(); }
    static void TearDownTestSuite() { SDL_QuitSubSystem(SDL_INIT_VIDEO); }
    void TearDown() override { showSystemCursor(); }

    static bool sdlShows() { return SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE; }

    RecordingCursorCalls sdl;
};

KCursorImage squareImage(int side, int hotX, int hotY) {
    KCursorImage image;
    image.width = image.height = side;
    image.hotX = hotX;
    image.hotY = hotY;
    image.pixels.assign(static_cast<size_t>(side) * side, 0xFF00FF00u);
    return image;
}

TEST_F(SystemCursor, ProtocolKeepsTheCounterAtZeroOrMinusOne) {
    for (int i = 0; i < 3; ++i) {
        hideSystemCursor();
        EXPECT_EQ(systemCursorDisplayCount(), -1);
        EXPECT_FALSE(sdlShows());
    }
    for (int i = 0; i < 3; ++i) {
        showSystemCursor();
        EXPECT_EQ(systemCursorDisplayCount(), 0);
        EXPECT_TRUE(sdlShows());
    }
}

// The window's loops stop at the first visible or hidden count, so mixing
// them with the protocol never drifts the counter either.
TEST_F(SystemCursor, WindowLoopsMixWithTheProtocol) {
    setSystemCursorVisible(false);
    setSystemCursorVisible(false);
    EXPECT_EQ(systemCursorDisplayCount(), -1);
    hideSystemCursor();
    EXPECT_EQ(systemCursorDisplayCount(), -1);
    setSystemCursorVisible(true);
    setSystemCursorVisible(true);
    EXPECT_EQ(systemCursorDisplayCount(), 0);
    EXPECT_TRUE(sdlShows());
    showSystemCursor();
    EXPECT_EQ(systemCursorDisplayCount(), 0);
}

TEST_F(SystemCursor, HandsThePictureToSdlAndFreesIt) {
    KCursorImage image = squareImage(8, 20, 3);
    image.pixels[1] = 0x80123456u;
    // SDL refuses a hot spot outside the picture; it is moved onto the edge.
    std::unique_ptr<KSystemCursor> cursor(createSystemCursor(image));
    ASSERT_TRUE(cursor);
    EXPECT_EQ(sdl.lastFormat, SDL_PIXELFORMAT_ARGB8888);
    EXPECT_EQ(sdl.lastPixels, image.pixels);
    EXPECT_EQ(sdl.lastHotX, 7);
    EXPECT_EQ(sdl.lastHotY, 3);
    setSystemCursor(*cursor);
    EXPECT_EQ(sdl.selected, cursor->sdlCursor());
    cursor.reset();
    EXPECT_EQ(sdl.alive, 0);
}

// Without the stand-ins the headless driver refuses to make cursors: that
// is logged and gives no handle.
TEST_F(SystemCursor, SdlRefusalGivesNoHandle) {
    setSystemCursorCalls(nullptr);
    clearMemoryLog();
    std::unique_ptr<KSystemCursor> cursor(createSystemCursor(squareImage(8, 0, 0)));
    if (cursor)
        GTEST_SKIP() << "this video driver makes cursors";
    EXPECT_NE(memoryLog().find("Cursor: SDL_CreateColorCursor failed"), std::string::npos);
}

TEST_F(SystemCursor, RefusesImagesWithoutPixels) {
    EXPECT_EQ(createSystemCursor(KCursorImage{}), nullptr);
    KCursorImage short_ = squareImage(8, 0, 0);
    short_.pixels.resize(10);
    EXPECT_EQ(createSystemCursor(short_), nullptr);
}

TEST_F(SystemCursor, LoadsFromFilesAndReportsBadOnes) {
    TempDir dir;
    std::string ico = (dir / "good.cur").string();
    CommandResult made = runCommand("convert -size 16x16 xc:red " + shellQuote(ico));
    ASSERT_EQ(made.status, 0) << made.err;
    std::string good = readFile(ico);
    good[2] = 2; // ImageMagick writes the icon type
    writeFile(ico, good);
    writeFile(dir / "bad.cur", "not a cursor");

    resourceInit();
    clearMemoryLog();
    std::unique_ptr<KSystemCursor> loaded(loadSystemCursor(ico.c_str()));
    EXPECT_TRUE(loaded);
    EXPECT_EQ(loadSystemCursor((dir / "missing.cur").string().c_str()), nullptr);
    EXPECT_EQ(memoryLog(), "");
    EXPECT_EQ(loadSystemCursor((dir / "bad.cur").string().c_str()), nullptr);
    EXPECT_NE(memoryLog().find("bad.cur is not a usable cursor file, WARNING"), std::string::npos);
    resourceShutdown();
}

} // namespace
