// The file, option and text commands in the headless player: a game writes
// and reads back its own files, keeps a log and its options in the
// per-user folder, and cannot reach a file outside its folders. Each check
// that passes shows one green square.
#include "game_folder.h"
#include "support/image_compare.h"

#include <filesystem>

using namespace glint::test;
namespace fs = std::filesystem;

namespace {

class FileCommandsPlayTest : public GameFolderTest {
protected:
    void SetUp() override {
        fs::remove_all(user);
        commonFiles("BuildScreenW=320\r\nBuildScreenH=240\r\nBuildSupportMScene=1\r\nBuildForLUMO=1\r\n"
                    "BuildDeveloperName=GlintTests\r\nBuildTitleName=Files\r\nBuildGameName=Play\r\n",
                    "data/_interface/loading\r\ndata/startup\r\n");
        file("data/_localization.txt", "score\tFound % of %\r\n");
        writeFile(out / "secret.cfg", "key=secret\r\n");
        std::string squares;
        for (int i = 1; i <= 5; ++i)
            squares += ",\"c" + std::to_string(i) + "\": {\"I\": [\"green.png\"], \"D\": [20, 20], \"X\": " +
                       std::to_string(-120 + 40 * i) + ", \"Y\": -80, \"Z\": 5}";
        scene("startup", R"({"elements": {"bg": {"I": ["bg.png"], "D": [320, 240], "Z": 10})" + squares + "}}",
              "action press hand $bg ? {\n  do {\n"
              "    set_option_voice_volume 0.5\n    save_options\n    flog \"play.log\" clicked\n    show $c5\n"
              "  }\n}\n"
              "init {\n"
              "  hide $c1\n  hide $c2\n  hide $c3\n  hide $c4\n  hide $c5\n"
              "  ftouch \"data/notes/lines.txt\"\n"
              "  set #out[1] \"alpha\"\n  set #out[2] \"\"\n  set #out[3] \"omega\"\n"
              "  write_lines #out[] \"data/notes/lines.txt\"\n  read_lines #back[] \"data/notes/lines.txt\"\n"
              "  if #back[3] = \"omega\" {\n    show $c1\n  }\n"
              "  write_cfg \"data/notes/progress.cfg\" level \"7\"\n"
              "  read_cfg #level \"data/notes/progress.cfg\" level\n"
              "  if #level = \"7\" {\n    show $c2\n  }\n"
              "  get_local_text #found score 3 10\n  fcreatelog \"play.log\"\n  flog \"play.log\" #found 12.5\n"
              "  write_cfg \"" + (out / "stolen.cfg").string() + "\" key \"x\"\n"
              "  read_cfg #secret \"" + (out / "secret.cfg").string() + "\" key\n"
              "  if #secret = \"\" {\n    show $c3\n  }\n"
              "  set_option_music_volume 0.25\n  save_options\n  set_option_music_volume 0.9\n  load_options\n"
              "  if ##Option_music_volume = 0.25 {\n    show $c4\n  }\n"
              "  enable @press\n"
              "}\n");
        image("data/startup/bg.png", "rgb(30,40,60)");
        image("data/startup/green.png", "rgb(40,200,60)");
    }

    fs::path user = fs::path(GLINT_TEST_HOME) / "GlintTests/Files - Play - CE";
};

TEST_F(FileCommandsPlayTest, AGameKeepsItsFilesAndOptionsInsideItsFolders) {
    CommandResult result = play(150, "100 click 160 200\n", {{140, "file_commands"}});
    ASSERT_EQ(result.status, 0) << result.err;
    expectPngMatches(readFile(shot("file_commands")), expected("file_commands"));
    EXPECT_EQ(readFile(game / "data/notes/lines.txt"), "alpha\r\n\r\nomega\r\n");
    EXPECT_EQ(readFile(user / "play.log"), "Found 3 of 10 12.50\nclicked\n");
    std::string options = readFile(user / "options.cfg");
    EXPECT_NE(options.find("music=0.250\r\n"), std::string::npos) << options;
    EXPECT_NE(options.find("voice=0.500\r\n"), std::string::npos) << options;
    EXPECT_FALSE(fs::exists(out / "stolen.cfg"));
}

} // namespace
