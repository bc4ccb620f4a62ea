#include "app/game_check.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace glint;
using namespace glint::test;

namespace {

std::string check(const std::string& folder) { return shellQuote(playerPath()) + " check " + shellQuote(folder); }

TEST(Check, TheDemoGameIsClean) {
    CommandResult result = runCommand(check((sourceDir() / "games" / "demo").string()));
    EXPECT_EQ(result.status, 0) << result.out << result.err;
    // The sample game grows; whatever its number of scenes, none has errors.
    EXPECT_NE(result.out.find(" scenes: 0 errors\n"), std::string::npos) << result.out;
}

TEST(Check, ReportsScriptAndContentErrorsWithTheirTextsAndFails) {
    TempDir game;
    writeFile(game / "data" / "game.cfg", "BuildScreenW=800\r\nBuildSupportMScene=1\r\n");
    writeFile(game / "data" / "scenes.cfg", "data/hall\r\n");
    writeFile(game / "data" / "_interface" / "_game.scene", "{}");
    writeFile(game / "data" / "hall" / "_hall.scene", R"({"elements": {"bad name": {}}})");
    writeFile(game / "data" / "hall" / "hall.script", "fun open_door {\n  call_missing_thing\n}\n");
    writeFile(game / "data" / "_interface" / "_scripts" / "common_all.script", "");
    writeFile(game / "data" / "_interface" / "_scripts" / "common_all_post.script", "");
    CommandResult result = runCommand(check(game.str()));
    EXPECT_EQ(result.status, 1);
    // A call of an unknown word is a call of a global function that
    // nothing defines.
    EXPECT_EQ(result.out, "ERROR: Invalid object name $hall:bad name - character  \n"
                          "ERROR in script game: Function not defined: game:call_missing_thing\n"
                          "checked 2 scenes: 2 errors\n");
}

TEST(Check, ReportsErrorsOfLetterCodedScenes) {
    TempDir game;
    writeFile(game / "data" / "game.cfg", "BuildScreenW=800\r\n");
    writeFile(game / "data" / "scenes.cfg", "data/hall\r\n");
    writeFile(game / "data" / "_interface" / "_game.scene", "");
    writeFile(game / "data" / "hall" / "_hall.scene", "O bad name\n.\nO lamp\nX 20000\n.\n");
    writeFile(game / "data" / "hall" / "hall.script", "init {\n  set $lamp.alpha 1\n}\n");
    writeFile(game / "data" / "_interface" / "_scripts" / "common_all.script", "");
    writeFile(game / "data" / "_interface" / "_scripts" / "common_all_post.script", "");
    CommandResult result = runCommand(check(game.str()));
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.out.find("ERROR: Invalid object name $hall:bad name - character  \n"), std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("Too much animation keys!\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("checked 2 scenes: 2 errors\n"), std::string::npos) << result.out;
}

TEST(Check, UsageAndMissingFolders) {
    EXPECT_EQ(runCommand(shellQuote(playerPath()) + " check").status, 2);
    EXPECT_EQ(runCommand(check("/nonexistent/game")).status, 2);
}

TEST(Check, WarningsAndTracesOfLoadsAreNoErrors) {
    EXPECT_TRUE(countsAsError("ERROR in script hall: Invalid command - x"));
    EXPECT_TRUE(countsAsError("[Localization] Duplicate localization key on line 3: a"));
    EXPECT_FALSE(countsAsError("WARNING: font 2 did not load completely"));
    EXPECT_FALSE(countsAsError("LOAD data/a.png"));
    EXPECT_FALSE(countsAsError("   called from hall:open_door"));
    EXPECT_FALSE(countsAsError(""));
}

} // namespace
