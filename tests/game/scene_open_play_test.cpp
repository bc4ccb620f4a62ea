// Opening a scene in the headless player: the scene has been updated once
// by the time its first open handler runs, so positions read there are the
// ones the player sees.
#include "game_folder.h"
#include "support/image_compare.h"

using namespace glint::test;

namespace {

class SceneOpenPlayTest : public GameFolderTest {
protected:
    void SetUp() override {
        commonFiles("BuildScreenW=320\r\nBuildScreenH=240\r\nBuildSupportMScene=1\r\nBuildForLUMO=1\r\n",
                    "data/_interface/loading\r\ndata/startup\r\n");
        scene("startup",
              R"({"elements": {"bg": {"I": ["bg.png"], "D": [320, 240], "Z": 10},
                 "lamp": {"I": ["lamp.png"], "D": [30, 30], "X": 100, "Y": 40, "Z": 5},
                 "glow": {"I": ["glow.png"], "D": [12, 12], "X": -100, "Z": 1}}})",
              "on !open {\n  move $glow $lamp\n}\n");
        image("data/startup/bg.png", "rgb(30,40,60)");
        image("data/startup/lamp.png", "rgb(150,90,40)");
        image("data/startup/glow.png", "rgb(255,250,200)");
    }
};

TEST_F(SceneOpenPlayTest, TheOpenHandlerPlacesTheGlowOnTheLamp) {
    CommandResult result = play(80, "", {{70, "glow_on_lamp"}});
    ASSERT_EQ(result.status, 0) << result.err;
    expectPngMatches(readFile(shot("glow_on_lamp")), expected("glow_on_lamp"));
}

} // namespace
