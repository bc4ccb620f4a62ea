// A small game played with the pointer in the headless player: two rooms
// joined by a door, a zoom zone on a desk and a letter read in a sub-scene.
#include "support/image_compare.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>

using namespace glint::test;

namespace {

struct Room {
    const char* folder;
    const char* colour;
};

class NavigationPlayTest : public ::testing::Test {
protected:
    void SetUp() override {
        file("data/game.cfg", "BuildScreenW=320\r\nBuildScreenH=240\r\nBuildSupportMScene=1\r\nBuildForLUMO=1\r\n");
        file("data/scenes.cfg", "data/_interface/loading\r\ndata/startup\r\ndata/hall\r\ndata/startup/zz_desk\r\n"
                                "data/sub_letter\r\n");
        file("data/_interface/loading/_loading.scene", "{}");
        file("data/_interface/game.script", "");
        file("data/_interface/_scripts/common_all.script", "");
        file("data/_interface/_scripts/common_all_post.script", "");
        // The study: a door on the right, a desk on the left.
        scene("startup",
              R"({"elements": {"bg": {"I": ["bg.png"], "D": [320, 240], "Z": 10},
                 "door": {"I": ["door.png"], "D": [40, 80], "X": 100, "Z": 5},
                 "desk": {"I": ["desk.png"], "D": [60, 40], "X": -100, "Y": 60, "Z": 5}}})",
              "action leave hand $door ? {\n  do {\n    goto $door\n  }\n}\n"
              "action look hand $desk ? {\n  do {\n    open +zz_desk\n  }\n}\n"
              "init {\n  set $door.goto_scene +hall\n  enable @leave\n  enable @look\n}\n");
        // The hall: a letter on the floor.
        scene("hall",
              R"({"elements": {"bg": {"I": ["bg.png"], "D": [320, 240], "Z": 10},
                 "letter": {"I": ["letter.png"], "D": [30, 20], "Y": 80, "Z": 5}}})",
              "action read hand $letter ? {\n  do {\n    open +sub_letter\n  }\n}\ninit {\n  enable @read\n}\n");
        // The desk close up; a click on it closes it.
        scene("startup/zz_desk", R"({"elements": {"top": {"I": ["top.png"], "D": [200, 120], "Z": 5}}})",
              "init {\n  set #Zoom_scale 0.2\n  set #Open_time 0.2\n  set #Close_time 0.2\n}\n"
              "action put_back hand $top ? {\n  do {\n    close\n  }\n}\ninit {\n  enable @put_back\n}\n");
        // The letter over the hall, the hall darkened behind it.
        scene("sub_letter", R"({"elements": {"paper": {"I": ["paper.png"], "D": [160, 200], "Z": 5}}})",
              "init {\n  set #Layer 5\n  set #Zoom_scale 1\n  set #Background_blackness_alpha 0.5\n"
              "  set #Open_time 0.2\n  set #Close_time 0.2\n}\n"
              "action done hand $paper ? {\n  do {\n    close\n  }\n}\ninit {\n  enable @done\n}\n");
        image("data/startup/bg.png", "rgb(120,40,40)");
        image("data/startup/door.png", "rgb(200,160,60)");
        image("data/startup/desk.png", "rgb(90,60,30)");
        image("data/hall/bg.png", "rgb(40,90,120)");
        image("data/hall/letter.png", "rgb(240,240,220)");
        image("data/startup/zz_desk/top.png", "rgb(150,110,60)");
        image("data/sub_letter/paper.png", "rgb(250,245,230)");
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
    static std::string expected(const char* name) {
        return (sourceDir() / "tests/game/expected" / (std::string(name) + ".png")).string();
    }

    TempDir game, out;
};

TEST_F(NavigationPlayTest, TheRoomsZoomZoneAndLetterPlayThroughWithThePointer) {
    // One tick per frame. Play begins near frame 12 and the study has faded
    // in by frame 70.
    writeFile(out / "input.txt",
              "80 click 60 180\n"   // the desk: its zoom zone opens (0.2 s)
              "130 click 160 120\n" // the desk top: it closes again
              "180 click 260 120\n" // the door: a fade of 0.5 s, the switch, the hall fades in
              "320 click 160 200\n" // the letter: it opens over the darkened hall
              "380 click 160 120\n" // the letter closes
              "430 quit\n");
    struct Shot {
        int frame;
        const char* name;
    } const shots[] = {{110, "zoom"}, {200, "leaving"}, {300, "hall"}, {360, "letter"}, {420, "back"}};
    std::string arguments;
    for (const Shot& s : shots)
        arguments += " --shot " + std::to_string(s.frame) + ":" + shellQuote(shot(s.name));
    CommandResult result = runCommand(shellQuote(playerPath()) + " " + shellQuote(game.str()) +
                                      " --headless --frames 440 --input " + shellQuote((out / "input.txt").string()) +
                                      arguments);
    ASSERT_EQ(result.status, 0) << result.err;
    for (const Shot& s : shots)
        expectPngMatches(readFile(shot(s.name)), expected(s.name));
}

} // namespace
