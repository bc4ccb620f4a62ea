// Particles in the headless player: a fire that rises from the floor of a
// room as soon as it shows, and a burst a click starts with emit.
#include "game_folder.h"
#include "support/image_compare.h"

using namespace glint::test;

namespace {

class ParticlePlayTest : public GameFolderTest {
protected:
    void SetUp() override {
        commonFiles("BuildScreenW=320\r\nBuildScreenH=240\r\nBuildSupportMScene=1\r\nBuildForLUMO=1\r\n",
                    "data/_interface/loading\r\ndata/startup\r\n");
        // The fire starts full (prewarmed); the burst element only lends its
        // system to emit.
        scene("startup",
              R"({"elements": {"bg": {"I": ["bg.png"], "D": [320, 240], "Z": 10},
                 "ps_fire": {"X": -60, "Y": 80, "Z": 5},
                 "ps_burst": {"Z": 5}}})",
              "action boom hand $bg ? {\n  do {\n    emit $ps_burst 0 220 80 0 0.5 1 0.5\n  }\n}\n"
              "init {\n  hide $ps_burst\n  enable @boom\n}\n");
        file("data/_interface/particles/fire.particles",
             "; a fire\r\nI spark.png 1\r\nE 25\r\nC 2\r\nS 30\r\nT 4\r\nD 260 280\r\nV 80 : 40\r\nW 0 -5\r\n"
             "L 1 1.5\r\nR 255\r\nG 220 60\r\nB 80 0\r\nA 255 0\r\nX 14 : 4\r\nO A\r\n");
        file("data/_interface/particles/burst.particles",
             "I spark.png\r\nQ 0 0 0.05\r\nE 100\r\nC 8\r\nZ 24\r\nH 1\r\nS 6 6\r\nT 6 6\r\nD 0 360\r\nV 150 250\r\n"
             "L 0.5\r\nX 10\r\nO A\r\n");
        image("data/startup/bg.png", "rgb(20,30,60)");
        ASSERT_EQ(runCommand("convert -size 8x8 xc:none -fill white -draw 'circle 4,4 4,1' PNG32:" +
                             shellQuote((game / "data/_interface/particles/spark.png").string()))
                      .status,
                  0);
    }
};

TEST_F(ParticlePlayTest, AnEmitterRunsFromTheStartAndABurstFollowsAClick) {
    // One tick per frame; the room has faded in by frame 70. The burst's
    // particles live half a second.
    CommandResult result = play(200, "150 click 160 120\n195 quit\n", {{140, "emitter"}, {175, "burst"}});
    ASSERT_EQ(result.status, 0) << result.err;
    for (const char* name : {"emitter", "burst"})
        expectPngMatches(readFile(shot(name)), expected(std::string("particles_") + name));
}

} // namespace
