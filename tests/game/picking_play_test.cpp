// Found objects fly into the inventory in the headless player: the coin
// swells in place, then flies with a trail along its arc into the panel,
// where the feedback marks its slot; a key found just after it flies too,
// and leaving the room during a flight puts the coin in place at once.
#include "inventory_game.h"
#include "support/image_compare.h"

using namespace glint::test;

namespace {

class PickingPlayTest : public InventoryGameTest {
protected:
    void SetUp() override {
        InventoryGameTest::SetUp();
        // A short pulse up to 1.8 times the size and back, and a flight of
        // 60 ticks.
        file("data/game.cfg", readFile(game / "data/game.cfg") +
                                  "hud_pre_picking_anim_time=0.2\r\nhud_picking_anim_time=0.6\r\n"
                                  "hud_pre_picking_fade_time=0.05\r\nhud_pre_picking_factor_1=1.8\r\n"
                                  "hud_pre_picking_time_1=0.1\r\nhud_pre_picking_time_2=0.1\r\n");
        file("data/scenes.cfg", "data/_interface/loading\r\ndata/_interface/gui_images\r\ndata/_interface/inventory\r\n"
                                "data/_interface/hud\r\ndata/startup\r\ndata/hall\r\ndata/item_letter\r\n");
        // The feedback: a glow behind the slot and a frame around it, in
        // front of the items that the painter draws with the flights.
        scene("_interface/hud",
              R"({"elements": {"inventory_items": {"I": ["bar.png"], "D": [200, 44], "Y": 98, "Z": 10},
                 "inventory_left": {"I": ["arrow.png"], "D": [12, 30], "X": -110, "Y": 98, "Z": 5},
                 "inventory_right": {"I": ["arrow.png"], "D": [12, 30], "X": 110, "Y": 98, "Z": 5},
                 "pickup_back": {"I": ["glow.png"], "D": [64, 64], "Z": 3},
                 "pickup_front": {"I": ["frame.png"], "D": [40, 40], "Z": 0},
                 "painter": {"D": [1, 1], "Z": 1}}})",
              "action inventory_left hand $inventory_left ? {\n  do {\n  }\n}\n"
              "action inventory_right hand $inventory_right ? {\n  do {\n  }\n}\n"
              "fun draw_items %opacity {\n  render_inventory\n  render_picking_animations\n}\n"
              "init {\n  enable @inventory_left\n  enable @inventory_right\n  set $painter.Renderer &draw_items\n"
              "  hide $pickup_back\n  hide $pickup_front\n}\n");
        disc("data/_interface/hud/glow.png", "rgb(120,160,255)");
        ASSERT_EQ(runCommand("convert -size 40x40 xc:none -fill none -stroke white -strokewidth 2 -draw "
                             "'rectangle 1,1 38,38' PNG32:" +
                             shellQuote((game / "data/_interface/hud/frame.png").string()))
                      .status,
                  0);
        // The coin pulses first (phase 1) and trails sparks; the key flies
        // at once. The sparkle marks where the coin lands.
        scene("startup",
              R"({"elements": {"bg": {"I": ["bg.png"], "D": [320, 240], "Z": 20},
                 "coin": {"I": ["coin.png"], "D": [16, 16], "X": -100, "Y": -40, "Z": 5},
                 "key": {"I": ["key.png"], "D": [16, 16], "Y": -60, "Z": 5},
                 "door": {"I": ["door.png"], "D": [30, 50], "X": -30, "Y": 60, "Z": 5},
                 "ps_trail": {"Z": 5}, "ps_sparkle": {"Z": 5}}})",
              "action find_coin hand $coin ? {\n  do {\n    hide $coin\n"
              "    start_picking_anim $coin 0 60 1 0.5 1 $ps_trail 0 0 $ps_sparkle\n  }\n}\n"
              "action find_key hand $key ? {\n  do {\n    hide $key\n    start_picking_anim $key\n  }\n}\n"
              "action leave hand $door ? {\n  do {\n    goto +hall\n  }\n}\n"
              "init {\n  set #Close_time 0.1\n  set $coin.item ^item_coin\n  set $key.item ^item_key\n"
              "  hide $ps_trail\n  hide $ps_sparkle\n  enable @find_coin\n  enable @find_key\n  enable @leave\n}\n");
        scene("hall", R"({"elements": {"bg": {"I": ["bg.png"], "D": [320, 240], "Z": 20}}})",
              "init {\n  set #Open_time 0.1\n}\n");
        file("data/_interface/particles/trail.particles",
             "I spark.png\r\nE 50\r\nC 2\r\nS 3\r\nT 3\r\nL 0.3\r\nX 6 : 2\r\nO A\r\nO B\r\nR 255\r\n"
             "G 230\r\nB 120\r\n");
        file("data/_interface/particles/sparkle.particles",
             "I spark.png\r\nQ 0 0 0.05\r\nE 100\r\nC 6\r\nZ 12\r\nH 1\r\nS 4 4\r\nT 4 4\r\nD 0 360\r\nV 60\r\n"
             "L 0.6\r\nX 8\r\nO A\r\n");
        image("data/startup/door.png", "rgb(90,50,30)");
        image("data/hall/bg.png", "rgb(60,40,70)");
        ASSERT_EQ(runCommand("convert -size 8x8 xc:none -fill white -draw 'circle 4,4 4,1' PNG32:" +
                             shellQuote((game / "data/_interface/particles/spark.png").string()))
                      .status,
                  0);
    }
};

TEST_F(PickingPlayTest, FoundThingsFlyAlongAnArcIntoTheirSlots) {
    // One tick per frame; the room has faded in by frame 70. The coin
    // pulses for 20 ticks and flies for 60, the key flies from its find at
    // once; the coin's feedback shows until 79 ticks after it lands.
    CommandResult result = play(200, "80 click 60 80\n84 click 160 60\n195 quit\n",
                                {{90, "pulse"}, {125, "flight"}, {190, "landed"}});
    ASSERT_EQ(result.status, 0) << result.err;
    for (const char* name : {"pulse", "flight", "landed"})
        expectPngMatches(readFile(shot(name)), expected(std::string("picking_") + name));
}

TEST_F(PickingPlayTest, LeavingTheRoomPutsAFlyingCoinInPlace) {
    // The coin is in the air when the door is clicked; the hall shows it
    // in its slot with its counter, nothing flying.
    CommandResult result = play(170, "80 click 60 80\n110 click 130 180\n165 quit\n", {{160, "left"}});
    ASSERT_EQ(result.status, 0) << result.err;
    expectPngMatches(readFile(shot("left")), expected("picking_left"));
}

} // namespace
