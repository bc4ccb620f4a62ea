// Hover highlights in the headless player: the first enabled task under the
// pointer is its target whatever the task waits for, so the highlight of a
// use task or a look task shows as well as that of a click task.
#include "game_folder.h"
#include "support/image_compare.h"

using namespace glint::test;

namespace {

class HoverPlayTest : public GameFolderTest {
protected:
    void SetUp() override {
        commonFiles("BuildScreenW=320\r\nBuildScreenH=240\r\nBuildSupportMScene=1\r\nBuildForLUMO=1\r\n",
                    "data/_interface/loading\r\ndata/startup\r\n");
        // A chest that takes the key, a painting to look at; each with a
        // highlight frame named after it.
        scene("startup",
              R"({"elements": {"bg": {"I": ["bg.png"], "D": [320, 240], "Z": 10},
                 "chest": {"I": ["chest.png"], "D": [40, 30], "X": -80, "Z": 5},
                 "chest_h": {"I": ["frame.png"], "D": [50, 40], "X": -80, "Z": 6},
                 "painting": {"I": ["painting.png"], "D": [40, 50], "X": 80, "Z": 5},
                 "painting_h": {"I": ["frame.png"], "D": [50, 60], "X": 80, "Z": 6},
                 "key": {"I": ["key.png"], "D": [10, 10], "Y": 90, "Z": 4}}})",
              "action unlock hand $chest $key {\n  do {\n  }\n}\n"
              "action study hand $painting +startup {\n  do {\n  }\n}\n"
              "init {\n  enable @unlock\n  enable @study\n}\n");
        image("data/startup/bg.png", "rgb(30,40,60)");
        image("data/startup/chest.png", "rgb(120,80,40)");
        image("data/startup/painting.png", "rgb(60,120,80)");
        image("data/startup/frame.png", "rgb(250,230,120)");
        image("data/startup/key.png", "rgb(200,200,210)");
    }
};

TEST_F(HoverPlayTest, UseAndLookTasksShowTheirHighlights) {
    CommandResult result = play(170,
                                "70 move 80 120\n"   // over the chest (a use task)
                                "120 move 240 120\n" // over the painting (a look task)
                                "160 quit\n",
                                {{110, "hover_use"}, {160, "hover_look"}});
    ASSERT_EQ(result.status, 0) << result.err;
    for (const char* name : {"hover_use", "hover_look"})
        expectPngMatches(readFile(shot(name)), expected(name));
}

} // namespace
