// The pointer in the headless player: the drawn looks, a tooltip, a key
// carried to its lock and used on it.
#include "support/image_compare.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace glint::test;

namespace {

class PointerPlayTest : public ::testing::Test {
protected:
    void SetUp() override {
        file("data/game.cfg", "BuildScreenW=320\r\nBuildScreenH=240\r\nBuildSupportMScene=1\r\nBuildForLUMO=1\r\n"
                              "BuildFontsTexturesExtensions=png\r\n");
        file("data/scenes.cfg", "data/_interface/loading\r\ndata/_interface/pointers\r\ndata/startup\r\n");
        file("data/_interface/loading/_loading.scene", "{}");
        file("data/_interface/game.script", "");
        file("data/_interface/_scripts/common_all.script", "");
        file("data/_interface/_scripts/common_all_post.script", "");
        // Two looks: a small arrow-like square and a wider hand.
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
    void file(const std::string& path, const std::string& bytes) { writeFile(game / path, bytes); }
    void scene(const std::string& path, const std::string& json, const std::string& script) {
        std::string name = path.substr(path.rfind('/') + 1);
        file("data/" + path + "/_" + name + ".scene", json);
        file("data/" + path + "/" + name + ".script", script);
    }
    void image(const std::string& path, const std::string& colour) {
        ASSERT_EQ(runCommand("convert -size 4x4 xc:'" + colour + "' " + shellQuote((game / path).string())).status, 0);
    }
    std::string shot(const char* name) { return (out / (std::string(name) + ".png")).string(); }

    TempDir game, out;
};

TEST_F(PointerPlayTest, LooksTooltipsAndAKeyCarriedToItsLock) {
    writeFile(out / "input.txt",
              "70 move 40 200\n"   // over nothing: the plain look
              "90 move 60 120\n"   // over the lever: the hand and its tooltip
              "140 click 160 200\n" // take the key
              "150 move 250 110\n" // carry it next to the lock
              "170 click 260 120\n" // use it on the lock: both disappear
              "200 quit\n");
    struct Shot {
        int frame;
        const char* name;
    } const shots[] = {{80, "plain"}, {135, "tooltip"}, {165, "carried"}, {190, "used"}};
    std::string arguments;
    for (const Shot& s : shots)
        arguments += " --shot " + std::to_string(s.frame) + ":" + shellQuote(shot(s.name));
    CommandResult result = runCommand(shellQuote(playerPath()) + " " + shellQuote(game.str()) +
                                      " --headless --frames 210 --input " + shellQuote((out / "input.txt").string()) +
                                      arguments);
    ASSERT_EQ(result.status, 0) << result.err;
    for (const Shot& s : shots)
        expectPngMatches(readFile(shot(s.name)),
                         (sourceDir() / "tests/game/expected" / ("pointer_" + std::string(s.name) + ".png")).string());
}

} // namespace
