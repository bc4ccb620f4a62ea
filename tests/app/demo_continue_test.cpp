// The sample game saved and continued: a first run plays the walkthrough
// from the menu (a new player, a new game) up the tower and quits; the
// room it reached has saved itself. A second run, in the same per-user
// folder, clicks Continue on the menu and is proved to the ending by the
// game's own hints. Both runs play the loose files, or an archive of them.
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace glint::test;

namespace fs = std::filesystem;

namespace {

const fs::path kDemo = sourceDir() / "games" / "demo";

// The walkthrough's lines up to the shot taken in the lamp room, then the
// end of the run: the player is in the middle of the game.
std::string walkthroughToTheTower() {
    std::ifstream in(kDemo / "walkthrough.txt");
    std::string line, lines;
    while (std::getline(in, line)) {
        lines += line + "\n";
        if (line.ends_with(" shot lamp_room.png")) {
            std::istringstream frame(line);
            int at = 0;
            frame >> at;
            return lines + std::to_string(at + 20) + " quit\n";
        }
    }
    return "";
}

// The first file of that name below a folder; "" when there is none.
std::string findFile(const fs::path& folder, const std::string& name) {
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.path().filename() == name)
            return entry.path().string();
    return "";
}

std::string dump(const std::string& file) {
    return runCommand(shellQuote(toolPath()) + " save dump " + shellQuote(file)).out;
}

struct Variant {
    const char* name;
    bool packed;
};

void PrintTo(const Variant& c, std::ostream* out) { *out << c.name; }

class DemoContinue : public ::testing::TestWithParam<Variant> {
protected:
    // The sample game itself, or a folder holding nothing but a data.pak of it.
    std::filesystem::path gameFolder() {
        std::string err;
        std::filesystem::path game = demoGameFolder(GetParam().packed, packed, err);
        EXPECT_FALSE(game.empty()) << err;
        return game;
    }

    TempDir packed, home, out;
};

TEST_P(DemoContinue, ASavedGameContinuesToTheEnding) {
    const std::string game = gameFolder().string();
    ASSERT_FALSE(HasFailure());
    std::string toTheTower = walkthroughToTheTower();
    ASSERT_NE(toTheTower, "") << "the walkthrough takes no shot in the lamp room";
    writeFile(out / "first.txt", toTheTower);
    std::string inHome = "cd " + shellQuote(out.str()) + " && XDG_DATA_HOME=" + shellQuote(home.str()) + " ";

    CommandResult first = runCommand(inHome + shellQuote(playerPath()) + " " + shellQuote(game) +
                                     " --headless --frames 4000 --input first.txt");
    ASSERT_EQ(first.status, 0) << first.err;
    std::string list = findFile(home.path(), "profiles.sav");
    std::string profile = findFile(home.path(), "Ada.profile");
    ASSERT_NE(list, "");
    ASSERT_NE(profile, "");
    EXPECT_NE(dump(list).find("\"names\":[\"Ada\""), std::string::npos) << dump(list);
    EXPECT_NE(dump(profile).find("\"?room\":\"lamp_room\""), std::string::npos) << dump(profile);

    // The splash screens, the loading screen, then Continue on the menu.
    writeFile(out / "second.txt", "120 click 10 10\n"
                                  "330 click 10 10\n"
                                  "460 click 500 600\n"
                                  "600 click 512 324\n");
    CommandResult second = runCommand(inHome + shellQuote(playerPath()) + " prove " + shellQuote(game) +
                                      " --input second.txt");
    std::string said = second.out + second.err;
    // Continue brought the player back up the tower, where proving began.
    EXPECT_TRUE(said.find("step 1 in lamp_room") != std::string::npos ||
                said.find("after 0 steps in lamp_room") != std::string::npos)
        << said;
    EXPECT_EQ(second.status, 0) << said;
    EXPECT_NE(said.find("finished in"), std::string::npos) << said;
}

INSTANTIATE_TEST_SUITE_P(Data, DemoContinue, ::testing::Values(Variant{"loose", false}, Variant{"packed", true}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
