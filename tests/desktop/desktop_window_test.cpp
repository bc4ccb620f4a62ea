// The player on a real X server without a window manager, as in a kiosk or
// a bare X session: such a display never grants full screen, and the game
// must still show its whole picture in the window it got and take clicks
// where the player sees things.
#include "desktop/x_server.h"
#include "game/game_folder.h"

#include "engine/system/log.h"
#include "engine/window/game_window.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace glint::test {
namespace {

constexpr int kScreenWidth = 1280, kScreenHeight = 1024;
constexpr int kGameWidth = 640, kGameHeight = 480;
// Generous: a sanitized player renders in software on a shared machine.
constexpr auto kPatience = std::chrono::seconds(120);

using Clock = std::chrono::steady_clock;

const uint32_t kBackground = 0x1E285A;
// The picture's corners, top left, top right, bottom left, bottom right.
const uint32_t kCorners[4] = {0xFF0000, 0x00FF00, 0xFFFF00, 0xFF00FF};
const uint32_t kButton = 0xFFFFFF;
// The button's centre in game units.
constexpr int kButtonX = 472, kButtonY = 332;
// The window title's pattern for xdotool.
const char* const kTitle = "Desktop: Window";

// Where a colour is on the screen: its bounding box and how many pixels have it.
struct Patch {
    ScreenRect box;
    long count = 0;
};

Patch findColour(const Screenshot& shot, uint32_t colour) {
    int left = shot.width, top = shot.height, right = -1, bottom = -1;
    Patch patch;
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            if (shot.at(x, y) != colour)
                continue;
            ++patch.count;
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
    }
    if (patch.count > 0)
        patch.box = {left, top, right - left + 1, bottom - top + 1};
    return patch;
}

// The game's picture on the screen, from its four corner squares; false
// until all four show whole (square and solid) in full colour.
bool findPicture(const Screenshot& shot, ScreenRect& picture) {
    Patch corners[4];
    for (int i = 0; i < 4; ++i) {
        corners[i] = findColour(shot, kCorners[i]);
        const ScreenRect& box = corners[i].box;
        if (corners[i].count == 0 || corners[i].count != static_cast<long>(box.width) * box.height ||
            std::abs(box.width - box.height) > 1)
            return false;
    }
    picture = {corners[0].box.x, corners[0].box.y, corners[3].box.right() - corners[0].box.x,
               corners[3].box.bottom() - corners[0].box.y};
    return corners[1].box.right() == picture.right() && corners[2].box.bottom() == picture.bottom();
}

