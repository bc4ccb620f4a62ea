#include "support/image_compare.h"
#include "support/test_support.h"

#include <gtest/gtest.h>
#include <ostream>

using namespace glint::test;
namespace fs = std::filesystem;

namespace {

CommandResult ship(const std::string& arguments) { return runCommand(shellQuote(toolPath()) + " ship " + arguments); }

// Frame 150 at 100 ms a frame shows the loading screen's end: images,
// fonts and texts all come from the archive.
const char* const kHeadlessRun = " --headless --frame-ms 100 --frames 160 --shot 150:";

std::string line(const std::string& text, const std::string& start) {
    size_t at = text.find("\n" + start);
    return at == std::string::npos ? "" : text.substr(at + 1, text.find('\n', at + 1) - at - 1);
}

// The folder is moved as a player would get it, through the tarball, and
// started from yet another folder.
TEST(Ship, TheShippedSampleGameRunsLikeTheLooseOneFromAnotherFolder) {
    TempDir dir;
    fs::path out = dir / "The Game", moved = dir / "moved", elsewhere = dir / "elsewhere";
    fs::path demo = sourceDir() / "games" / "demo";
    CommandResult made = ship(shellQuote(demo.string()) + " " + shellQuote(out.string()) + " --encrypt --tar");
    ASSERT_EQ(made.status, 0) << made.err;

    std::string desktop = readFile(out / "game.desktop");
    EXPECT_EQ(line(desktop, "Name="), "Name=Glint: The Keeper's Lighthouse Collector's Edition");
    EXPECT_EQ(line(desktop, "Exec="), "Exec=\"" + (out / "play").string() + "\"");
    EXPECT_EQ(line(desktop, "Icon="), "Icon=" + (out / "icon.png").string());
    std::string readme = readFile(out / "README.txt");
    for (const char* package : {"libsdl2-2.0-0", "libpng16-16", "libvorbisfile3", "libtheora0", "libcurl4", "libgl1"})
        EXPECT_NE(readme.find(" " + std::string(package)), std::string::npos) << package << " missing in\n" << readme;
    std::string pak = readFile(out / "data.pak");
    ASSERT_GT(pak.size(), 8u);
    EXPECT_EQ(pak[6] & 1, 1) << "the first entry is enciphered";

    fs::create_directories(moved);
    fs::create_directories(elsewhere);
    CommandResult unpacked = runCommand("tar -xzf " + shellQuote(dir.str() + "/The Game.tar.gz") + " -C " +
                                        shellQuote(moved.string()));
    ASSERT_EQ(unpacked.status, 0) << unpacked.err;
    fs::remove_all(out); // nothing may lead back to the first folder
    fs::path game = moved / "The Game";

    // The menu entry follows the folder to its new place.
    CommandResult installed = runCommand("XDG_DATA_HOME=" + shellQuote(dir.str() + "/home0") + " " +
                                         shellQuote((game / "play").string()) + " --install-desktop");
    ASSERT_EQ(installed.status, 0) << installed.err;
    std::string entry =
        readFile(dir / "home0/applications/glint-the-keepers-lighthouse-collectors-edition.desktop");
    EXPECT_EQ(line(entry, "Exec="), "Exec=\"" + (game / "play").string() + "\"");
    EXPECT_EQ(line(entry, "Icon="), "Icon=" + (game / "icon.png").string());
    EXPECT_EQ(line(entry, "Name="), line(desktop, "Name="));
    fs::path shipped = elsewhere / "shipped.png", loose = elsewhere / "loose.png";
    // Each run starts without options or profiles that another run left.
    CommandResult ran = runCommand("cd " + shellQuote(elsewhere.string()) + " && XDG_DATA_HOME=" +
                                   shellQuote(dir.str() + "/home1") + " " +
                                   shellQuote((game / "play").string()) + kHeadlessRun + "shipped.png");
    ASSERT_EQ(ran.status, 0) << ran.err;
    ran = runCommand("XDG_DATA_HOME=" + shellQuote(dir.str() + "/home2") + " " + shellQuote(playerPath()) + " " +
                     shellQuote(demo.string()) + kHeadlessRun + shellQuote(loose.string()));
    ASSERT_EQ(ran.status, 0) << ran.err;
    expectPngMatches(readFile(shipped), loose.string(), 0);
}

// A game of configuration files only is enough to ship: the title comes
// from the title file of the game's language, the icon from the game.
TEST(Ship, TakesTheTitleAndTheIconFromTheGame) {
    TempDir dir;
    fs::path game = dir / "game", out = dir / "out";
    writeFile(game / "data" / "game.cfg", "BuildSupportedLanguages=en,de\nBuildGameName=Fallback\n");
    writeFile(game / "data" / "language.txt", "Language=de\n");
    writeFile(game / "data" / "game_title_de.txt", "TitleCE=Das Spiel\n");
    std::string icon = readFile(sourceDir() / "games/demo/data/_interface/pointers/pointer_hand.png");
    writeFile(game / "icon.png", icon);
    writeFile(game / "data_override" / "game.cfg", "BuildGameName=Override\n");
    CommandResult made = ship(shellQuote(game.string()) + " " + shellQuote(out.string()));
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(line(readFile(out / "game.desktop"), "Name="), "Name=Das Spiel");
    EXPECT_EQ(readFile(out / "icon.png"), icon);
    EXPECT_EQ(readFile(out / "data_override" / "game.cfg"), "BuildGameName=Override\n")
        << "the override stays beside the archive";
    CommandResult listed = runCommand(shellQuote(toolPath()) + " pak list " + shellQuote((out / "data.pak").string()));
    EXPECT_NE(listed.out.find("data/game_title_de.txt"), std::string::npos) << listed.out;
}

struct Refusal {
    const char* name;
    const char* game; // relative to the test folder
    const char* out;
    const char* options;
    const char* message;
};

// "game" is a shippable game whose icon is not a picture; "other" one
// whose only fault is where it is shipped to.
const Refusal kRefusals[] = {
    {"MissingGameFolder", "nowhere", "out", "", "no game folder"},
    {"GameWithoutData", "empty", "out", "", "has no data folder"},
    {"OutputNotEmpty", "other", "full", "", "exists and is not empty"},
    {"OutputIsAFile", "other", "file", "", "exists and is not a folder"},
    {"OutputInsideTheData", "other", "other/data/out", "", "inside the game's data folder"},
    {"TarballExists", "other", "taken", "--tar", "taken.tar.gz' exists"},
    {"BadIcon", "game", "out", "", "is not a PNG image"},
};

void PrintTo(const Refusal& value, std::ostream* out) { *out << value.name; }

class ShipRefuses : public ::testing::TestWithParam<Refusal> {};

TEST_P(ShipRefuses, SaysWhyAndLeavesNoFolderBehind) {
    const Refusal& refusal = GetParam();
    TempDir dir;
    fs::create_directories(dir / "empty");
    writeFile(dir / "other" / "data" / "game.cfg", "");
    writeFile(dir / "game" / "data" / "game.cfg", "");
    writeFile(dir / "game" / "icon.png", "not a picture");
    writeFile(dir / "full" / "kept.txt", "kept");
    writeFile(dir / "file", "kept");
    writeFile(dir / "taken.tar.gz", "kept");
    CommandResult result = ship(shellQuote((dir / refusal.game).string()) + " " +
                                shellQuote((dir / refusal.out).string()) + " " + refusal.options);
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find(refusal.message), std::string::npos) << result.err;
    EXPECT_FALSE(fs::exists(dir / "out"));
    EXPECT_FALSE(fs::exists(dir / "other" / "data" / "out"));
    EXPECT_FALSE(fs::exists(dir / "taken"));
    EXPECT_EQ(readFile(dir / "full" / "kept.txt"), "kept");
    EXPECT_EQ(readFile(dir / "file"), "kept");
    EXPECT_EQ(readFile(dir / "taken.tar.gz"), "kept");
}

INSTANTIATE_TEST_SUITE_P(Ship, ShipRefuses, ::testing::ValuesIn(kRefusals),
                         [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

} // namespace
