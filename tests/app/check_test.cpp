#include "app/game_check.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace glint;
using namespace glint::test;

namespace {

std::string check(const std::string& folder) { return shellQuote(playerPath()) + " check " + shellQuote(folder); }

// The sample game has no errors; warnings are allowed there.
TEST(Check, TheDemoGameIsClean) {
    CommandResult result = runCommand(check((sourceDir() / "games" / "demo").string()));
    EXPECT_EQ(result.status, 0) << result.out << result.err;
    // The sample game grows; whatever its number of scenes, none has errors.
    EXPECT_NE(result.out.find(" scenes: 0 errors\n"), std::string::npos) << result.out;
}

// tests/app/lint_game has one fault of each kind: an image the scene names
// and the game lacks, a key that the French table lacks (in a scene and in
// a script), a sign whose French text needs two lines in a box of one, and
// an image nothing uses.
TEST(Check, TheLintReportsEachKindOfFindingAtItsLine) {
    const std::string expected =
        "data/hall/_hall.scene:4: error: missing image data/hall/lamp.png\n"
        "data/hall/_hall.scene:6: error: key \"title_text\" is missing from data/_localization_fr.txt\n"
        "data/hall/hall.script:2: error: key \"farewell\" is missing from data/_localization_fr.txt\n"
        "data/hall/_hall.scene:5: error: text \"sign_text\" of sign overflows its box with "
        "data/_localization_fr.txt: 170x40 in 200x20\n"
        "data/hall/old_door.png:1: warning: nothing uses this file\n"
        "checked 2 scenes: 4 errors\n";
    std::string game = (sourceDir() / "tests" / "app" / "lint_game").string();
    for (const char* option : {"", " --strict"}) {
        CommandResult result = runCommand(check(game) + option);
        EXPECT_EQ(result.status, 1) << option;
        EXPECT_EQ(result.out, expected) << option;
    }
}

// A minimal game whose only finding is a warning.
void writeCleanGame(const TempDir& game) {
    writeFile(game / "data" / "game.cfg", "BuildScreenW=800\r\nBuildSupportMScene=1\r\n");
    writeFile(game / "data" / "scenes.cfg", "data/hall\r\n");
    writeFile(game / "data" / "_interface" / "_game.scene", "{}");
    writeFile(game / "data" / "hall" / "_hall.scene", "{}");
    writeFile(game / "data" / "_interface" / "_scripts" / "common_all.script", "");
    writeFile(game / "data" / "_interface" / "_scripts" / "common_all_post.script", "");
}

TEST(Check, WarningsFailOnlyWhenStrict) {
    TempDir game;
    writeCleanGame(game);
    writeFile(game / "data" / "hall" / "notes.txt", "left over");
    // Read only when the script runs: its mention is what the lint sees.
    writeFile(game / "data" / "hall" / "list.txt", "a\r\nb\r\n");
    writeFile(game / "data" / "hall" / "hall.script", "fun load {\n  read_lines #lines[] \"data/hall/list.txt\"\n}\n");
    struct Case {
        const char* option;
        int status;
    } cases[] = {{"", 0}, {" --strict", 1}};
    for (const Case& c : cases) {
        CommandResult result = runCommand(check(game.str()) + c.option);
        EXPECT_EQ(result.status, c.status) << c.option;
        EXPECT_EQ(result.out, "data/hall/notes.txt:1: warning: nothing uses this file\n"
                              "checked 2 scenes: 0 errors\n")
            << c.option;
    }
}

// A particle system's image is named only inside its description, which
// the game reads when the element's scene opens.
TEST(Check, AParticleImageCountsAsUsed) {
    TempDir game;
    writeCleanGame(game);
    writeFile(game / "data" / "hall" / "_hall.scene", "{\"elements\": {\"ps_glow\": {}}}");
    writeFile(game / "data" / "_interface" / "particles" / "glow.particles", "I glow.png 1\r\nE 5\r\n");
    writeFile(game / "data" / "_interface" / "particles" / "glow.png", "");
    CommandResult result = runCommand(check(game.str()) + " --strict");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "checked 2 scenes: 0 errors\n");
}

// A file for another language stands in for the file it is named after,
// a video's subtitles go with the video, and every language has its
// window title: none of them is left over.
TEST(Check, LanguageVariantsSubtitlesAndTitlesCountAsUsed) {
    TempDir game;
    writeCleanGame(game);
    writeFile(game / "data" / "game.cfg", "BuildScreenW=800\r\nBuildSupportMScene=1\r\nBuildSupportedLanguages=de\r\n");
    writeFile(game / "data" / "_localization.txt", "hello\tHello\r\n");
    writeFile(game / "data" / "_localization_de.txt", "hello\tHallo\r\n");
    writeFile(game / "data" / "game_title_de.txt", "TitleCE=Die Halle\r\n");
    writeFile(game / "data" / "hall" / "_hall.scene", "{\"elements\": {\"movie_intro\": {}}}");
    writeFile(game / "data" / "hall" / "movie_intro.ogv", "");
    writeFile(game / "data" / "hall" / "movie_intro.srt", "");
    writeFile(game / "data" / "hall" / "list.txt", "a\r\n");
    writeFile(game / "data" / "hall" / "list_de.txt", "a\r\n");
    writeFile(game / "data" / "hall" / "hall.script", "fun load {\n  read_lines #lines[] \"data/hall/list.txt\"\n}\n");
    CommandResult result = runCommand(check(game.str()) + " --strict");
    EXPECT_EQ(result.status, 0) << result.out << result.err;
    EXPECT_EQ(result.out, "checked 2 scenes: 0 errors\n");
}

// The sound list names its files; particle elements and movies name theirs
// by the element's name (ps_smoke_2 uses the system "smoke"); scripts name
// sounds of their scene's list; a text element names its font by number.
TEST(Check, ReportsMissingSoundsParticlesVideosAndFontsWhereTheyAreNamed) {
    TempDir game;
    writeCleanGame(game);
    writeFile(game / "data" / "hall" / "_hall.scene",
              "{\"elements\": {\n  \"ps_smoke_2\": {},\n  \"movie_intro\": {},\n"
              "  \"label\": {\"Tk\": \"hello\", \"T\": [3], \"D\": [100, 20]}\n}}");
    writeFile(game / "data" / "hall" / "_sounds" / "_sounds.cfg", "creak=1\r\nbell=1\r\n");
    writeFile(game / "data" / "hall" / "_sounds" / "bell.ogg", "");
    writeFile(game / "data" / "hall" / "hall.script", "fun ring {\n  sound *bell\n  sound *thunder\n}\n");
    CommandResult result = runCommand(check(game.str()));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out,
              "data/hall/_hall.scene:2: error: missing particle file data/_interface/particles/smoke.particles\n"
              "data/hall/_hall.scene:3: error: missing video data/hall/movie_intro.ogv\n"
              "data/hall/_hall.scene:4: error: missing font data/_interface/fonts/font_3.font\n"
              "data/hall/_sounds/_sounds.cfg:1: error: missing sound data/hall/_sounds/creak.ogg\n"
              "data/hall/hall.script:3: error: sound *thunder is in no sound list of hall\n"
              "checked 2 scenes: 5 errors\n");
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
    EXPECT_EQ(runCommand(check(sourceDir().string()) + " --lenient").status, 2);
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