// A game of one scene: a background with a coloured square in each corner
// and a white button that a click hides.
class DesktopGame : public GameFolderTest {
protected:
    void SetUp() override {
        if (!xvfbInstalled())
            GTEST_SKIP() << "Xvfb is not installed (scripts/bootstrap installs it)";
        ASSERT_EQ(runCommand("command -v xdotool && command -v import").status, 0)
            << "xdotool and ImageMagick's import are needed (scripts/bootstrap installs them)";
        std::string error;
        ASSERT_TRUE(x.start(kScreenWidth, kScreenHeight, error)) << error;
        commonFiles("BuildScreenW=640\r\nBuildScreenH=480\r\nBuildSupportMScene=1\r\nBuildForLUMO=1\r\n"
                    "BuildDeveloperName=Glint Tests\r\nBuildTitleName=Desktop\r\nBuildGameName=Window\r\n",
                    "data/_interface/loading\r\ndata/startup\r\n");
        // Element positions are offsets of their centres from the picture's centre.
        scene("startup",
              R"({"elements": {"bg": {"I": ["bg.png"], "D": [640, 480], "Z": 10},
                 "top_left": {"I": ["c0.png"], "D": [32, 32], "X": -304, "Y": -224, "Z": 5},
                 "top_right": {"I": ["c1.png"], "D": [32, 32], "X": 304, "Y": -224, "Z": 5},
                 "bottom_left": {"I": ["c2.png"], "D": [32, 32], "X": -304, "Y": 224, "Z": 5},
                 "bottom_right": {"I": ["c3.png"], "D": [32, 32], "X": 304, "Y": 224, "Z": 5},
                 "button": {"I": ["button.png"], "D": [64, 64], "X": 152, "Y": 92, "Z": 5}}})",
              // The press also hides the top left corner when the scripts
              // see the picture 800 pixels wide.
              "action press hand $button ? {\n  do {\n    hide $button\n"
              "    if ##Actual_screen_width = 800 {\n      hide $top_left\n    }\n  }\n}\n"
              "init {\n  enable @press\n}\n");
        image("data/startup/bg.png", "#1E285A");
        const char* corners[4] = {"#FF0000", "#00FF00", "#FFFF00", "#FF00FF"};
        for (int i = 0; i < 4; ++i)
            image("data/startup/c" + std::to_string(i) + ".png", corners[i]);
        image("data/startup/button.png", "#FFFFFF");
    }
    void TearDown() override { stopPlayer(); }

    void startPlayer(int fullscreen) {
        std::filesystem::create_directories(options().parent_path());
        writeFile(options(), "fullscreen=" + std::to_string(fullscreen) + "\r\n");
        // The X display's GL and desktop libraries keep memory that fast
        // stacks cannot tie to them, and full stacks make the player too
        // slow to watch; its leaks are checked in the headless runs.
        std::string command = "exec env DISPLAY=" + shellQuote(x.display()) +
                              " SDL_VIDEODRIVER=x11 LP_NUM_THREADS=0 XDG_DATA_HOME=" + shellQuote(home.str()) +
                              " ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0\" " +
                              shellQuote(playerPath()) + " " + shellQuote(game.str()) + " 2>" +
                              shellQuote((out / "player.err").string());
        const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
        ASSERT_EQ(posix_spawnp(&player, "sh", nullptr, nullptr, const_cast<char**>(argv), environ), 0);
    }
    // Asks the player to quit as a desktop would and returns its exit status.
    int stopPlayer() {
        if (player <= 0)
            return -1;
        kill(player, SIGTERM);
        int status = -1;
        auto deadline = Clock::now() + std::chrono::seconds(60);
        while (waitpid(player, &status, WNOHANG) == 0) {
            if (Clock::now() > deadline) {
                kill(player, SIGKILL);
                waitpid(player, &status, 0);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        player = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // The per-user folder of the game's developer and names.
    std::filesystem::path options() const { return home / "Glint Tests" / "Desktop - Window - CE" / "options.cfg"; }
    bool playerRunning() { return player > 0 && waitpid(player, nullptr, WNOHANG) == 0; }

    XServer x;
    TempDir home;
    pid_t player = -1;

    // Waits for the whole picture of the given width to show; false when
    // it does not in time.
    bool waitForPicture(int width) {
        bool shown = false;
        for (auto deadline = Clock::now() + kPatience; !shown && Clock::now() < deadline && playerRunning();) {
            shown = takeScreenshot(x.display(), kScreenWidth, kScreenHeight, out.path(), shot) &&
                    findPicture(shot, picture) && picture.width == width &&
                    findWindow(x.display(), kTitle, window);
            if (!shown)
                std::this_thread::sleep_for(std::chrono::milliseconds(250));
        }
        return shown;
    }
    void expectPictureInWindow() {
        EXPECT_GE(picture.x, window.x);
        EXPECT_GE(picture.y, window.y);
        EXPECT_LE(picture.right(), window.right());
        EXPECT_LE(picture.bottom(), window.bottom());
        EXPECT_NEAR(static_cast<double>(picture.width) / picture.height, 4.0 / 3.0, 0.01);
    }
    // Clicks the button where the player sees it until the game hides it
    // (it may still be busy with its first frames); false when it never does.
    bool clickButton() {
        int buttonX = picture.x + kButtonX * picture.width / kGameWidth;
        int buttonY = picture.y + kButtonY * picture.height / kGameHeight;
        EXPECT_EQ(shot.at(buttonX, buttonY), kButton);
        bool hidden = false;
        for (auto deadline = Clock::now() + kPatience; !hidden && Clock::now() < deadline && playerRunning();) {
            if (!clickAt(x.display(), buttonX, buttonY))
                return false;
            for (int look = 0; look < 8 && !hidden; ++look) {
                std::this_thread::sleep_for(std::chrono::milliseconds(250));
                hidden = takeScreenshot(x.display(), kScreenWidth, kScreenHeight, out.path(), shot) &&
                         shot.at(buttonX, buttonY) == kBackground;
            }
        }
        return hidden;
    }
    std::string playerLog() { return readFile(out / "player.err"); }

    Screenshot shot;
    ScreenRect picture, window;
};

class DesktopWindowTest : public DesktopGame, public testing::WithParamInterface<int> {};

TEST_P(DesktopWindowTest, TheWholePictureShowsAndClicksLandOnIt) {
    startPlayer(GetParam());
    // No window manager: the window keeps the size asked for, the game's,
    // and the picture fills it, 4:3 as the game is.
    ASSERT_TRUE(waitForPicture(kGameWidth)) << "no whole picture on the screen; player log: " << playerLog();
    expectPictureInWindow();
    EXPECT_TRUE(clickButton()) << "the click did not reach the button";
    EXPECT_EQ(findColour(shot, kCorners[0]).count, 32 * 32) << "the scripts see the window's picture width";
    EXPECT_EQ(stopPlayer(), 0) << playerLog();
    // The player read its options from there and saved them back on the way out.
    EXPECT_NE(readFile(options()).find("fullscreen=" + std::to_string(GetParam()) + "\r\naspectratio="),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Modes, DesktopWindowTest, testing::Values(0, 1),
                         [](const testing::TestParamInfo<int>& info) {
                             return info.param ? "fullscreen" : "windowed";
                         });

// Resized from outside (as a tiling desktop does), the window gets a new
// picture, the pointer follows it and so do the scripts' display values.
TEST_F(DesktopGame, AResizedWindowIsFilledAndClickedAnew) {
    startPlayer(0);
    ASSERT_TRUE(waitForPicture(kGameWidth)) << "no whole picture on the screen; player log: " << playerLog();
    ASSERT_TRUE(resizeWindow(x.display(), kTitle, 800, 600));
    ASSERT_TRUE(waitForPicture(800)) << "the picture did not follow the window; player log: " << playerLog();
    expectPictureInWindow();
    EXPECT_EQ(findColour(shot, kCorners[3]).count, 40 * 40);
    EXPECT_TRUE(clickButton()) << "the click did not reach the button";
    EXPECT_EQ(findColour(shot, kCorners[0]).count, 0) << "the scripts did not see the picture's new width";
    EXPECT_EQ(stopPlayer(), 0) << playerLog();
}

// The window itself on that display, in this process: the full screen it
// asks for never comes, and it says so once.
class RefusedFullscreenTest : public testing::Test {
protected:
    void SetUp() override {
        if (!xvfbInstalled())
            GTEST_SKIP() << "Xvfb is not installed (scripts/bootstrap installs it)";
        std::string error;
        ASSERT_TRUE(x.start(kScreenWidth, kScreenHeight, error)) << error;
        setenv("DISPLAY", x.display().c_str(), 1);
        setenv("SDL_VIDEODRIVER", "x11", 1);
        setenv("LP_NUM_THREADS", "0", 0);
    }
    void TearDown() override {
        window.destroy();
        unsetenv("DISPLAY");
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
    }
    void frames(int count) {
        for (int i = 0; i < count; ++i)
            window.frame(false, nullptr, nullptr, nullptr, nullptr);
    }
    static int occurrences(const std::string& text, const std::string& part) {
        int count = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
            ++count;
        return count;
    }

    XServer x;
    KGameWindow window;
};

TEST_F(RefusedFullscreenTest, TheGameFitsTheWindowItGotAndTheLogSaysSoOnce) {
    window.aspectMode = K_ASPECT_FIT;
    ASSERT_TRUE(window.create(kGameWidth, kGameHeight, kGameWidth, kGameHeight, "Refused"));
    clearMemoryLog();
    ASSERT_TRUE(window.toggleFullscreen(true));
    frames(5);
    EXPECT_EQ(window.surfaceWidth, kGameWidth);
    EXPECT_EQ(window.surfaceHeight, kGameHeight);
    EXPECT_EQ(window.viewportX, 0);
    EXPECT_EQ(window.viewportY, 0);
    EXPECT_EQ(window.viewportWidth, kGameWidth);
    EXPECT_EQ(window.viewportHeight, kGameHeight);
    EXPECT_EQ(gameXForClient(window.pointerMapping(), 600), 600);
    EXPECT_EQ(gameYForClient(window.pointerMapping(), 20), 20);
    const std::string refused = "OpenGL: the window is 640x480, not the 1280x1024 asked for; fitting the game to it";
    EXPECT_EQ(occurrences(memoryLog(), refused), 1) << memoryLog();

    // Back in a window, what was asked is what there is: nothing more to say.
    ASSERT_TRUE(window.toggleFullscreen(false));
    frames(5);
    EXPECT_EQ(window.surfaceWidth, kGameWidth);
    EXPECT_EQ(window.viewportHeight, kGameHeight);
    EXPECT_EQ(occurrences(memoryLog(), refused), 1) << memoryLog();
}

} // namespace
} // namespace glint::test

// This program opens a GL window on the X display itself. The display's GL
// and desktop libraries are built without frame pointers: only full stacks
// tie the memory they keep to them for the suppressions.
extern "C" const char* __asan_default_options() { return "fast_unwind_on_malloc=0"; }

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libLLVM\nleak:swrast_dri\nleak:libgallium\nleak:libEGL_mesa\nleak:libGLX_mesa\nleak:libglapi\n"
           "leak:libSDL2\n";
}
