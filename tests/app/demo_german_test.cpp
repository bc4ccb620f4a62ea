// The sample game in German, chosen by data/language.txt: the players'
// page and the menu at a first start, in German texts and letters. The
// name typed for the new player keeps to letters and digits, since it also
// names the player's file, and Backspace takes a letter back.
#include "support/image_compare.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace glint::test;

namespace fs = std::filesystem;

namespace {

// The sample game's loose files with German chosen; an archive left by a
// bake would be read first, with its own language file, so it stays out.
void copyGermanGame(const fs::path& to) {
    fs::path demo = sourceDir() / "games" / "demo";
    fs::create_directories(to);
    fs::copy(demo / "data", to / "data", fs::copy_options::recursive);
    writeFile(to / "data/language.txt", "Language=de\r\n");
}

// The first file of that name below a folder; "" when there is none.
std::string findFile(const fs::path& folder, const std::string& name) {
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.path().filename() == name)
            return entry.path().string();
    return "";
}

TEST(DemoGerman, MenuAndPlayersPageSpeakGerman) {
    TempDir game, home, out;
    copyGermanGame(game.path());
    writeFile(out / "input.txt", "120 click 10 10\n"
                                 "330 click 10 10\n"
                                 "460 click 500 600\n"
                                 "560 shot players.png\n"
                                 "580 click 302 639\n"
                                 "600 text Annax\n"
                                 "605 key backspace\n"
                                 "610 text _2ß!\n"
                                 "620 key return\n"
                                 "660 click 722 639\n"
                                 "740 shot menu.png\n"
                                 "760 quit\n");
    CommandResult result = runCommand("cd " + shellQuote(out.str()) + " && XDG_DATA_HOME=" + shellQuote(home.str()) +
                                      " " + shellQuote(playerPath()) + " " + shellQuote(game.str()) +
                                      " --headless --frames 900 --input input.txt");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err.find("ERROR"), std::string::npos) << result.err;
    for (const char* shot : {"players", "menu"}) {
        fs::path expected = sourceDir() / "tests/app/expected/german" / (std::string(shot) + ".png");
        expectPngMatches(readFile(out / (std::string(shot) + ".png")), expected.string(), 2, 4);
    }
    // The x was taken back; the underscore, the sharp s and the exclamation
    // mark were never taken.
    EXPECT_NE(findFile(home.path(), "Anna2.profile"), "");
}

} // namespace
