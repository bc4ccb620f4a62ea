// A room written once as JSON and once in the letter-coded form, played
// headless with the same clicks: every picture is the same.
#include "game/game_folder.h"
#include "support/image_compare.h"

using namespace glint::test;

namespace {

const char* const kJsonRoom = R"({"elements": {
    "bg": {"I": ["bg.png"], "D": [320, 240], "Z": 10},
    "wheel": {"I": ["wheel.png"], "D": [40, 40], "Z": 5, "X": [[0, -100], [200, 100]], "An": [[0, 0], [100, 90]]},
    "box": {"I": ["box.png"], "D": [60, 40], "X": -60, "Y": 60, "Z": 5,
            "Hs": [[[-30, -20], [0, -20], [0, 20], [-30, 20]]]}}})";

const char* const kLetterRoom = "O bg\nI bg.png\nD 320 240\nZ 1\nK 10\n.\n"
                                "O wheel\nI wheel.png\nD 40 40\nZ 1\nK 5\nX 2\nK 0 -100\nK 200 100\n"
                                "A 2\nK 0 0\nK 100 90\n.\n"
                                "O box\nI box.png\nD 60 40\nX 1\nK -60\nY 1\nK 60\nZ 1\nK 5\n"
                                "q 1\nQ 4\nu -30\nv -20\nu 0\nv -20\nu 0\nv 20\nu -30\nv 20\n.\n";

class LetterPlayTest : public GameFolderTest {
protected:
    // The game with its room in one form; the shots go to out/<form>_<name>.png.
    void play(bool json) {
        commonFiles(std::string("BuildScreenW=320\r\nBuildScreenH=240\r\nBuildForLUMO=1\r\n") +
                        (json ? "BuildSupportMScene=1\r\n" : ""),
                    "data/_interface/loading\r\ndata/startup\r\n");
        scene("startup", json ? kJsonRoom : kLetterRoom,
              "action take hand $box ? {\n  do {\n    hide $box\n  }\n}\ninit {\n  enable @take\n}\n");
        image("data/startup/bg.png", "rgb(40,70,90)");
        image("data/startup/wheel.png", "rgb(230,200,60)");
        image("data/startup/box.png", "rgb(150,80,50)");
        const std::string form = json ? "json_" : "letter_";
        CommandResult result = GameFolderTest::play(
            150,
            "90 click 115 180\n"  // the box's right half, outside its hotspot: nothing
            "100 click 85 180\n"  // its left half: the box goes
            "145 quit\n",
            {{(80), (form + "moving").c_str()}, {95, (form + "kept").c_str()}, {140, (form + "taken").c_str()}});
        ASSERT_EQ(result.status, 0) << result.err;
    }
};

TEST_F(LetterPlayTest, BothFormsDrawTheSamePictures) {
    play(true);
    play(false);
    for (const char* name : {"moving", "kept", "taken"}) {
        expectPngMatches(readFile(shot((std::string("json_") + name).c_str())),
                         (sourceDir() / "tests/scene/expected" / (std::string("letters_") + name + ".png")).string());
        expectPngMatches(readFile(shot((std::string("letter_") + name).c_str())),
                         shot((std::string("json_") + name).c_str()), 0);
    }
}

} // namespace
