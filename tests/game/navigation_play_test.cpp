// A small game played with the pointer in the headless player: two rooms
// joined by a door, a zoom zone on a desk and a letter read in a sub-scene.
#include "game_folder.h"
#include "support/image_compare.h"

using namespace glint::test;

namespace {

class NavigationPlayTest : public GameFolderTest {
protected:
    void SetUp() override {
        commonFiles("BuildScreenW=320\r\nBuildScreenH=240\r\nBuildSupportMScene=1\r\nBuildForLUMO=1\r\n",
                    "data/_interface/loading\r\ndata/startup\r\ndata/hall\r\ndata/startup/zz_desk\r\n"
                    "data/sub_letter\r\n");
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
              "init {\n  set #Zoom_scale 0.2\n  set #Open_time 0.2\n  set #Close_time 0.2\n  enable @put_back\n}\n"
              "action put_back hand $top ? {\n  do {\n    close\n  }\n}\n");
        // The letter over the hall, the hall darkened behind it.
        scene("sub_letter", R"({"elements": {"paper": {"I": ["paper.png"], "D": [160, 200], "Z": 5}}})",
              "init {\n  set #Layer 5\n  set #Zoom_scale 1\n  set #Background_blackness_alpha 0.5\n"
              "  set #Open_time 0.2\n  set #Close_time 0.2\n  enable @done\n}\n"
              "action done hand $paper ? {\n  do {\n    close\n  }\n}\n");
        image("data/startup/bg.png", "rgb(120,40,40)");
        image("data/startup/door.png", "rgb(200,160,60)");
        image("data/startup/desk.png", "rgb(90,60,30)");
        image("data/hall/bg.png", "rgb(40,90,120)");
        image("data/hall/letter.png", "rgb(240,240,220)");
        image("data/startup/zz_desk/top.png", "rgb(150,110,60)");
        image("data/sub_letter/paper.png", "rgb(250,245,230)");
    }
};

TEST_F(NavigationPlayTest, TheRoomsZoomZoneAndLetterPlayThroughWithThePointer) {
    // One tick per frame. Play begins near frame 12 and the study has faded
    // in by frame 70.
    CommandResult result = play(440,
                                "80 click 60 180\n"   // the desk: its zoom zone opens (0.2 s)
                                "130 click 160 120\n" // the desk top: it closes again
                                "180 click 260 120\n" // the door: a fade of 0.5 s, the switch, the hall fades in
                                "320 click 160 200\n" // the letter: it opens over the darkened hall
                                "380 click 160 120\n" // the letter closes
                                "430 quit\n",
                                {{110, "zoom"}, {200, "leaving"}, {300, "hall"}, {360, "letter"}, {420, "back"}});
    ASSERT_EQ(result.status, 0) << result.err;
    for (const char* name : {"zoom", "leaving", "hall", "letter", "back"})
        expectPngMatches(readFile(shot(name)), expected(name));
}

} // namespace
