// A profile through the whole player: the first run names a profile and
// autosaves after a find; the player quits; the second run finds the
// profile in its list, loads it as the game starts and shows the room as
// the first run left it. The game properties count the runs.
#include "inventory_game.h"

#include "support/image_compare.h"

#include <cstdlib>

using namespace glint;
using namespace glint::test;

namespace fs = std::filesystem;

namespace {

class ProfilePlayTest : public InventoryGameTest {
protected:
    void SetUp() override {
        InventoryGameTest::SetUp();
        file("data/game.cfg", readFile(game / "data/game.cfg") + "BuildSupportIngameSaves=1\r\n");
        file("data/_interface/game.script",
             "init {\n  set #force_inventory 1\n}\n"
             "on !init {\n  get_game_property visits #visits\n  add #visits 1\n  set_game_property visits #visits\n"
             "  if #LoadProfilesResult = 0 {\n    load_profile_state\n  }\n"
             "  else {\n    set #Profile_names[1] Anna\n    set #Profile_index 1\n    save_profiles\n  }\n}\n");
        file("data/startup/startup.script",
             "action find_coin hand $coin ? {\n  do {\n    hide $coin\n    pick_item ^item_coin 3\n"
             "    save_profile_state\n  }\n}\n"
             "init {\n  set #Is_serializable 1\n  enable @find_coin\n}\n");
        // This game's own per-user folder, for this test alone.
        setenv("XDG_DATA_HOME", home.str().c_str(), 1);
    }
    void TearDown() override { setenv("XDG_DATA_HOME", GLINT_TEST_HOME, 1); }
    // A file of the player's per-user folder, wherever that lies; "" when absent.
    std::string where(const std::string& name) {
        for (const auto& entry : fs::recursive_directory_iterator(home.path()))
            if (entry.path().filename() == name)
                return entry.path().string();
        return "";
    }
    bool kept(const std::string& name) { return !where(name).empty(); }

    TempDir home;
};

TEST_F(ProfilePlayTest, AGameContinuesWhereItsProfileWasSaved) {
    CommandResult first = play(200, "80 click 60 80\n" // the coin: the find autosaves
                                    "180 quit\n",
                               {{150, "saved"}});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_TRUE(kept("profiles.sav"));
    EXPECT_TRUE(kept("Anna.profile"));

    CommandResult second = play(160, "", {{150, "continued"}});
    ASSERT_EQ(second.status, 0) << second.err;
    expectPngMatches(readFile(shot("continued")), shot("saved"), 0);

    // The game properties outlive both runs: each run counted itself.
    CommandResult properties = runCommand(shellQuote(toolPath()) + " save dump " + shellQuote(where("game.sav")));
    EXPECT_NE(properties.out.find("\"visits\":2"), std::string::npos) << properties.out << properties.err;
}

} // namespace
