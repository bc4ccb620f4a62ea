// The small inventory game of the play tests: a room with a coin, a key and
// a note to find, a chest the key opens, a panel at the bottom of the hud
// and a letter with a close-up.
#pragma once

#include "game_folder.h"

#include <filesystem>

namespace glint::test {

class InventoryGameTest : public GameFolderTest {
protected:
    void SetUp() override {
        commonFiles("BuildScreenW=320\r\nBuildScreenH=240\r\nBuildSupportMScene=1\r\nBuildForLUMO=1\r\n"
                    "BuildFontsTexturesExtensions=png\r\nBuildTexturesExt=png\r\n"
                    "inventory_item_size=32\r\ninventory_slot_width=40\r\ninventory_visible_items=4\r\n"
                    "inventory_counter_x=6\r\ninventory_counter_y=-12\r\n",
                    "data/_interface/loading\r\ndata/_interface/gui_images\r\ndata/_interface/inventory\r\n"
                    "data/_interface/hud\r\ndata/startup\r\ndata/item_letter\r\n");
        file("data/_interface/game.script", "init {\n  set #force_inventory 1\n}\n");
        scene("_interface/gui_images",
              R"({"elements": {"hud_tooltip_back": {"I": ["back.png"], "D": [64, 14]},
                 "hud_item_active": {"I": ["plus.png"], "D": [10, 10]},
                 "hud_item_inactive": {"I": ["dot.png"], "D": [8, 8]}}})",
              "");
        // Three items; the coin has a picture drawn under it, the letter a
        // close-up.
        scene("_interface/inventory",
              R"({"elements": {"item_coin": {"I": ["coin.png"], "D": [32, 32]},
                 "item_key": {"I": ["key.png"], "D": [32, 32]},
                 "item_letter": {"I": ["letter.png"], "D": [32, 32]}}})",
              "action take_key hand $item_key ? {\n  do {\n    take ^item_key\n  }\n}\n"
              "init {\n  set ^item_coin.Total_count 3\n  set ^item_key.Total_count 1\n"
              "  set ^item_letter.Total_count 1\n  set ^item_key.item_click_task @take_key\n"
              "  set ^item_key.tooltip_text \"Old key\"\n}\n");
        file("data/_interface/inventory/_inventory.sxcfg", "item_coin=1\r\n");
        // The bar at the bottom with its arrows; the items are drawn by a
        // render hook in front of it.
        scene("_interface/hud",
              R"({"elements": {"inventory_items": {"I": ["bar.png"], "D": [200, 44], "Y": 98, "Z": 10},
                 "inventory_left": {"I": ["arrow.png"], "D": [12, 30], "X": -110, "Y": 98, "Z": 5},
                 "inventory_right": {"I": ["arrow.png"], "D": [12, 30], "X": 110, "Y": 98, "Z": 5},
                 "painter": {"D": [1, 1], "Z": 1}}})",
              "action inventory_left hand $inventory_left ? {\n  do {\n  }\n}\n"
              "action inventory_right hand $inventory_right ? {\n  do {\n  }\n}\n"
              "fun draw_items %opacity {\n  render_inventory\n}\n"
              "init {\n  enable @inventory_left\n  enable @inventory_right\n  set $painter.Renderer &draw_items\n}\n");
        scene("startup",
              R"({"elements": {"bg": {"I": ["bg.png"], "D": [320, 240], "Z": 20},
                 "coin": {"I": ["coin.png"], "D": [16, 16], "X": -100, "Y": -40, "Z": 5},
                 "key": {"I": ["key.png"], "D": [16, 16], "Y": -60, "Z": 5},
                 "note": {"I": ["note.png"], "D": [16, 16], "X": 100, "Y": -40, "Z": 5},
                 "chest": {"I": ["chest.png"], "D": [48, 32], "X": 60, "Y": 40, "Z": 5},
                 "chest_open": {"I": ["open.png"], "D": [48, 32], "X": 60, "Y": 40, "Z": 5}}})",
              "action find_coin hand $coin ? {\n  do {\n    hide $coin\n    pick_item ^item_coin 3\n  }\n}\n"
              "action find_key hand $key ? {\n  do {\n    hide $key\n    pick_item ^item_key\n  }\n}\n"
              "action find_note hand $note ? {\n  do {\n    hide $note\n    pick_item ^item_letter\n  }\n}\n"
              "action open_chest hand $chest ^item_key {\n  do {\n    use\n    hide $chest\n    show $chest_open\n"
              "  }\n}\n"
              "init {\n  hide $chest_open\n  enable @find_coin\n  enable @find_key\n  enable @find_note\n"
              "  enable @open_chest\n}\n");
        scene("item_letter", R"({"elements": {"page": {"I": ["page.png"], "D": [200, 160]}}})", "");

        image("data/_interface/gui_images/back.png", "rgb(60,40,30)");
        image("data/_interface/gui_images/plus.png", "rgb(80,220,80)");
        image("data/_interface/gui_images/dot.png", "rgb(150,150,150)");
        disc("data/_interface/inventory/coin.png", "rgb(240,200,40)");
        image("data/_interface/inventory/coin_g.png", "rgb(120,70,20)");
        image("data/_interface/inventory/key.png", "rgb(230,120,40)");
        image("data/_interface/inventory/letter.png", "rgb(240,240,230)");
        image("data/_interface/hud/bar.png", "rgb(30,40,90)");
        image("data/_interface/hud/arrow.png", "rgb(200,200,220)");
        image("data/startup/bg.png", "rgb(30,70,40)");
        image("data/startup/coin.png", "rgb(240,200,40)");
        image("data/startup/key.png", "rgb(230,120,40)");
        image("data/startup/note.png", "rgb(240,240,230)");
        image("data/startup/chest.png", "rgb(100,60,30)");
        image("data/startup/open.png", "rgb(170,120,60)");
        image("data/item_letter/page.png", "rgb(250,245,230)");
        std::filesystem::path fonts = sourceDir() / "games/demo/data/_interface/fonts";
        std::filesystem::create_directories(game / "data/_interface/fonts");
        for (const auto& entry : std::filesystem::directory_iterator(fonts))
            std::filesystem::copy_file(entry.path(), game / "data/_interface/fonts" / entry.path().filename());
    }
    // A 32 x 32 disc on a transparent ground.
    void disc(const std::string& path, const std::string& colour) {
        ASSERT_EQ(runCommand("convert -size 32x32 xc:none -fill '" + colour + "' -draw 'circle 16,16 16,5' " +
                             shellQuote((game / path).string()))
                      .status,
                  0);
    }
};

} // namespace glint::test
