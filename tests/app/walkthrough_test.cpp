// The sample game played from its menu to the ending by its walkthrough,
// once from the loose files and once from an archive of them alone. Each
// run starts without players, in a per-user folder of its own, so that it
// names its player as at a first start.
#include "support/image_compare.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace glint::test;

namespace {

struct Variant {
    const char* name;
    bool packed;
};

// Failures name the case, not its bytes.
void PrintTo(const Variant& c, std::ostream* out) { *out << c.name; }

class DemoWalkthrough : public ::testing::TestWithParam<Variant> {
protected:
    // The game folder to play: the sample game itself, or a folder holding
    // nothing but a freshly built data.pak of it.
    std::filesystem::path gameFolder() {
        std::string err;
        std::filesystem::path game = demoGameFolder(GetParam().packed, packed, err);
        EXPECT_FALSE(game.empty()) << err;
        return game;
    }

    TempDir packed, out, home;
};

// Each shot of the walkthrough, compared at a quarter of its size.
constexpr const char* kShots[] = {"players",  "menu",    "intro",   "letter",  "drawer", "key_flight",
                                  "lamp_room", "logbook", "hint",    "cellar",  "workroom", "finds",
                                  "lantern",  "carried", "lit",     "ending",  "menu_again"};

TEST_P(DemoWalkthrough, FinishesTheGameAndReturnsToTheMenu) {
    std::filesystem::path game = gameFolder();
    ASSERT_FALSE(HasFailure());
    // The walkthrough quits from the menu; the frame limit only stops a run
    // that went astray.
    std::string walkthrough = (sourceDir() / "games" / "demo" / "walkthrough.txt").string();
    CommandResult result = runCommand("cd " + shellQuote(out.str()) + " && XDG_DATA_HOME=" + shellQuote(home.str()) +
                                      " " + shellQuote(playerPath()) + " " + shellQuote(game.string()) +
                                      " --headless --frames 6600 --input " + shellQuote(walkthrough));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err.find("ERROR"), std::string::npos) << result.err;
    for (const char* shot : kShots) {
        std::filesystem::path expected = sourceDir() / "tests/app/expected/walkthrough" / (std::string(shot) + ".png");
        expectPngMatches(readFile(out / (std::string(shot) + ".png")), expected.string(), 2, 4);
    }
}

INSTANTIATE_TEST_SUITE_P(Data, DemoWalkthrough, ::testing::Values(Variant{"loose", false}, Variant{"packed", true}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
