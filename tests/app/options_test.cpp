#include "app/game_config.h"
#include "app/options.h"
#include "engine/resources/resource.h"
#include "engine/window/game_window.h"
#include "script/symbol.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <set>

using namespace glint;
using namespace glint::test;

namespace {

struct OptionsTest : ::testing::Test {
    TempDir folder;
    OptionCells cells;
    PlatformSettings platform;
    GameSettings settings;
    OptionsTest() {
        initSymbols();
        resourceInit(); // options.cfg is read through the resource layer
    }
    void load(const std::string& text, bool touch = false) {
        writeFile(folder / "options.cfg", text);
        loadOptions(cells, platform, folder.str(), settings, touch);
    }
};

TEST_F(OptionsTest, ValuesAreClampedAndUnknownLinesIgnored) {
    load("fullscreen=5\r\naspectratio=-3\r\nmusic=1.5\r\nsfx=-0.2\r\nvoice=0.25\r\nnoise\r\nMusic=0\r\n");
    EXPECT_EQ(cells.fullscreenMode.number, 2);
    EXPECT_EQ(cells.aspectRatio.number, 0);
    EXPECT_EQ(cells.musicVolume.number, 1);
    EXPECT_EQ(cells.soundVolume.number, 0);
    EXPECT_FLOAT_EQ(cells.voiceVolume.number, 0.25);
    EXPECT_FLOAT_EQ(cells.ambientVolume.number, 0.7f) << "absent keys keep the default";
}

TEST_F(OptionsTest, UnavailableOptionsAreNotRead) {
    platform.musicVolumeEnabled = false;
    load("music=0.1\r\n");
    EXPECT_FLOAT_EQ(cells.musicVolume.number, 0.7f);
}

TEST_F(OptionsTest, TouchPlatformsForceWindowAspectAndCursor) {
    settings.forceAspectRatio = 2;
    load("fullscreen=1\r\naspectratio=1\r\nhardware_cursor=0\r\n", true);
    EXPECT_EQ(cells.fullscreenMode.number, 0);
    EXPECT_EQ(cells.aspectRatio.number, 2) << "the build's forced ratio wins";
    EXPECT_EQ(cells.hardwareCursor.number, 1);
    EXPECT_FALSE(fullscreenWanted(cells, platform));
    EXPECT_TRUE(systemCursorUsed(cells, platform));
}

TEST_F(OptionsTest, SavingWritesSevenLinesWithRoundedAndThreeDecimalValues) {
    cells.fullscreenMode = Value::fromNumber(1.5);
    cells.aspectRatio = Value::fromSymbol(intern("wide"));
    saveOptions(cells, folder.str());
    EXPECT_EQ(readFile(folder / "options.cfg"),
              "fullscreen=2\r\naspectratio=0\r\nhardware_cursor=0\r\nmusic=0.700\r\nambient=0.700\r\n"
              "sfx=0.700\r\nvoice=0.700\r\n");
    saveOptions(cells, (folder / "missing" / "deeper").string()); // nothing happens
}

struct Desktop {
    int width, height;
    std::set<std::pair<int, int>> tried;
};

bool fitsDesktop(int width, int height, void* user) {
    auto* desktop = static_cast<Desktop*>(user);
    desktop->tried.insert({width, height});
    return width <= desktop->width && height <= desktop->height;
}

TEST_F(OptionsTest, NegotiationShrinksTheWindowThenFallsBackToFullScreen) {
    cells.fullscreenMode = Value::fromNumber(0);
    Desktop roomy{1920, 1080, {}};
    WindowSize size = negotiateDisplayMode(cells, platform, 1024, 768, fitsDesktop, &roomy);
    EXPECT_EQ(size.width, 1024);

    Desktop small{1000, 760, {}};
    size = negotiateDisplayMode(cells, platform, 1024, 768, fitsDesktop, &small);
    EXPECT_EQ(size.width, 981);
    EXPECT_EQ(size.height, 736);
    EXPECT_TRUE(small.tried.count({1066, 800}));

    Desktop tiny{400, 300, {}};
    size = negotiateDisplayMode(cells, platform, 1024, 768, fitsDesktop, &tiny);
    EXPECT_EQ(size.height, 480);
    EXPECT_EQ(cells.fullscreenMode.number, 1);
    EXPECT_EQ(cells.forcedFullscreenMode.number, 1);

    platform.forceFullScreen = 0;
    size = negotiateDisplayMode(cells, platform, 1024, 768, fitsDesktop, &tiny);
    EXPECT_EQ(size.width, 1024) << "full screen forced off keeps the game size";
    EXPECT_EQ(cells.forcedFullscreenMode.number, 0);
}

// A game area of no height or of a huge width (a broken configuration)
// ends in full screen like any game too big for the desktop.
TEST_F(OptionsTest, NegotiationSurvivesDegenerateGameSizes) {
    const std::pair<int, int> sizes[] = {{1024, 0}, {0, 768}, {2000000000, 768}, {INT32_MAX, 1}};
    for (auto [width, height] : sizes) {
        cells.fullscreenMode = Value::fromNumber(0);
        Desktop tiny{400, 300, {}};
        negotiateDisplayMode(cells, platform, width, height, fitsDesktop, &tiny);
        EXPECT_EQ(cells.forcedFullscreenMode.number, 1) << width << "x" << height;
        for (auto [w, h] : tiny.tried) EXPECT_GE(w, 0) << width << "x" << height;
    }
    KGameWindow window;
    window.viewportWidth = 800;
    window.viewportHeight = 600;
    for (int level : {2, 3}) {
        GameSettings settings;
        settings.screenW = settings.screenH = 0;
        settings.touchPlatformLevel = level;
        updateDisplayValues(cells, window, settings);
        EXPECT_EQ(cells.cameraScaleX.number, 1) << level;
        EXPECT_EQ(cells.cameraScaleY.number, 1) << level;
    }
}

TEST_F(OptionsTest, TheStreamingConfigurationSetsFlagsForcesCursorsAndSplashes) {
    writeFile(folder / "streaming_config.xml", R"(<?xml version="1.0"?>
<StreamingServiceConfiguration>
  <UserInterfaceConfiguration>
    <OptionsMenuButton enabled="1">
      <MusicVolumeEnabled>0</MusicVolumeEnabled>
      <ExternalLinksEnabled>-2x</ExternalLinksEnabled>
    </OptionsMenuButton>
  </UserInterfaceConfiguration>
  <ForceFullScreen>1</ForceFullScreen>
  <ForceAspectRatio></ForceAspectRatio>
  <Cursors><Cursor name="hand" visible="1"/><Cursor name="wait"/><Cursor visible="1"/></Cursors>
  <SplashScreens><SplashScreen order="2">data/b.png</SplashScreen><SplashScreen order="11">x</SplashScreen></SplashScreens>
</StreamingServiceConfiguration>)");
    platform.splash[0] = "data/a.png";
    readStreamingConfig(platform, (folder / "streaming_config.xml").c_str());
    EXPECT_TRUE(platform.optionsMenuButton);
    EXPECT_FALSE(platform.musicVolumeEnabled);
    EXPECT_FALSE(platform.externalLinksEnabled);
    EXPECT_TRUE(platform.soundVolumeEnabled);
    EXPECT_EQ(platform.forceFullScreen, 1);
    EXPECT_EQ(platform.forceAspectRatio, 0) << "an empty text reads as 0";
    EXPECT_EQ(platform.pointerShapes[0].name, intern("hand"));
    EXPECT_TRUE(platform.pointerShapes[0].visible);
    EXPECT_EQ(platform.pointerShapes[1].name, intern("wait"));
    EXPECT_FALSE(platform.pointerShapes[1].visible);
    EXPECT_EQ(platform.pointerShapes[2].name, nullptr);
    EXPECT_EQ(platform.splash[0], "");
    EXPECT_EQ(platform.splash[1], "data/b.png");

    PlatformSettings untouched;
    writeFile(folder / "other.xml", "<Other><ForceFullScreen>1</ForceFullScreen></Other>");
    readStreamingConfig(untouched, (folder / "other.xml").c_str());
    EXPECT_EQ(untouched.forceFullScreen, -1);
}

} // namespace
