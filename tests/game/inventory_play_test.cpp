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

// An item under the pointer sparkles with the hover systems of the
// "particles" scene, behind and in front of it.
class HoverParticlesTest : public InventoryPlayTest {
protected:
    void SetUp() override {
        InventoryPlayTest::SetUp();
        file("data/scenes.cfg", "data/_interface/loading\r\ndata/_interface/gui_images\r\ndata/_interface/inventory\r\n"
                                "data/_interface/hud\r\ndata/_interface/particles\r\ndata/startup\r\ndata/item_letter\r\n");
        scene("_interface/particles", R"({"elements": {"ps_inventory_hover": {}, "ps_inventory_hover_front": {}}})", "");
        file("data/_interface/particles/inventory_hover.particles",
             "I glow.png\r\nE 20\r\nC 1\r\nH 1\r\nS 22 16\r\nT 22 16\r\nL 0.6\r\nX 12\r\nO A\r\nB 0\r\n");
        file("data/_interface/particles/inventory_hover_front.particles",
             "I glow.png\r\nE 10\r\nC 1\r\nS 14\r\nT 14\r\nD 270\r\nV 30\r\nL 0.8\r\nX 5\r\nO A\r\nR 255\r\nG 255\r\n"
             "B 255\r\n");
        disc("data/_interface/particles/glow.png", "rgb(255,255,160)");
    }
};

TEST_F(HoverParticlesTest, AHoveredItemSparkles) {
    // The coin is found, then the key, whose click task makes it hoverable
    // in the panel.
    CommandResult result = play(200, "80 click 60 80\n85 click 160 60\n140 move 140 218\n195 quit\n", {{190, "hover"}});
    ASSERT_EQ(result.status, 0) << result.err;
    expectPngMatches(readFile(shot("hover")), expected("inventory_hover_particles"));
}

// The items are known to the scripts as ^name and the inventory commands
// compile without complaint.
TEST_F(InventoryPlayTest, TheGameChecksClean) {
    CommandResult result = runCommand(shellQuote(playerPath()) + " check " + shellQuote(game.str()));
    EXPECT_EQ(result.status, 0) << result.out << result.err;
    EXPECT_NE(result.out.find(": 0 errors"), std::string::npos) << result.out;
}

} // namespace
