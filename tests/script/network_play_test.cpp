// The download and alert commands in the headless player: a picture comes
// from a server on 127.0.0.1 into a placeholder, and an alert is answered.
#include "game/game_folder.h"
#include "local_http_server.h"
#include "support/image_compare.h"

using namespace glint::test;

namespace {

class NetworkPlayTest : public GameFolderTest {
protected:
    LocalHttpServer server;
};

TEST_F(NetworkPlayTest, ADownloadedPictureReplacesThePlaceholder) {
    // Red above, blue below: the picture keeps its orientation.
    CommandResult picture =
        runCommand("convert -size 8x8 xc:red -fill blue -draw 'rectangle 0,4 7,7' png:-");
    ASSERT_EQ(picture.status, 0) << picture.err;
    server.serve("/portrait.png", {200, picture.out});
    commonFiles("BuildScreenW=320\r\nBuildScreenH=240\r\nBuildSupportMScene=1\r\nBuildForLUMO=1\r\n",
                "data/_interface/loading\r\ndata/startup\r\n");
    scene("startup",
          R"({"elements": {"bg": {"I": ["bg.png"], "D": [320, 240], "Z": 10},
             "photo": {"I": ["placeholder.png"], "D": [120, 120], "X": -60, "Z": 5},
             "loaded": {"I": ["mark.png"], "D": [20, 20], "X": 100, "Y": -80, "Z": 4},
             "answered": {"I": ["mark.png"], "D": [20, 20], "X": 100, "Y": 80, "Z": 4}}})",
          "fun arrived %v %code %status {\n  if %status = 200 {\n    show $loaded\n  }\n}\n"
          "fun yes {\n  show $answered\n}\n"
          "init {\n  hide $loaded\n  hide $answered\n"
          "  url_get_image \"" + server.url("/portrait.png") + "\" $photo &arrived 1\n"
          "  show_alert welcome_title welcome_text welcome_yes &yes\n}\n");
    image("data/startup/bg.png", "rgb(60,60,60)");
    image("data/startup/placeholder.png", "rgb(200,200,200)");
    image("data/startup/mark.png", "rgb(40,220,40)");
    // Headless, each update waits for the downloads in flight: the picture
    // is in place from the first update of play on.
    CommandResult result = play(100, "", {{100, "downloaded"}});
    ASSERT_EQ(result.status, 0) << result.err;
    expectPngMatches(readFile(shot("downloaded")), (sourceDir() / "tests/script/expected/downloaded.png").string());
    EXPECT_NE(result.err.find("System: alert 1 \"welcome_title\" answered with button 1"), std::string::npos)
        << result.err;
}

} // namespace
