// The inventory in the headless player: things found in a room fly into the
// panel at the bottom, a key is taken from the panel, carried with its
// tooltip and used on a chest.
#include "inventory_game.h"
#include "support/image_compare.h"

#include <filesystem>

using namespace glint::test;

namespace {

using InventoryPlayTest = InventoryGameTest;

TEST_F(InventoryPlayTest, ThingsAreFoundCarriedFromThePanelAndUsed) {
    // One tick per frame; the room has faded in by frame 70. Items glow
    // into the panel over 50 ticks.
    CommandResult result = play(270,
                                "80 click 60 80\n"    // the coin: three of them
                                "85 click 160 60\n"   // the key
                                "90 click 260 80\n"   // the note: the letter, with its close-up
                                "150 click 140 218\n" // the key in the panel: taken
                                "160 move 150 120\n"  // carried towards the chest, with its tooltip
                                "220 click 220 160\n" // used on the chest: it opens, the key is gone
                                "265 quit\n",
                                {{145, "found"}, {215, "carried"}, {260, "used"}});
    ASSERT_EQ(result.status, 0) << result.err;
    for (const char* name : {"found", "carried", "used"})
        expectPngMatches(readFile(shot(name)), expected(std::string("inventory_") + name));
}

// The items are known to the scripts as ^name and the inventory commands
// compile without complaint.
TEST_F(InventoryPlayTest, TheGameChecksClean) {
    CommandResult result = runCommand(shellQuote(playerPath()) + " check " + shellQuote(game.str()));
    EXPECT_EQ(result.status, 0) << result.out << result.err;
    EXPECT_NE(result.out.find(": 0 errors"), std::string::npos) << result.out;
}

} // namespace
