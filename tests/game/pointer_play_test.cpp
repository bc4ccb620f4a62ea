// The pointer in the headless player: the drawn looks, a tooltip, a key
// carried to its lock and used on it.
#include "game_folder.h"
#include "support/image_compare.h"

#include <filesystem>

using namespace glint::test;

namespace {

class PointerPlayTest : public GameFolderTest {
protected:
    void SetUp() override {
        commonFiles("BuildScreenW=320\r\nBuildScreenH=240\r\nBuildSupportMScene=1\r\nBuildForLUMO=1\r\n"
                    "BuildFontsTexturesExtensions=png\r\n",
                    "data/_interface/loading\r\ndata/_interface/pointers\r\ndata/startup\r\n");
        // Two looks: a small white square and a wider yellow one.
        scene("_interface/pointers",
              R"({"elements": {"pointer_click": {"I": ["click.png"], "D": [8, 8], "Z": 1},
                 "pointer_hand": {"I": ["hand.png"], "D": [14, 14], "Z": 1}}})",
              "");
        scene("startup",
              R"({"elements": {"bg": {"I": ["bg.png"], "D": [320, 240], "Z": 10},
                 "lever": {"I": ["lever.png"], "D": [30, 60], "X": -100, "Z": 5},
                 "key": {"I": ["key.png"], "D": [20, 20], "Y": 80, "Z": 4},
                 "lock": {"I": ["lock.png"], "D": [40, 40], "X": 100, "Z": 5}}})",
              "action grab hand $key ? {\n  do {\n    take $key\n  }\n}\n"
              "action open_lock hand $lock $key {\n  do {\n    untake\n    hide $key\n    hide $lock\n  }\n}\n"
              "action pull hand $lever ? {\n  do {\n  }\n}\n"
              "init {\n  enable @grab\n  enable @open_lock\n  enable @pull\n  set $lever.tooltip_text \"A lever\"\n}\n");
        image("data/_interface/pointers/click.png", "white");
        image("data/_interface/pointers/hand.png", "rgb(255,200,0)");
        image("data/startup/bg.png", "rgb(30,60,40)");
        image("data/startup/lever.png", "rgb(160,160,170)");
        image("data/startup/key.png", "rgb(230,190,40)");
        image("data/startup/lock.png", "rgb(120,70,40)");
        std::filesystem::path fonts = sourceDir() / "games/demo/data/_interface/fonts";
        std::filesystem::create_directories(game / "data/_interface/fonts");
        for (const auto& entry : std::filesystem::directory_iterator(fonts))
            std::filesystem::copy_file(entry.path(), game / "data/_interface/fonts" / entry.path().filename());
    }
};

TEST_F(PointerPlayTest, LooksTooltipsAndAKeyCarriedToItsLock) {
    CommandResult result = play(210,
                                "70 move 40 200\n"    // over nothing: the plain look
                                "90 move 60 120\n"    // over the lever: the hand and its tooltip
                                "140 click 160 200\n" // take the key
                                "150 move 250 110\n"  // carry it next to the lock
                                "170 click 260 120\n" // use it on the lock: both disappear
                                "200 quit\n",
                                {{80, "plain"}, {135, "tooltip"}, {165, "carried"}, {190, "used"}});
    ASSERT_EQ(result.status, 0) << result.err;
    for (const char* name : {"plain", "tooltip", "carried", "used"})
        expectPngMatches(readFile(shot(name)), expected(std::string("pointer_") + name));
}

// The pause overlay draws a picture inside a crop window; the pointer, drawn
// after it, is not cut to that window.
class PointerOverCropTest : public GameFolderTest {
protected:
    void SetUp() override {
        commonFiles("BuildScreenW=320\r\nBuildScreenH=240\r\nBuildSupportMScene=1\r\nBuildForLUMO=1\r\n",
                    "data/_interface/loading\r\ndata/_interface/pointers\r\ndata/_interface/pause\r\n"
                    "data/startup\r\n");
        scene("_interface/pointers", R"({"elements": {"pointer_click": {"I": ["click.png"], "D": [8, 8], "Z": 1}}})",
              "");
        scene("_interface/pause",
              R"({"elements": {"crop_badge": {"D": [30, 30], "X": -130, "Y": -90},
                 "badge": {"I": ["badge.png"], "D": [60, 60], "X": -130, "Y": -90}},
                 "groups": {"crop_badge": ["badge"]}})",
              "");
        scene("startup", R"({"elements": {"bg": {"I": ["bg.png"], "D": [320, 240], "Z": 10}}})", "");
        image("data/_interface/pointers/click.png", "white");
        image("data/_interface/pause/badge.png", "rgb(200,60,60)");
        image("data/startup/bg.png", "rgb(30,60,40)");
    }
};

TEST_F(PointerOverCropTest, ACropWindowOfTheOverlayDoesNotClipThePointer) {
    CommandResult result = play(90, "60 move 220 160\n", {{80, "over_crop"}});
    ASSERT_EQ(result.status, 0) << result.err;
    expectPngMatches(readFile(shot("over_crop")), expected("pointer_over_crop"));
}

} // namespace
