// glint prove on a small game: a key found in the room, taken from the
// panel and used on a chest, a portal to the hall and a bell there that
// ends the game. Broken variants of it are reported as stuck.
#include "game_folder.h"

#include <filesystem>

using namespace glint::test;

namespace {

class ProvePlayTest : public GameFolderTest {
protected:
    // hallScript is the hall's script: by default a bell that quits.
    void makeGame(const std::string& hallScript) {
        commonFiles("BuildScreenW=320\r\nBuildScreenH=240\r\nBuildSupportMScene=1\r\nBuildForLUMO=1\r\n"
                    "BuildTexturesExt=png\r\ninventory_item_size=32\r\ninventory_slot_width=40\r\n"
                    "inventory_visible_items=4\r\n",
                    "data/_interface/loading\r\ndata/_interface/inventory\r\ndata/_interface/hud\r\n"
                    "data/startup\r\ndata/hall\r\n");
        file("data/_interface/game.script", "init {\n  set #force_inventory 1\n}\n");
        scene("_interface/inventory", R"({"elements": {"item_key": {"I": ["key.png"], "D": [32, 32]}}})",
              "action take_key hand $item_key ? {\n  do {\n    take ^item_key\n  }\n}\n"
              "init {\n  set ^item_key.Total_count 1\n  set ^item_key.item_click_task @take_key\n}\n");
        scene("_interface/hud",
              R"({"elements": {"inventory_items": {"I": ["bar.png"], "D": [200, 44], "Y": 98, "Z": 10},
                 "inventory_left": {"I": ["bar.png"], "D": [12, 30], "X": -110, "Y": 98, "Z": 5},
                 "inventory_right": {"I": ["bar.png"], "D": [12, 30], "X": 110, "Y": 98, "Z": 5},
                 "painter": {"D": [1, 1], "Z": 1}}})",
              "action inventory_left hand $inventory_left ? {\n  do {\n  }\n}\n"
              "action inventory_right hand $inventory_right ? {\n  do {\n  }\n}\n"
              "fun draw_items %opacity {\n  render_inventory\n}\n"
              "init {\n  enable @inventory_left\n  enable @inventory_right\n  set $painter.Renderer &draw_items\n}\n");
        scene("startup",
              R"({"elements": {"bg": {"I": ["bg.png"], "D": [320, 240], "Z": 20},
                 "key": {"I": ["key.png"], "D": [16, 16], "X": -100, "Y": -60, "Z": 5},
                 "chest": {"I": ["chest.png"], "D": [48, 32], "X": 60, "Y": 0, "Z": 5},
                 "portal_hall": {"I": ["door.png"], "D": [30, 60], "X": 130, "Y": -60, "Z": 5}}})",
              "task find_key hand $key ? {\n  do {\n    hide $key\n    pick_item ^item_key\n    complete\n"
              "    enable @open_chest\n  }\n}\n"
              "task open_chest hand $chest ^item_key {\n  do {\n    use\n    complete\n    enable @portal_hall\n"
              "  }\n}\n"
              "action portal_hall hand $portal_hall ? {\n  do {\n    goto +hall\n  }\n}\n"
              "init {\n  enable @find_key\n}\n");
        scene("hall",
              R"({"elements": {"bg": {"I": ["bg.png"], "D": [320, 240], "Z": 20},
                 "bell": {"I": ["bell.png"], "D": [20, 20], "X": -40, "Y": -20, "Z": 5}}})",
              hallScript);
        for (const char* picture : {"data/_interface/inventory/key.png", "data/startup/key.png"})
            image(picture, "rgb(230,120,40)");
        image("data/_interface/hud/bar.png", "rgb(30,40,90)");
        image("data/startup/bg.png", "rgb(30,70,40)");
        image("data/startup/chest.png", "rgb(100,60,30)");
        image("data/startup/door.png", "rgb(90,90,90)");
        image("data/hall/bg.png", "rgb(60,30,30)");
        image("data/hall/bell.png", "rgb(220,200,60)");
    }
    CommandResult prove(const std::string& options = "") {
        return runCommand(shellQuote(playerPath()) + " prove " + shellQuote(game.str()) + options);
    }
};

const char* kBell = "task ring hand $bell ? {\n  do {\n    quit\n  }\n}\ninit {\n  enable @ring\n}\n";

std::string lastLine(const std::string& text) {
    std::string trimmed = text.substr(0, text.find_last_not_of('\n') + 1);
    return trimmed.substr(trimmed.rfind('\n') + 1);
}

TEST_F(ProvePlayTest, FinishesTheGameStepByStep) {
    makeGame(kBell);
    CommandResult result = prove(" --shots " + shellQuote((out / "shots").string()));
    EXPECT_EQ(result.status, 0) << result.out << result.err;
    EXPECT_EQ(lastLine(result.out), "finished in 4 steps") << result.out;
    EXPECT_NE(result.out.find("step 1 in startup: find_key: click 60 60"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("step 2 in startup: open_chest: take item_key at "), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("step 3 in startup: portal_hall: click 290 60"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("step 4 in hall: ring: click 120 100"), std::string::npos) << result.out;
    for (int step = 1; step <= 4; ++step)
        EXPECT_TRUE(std::filesystem::exists(out / "shots" / ("step-000" + std::to_string(step) + ".png"))) << step;
}

// A found key that flies into the panel is taken once it has landed: the
// step after the find waits for the flight instead of clicking a slot
// that cannot give the key yet.
TEST_F(ProvePlayTest, WaitsForAFindToLandBeforeTakingIt) {
    makeGame(kBell);
    std::string room = readFile(game / "data/startup/startup.script");
    room.replace(room.find("pick_item ^item_key"), 19, "start_picking_anim $key");
    room.replace(room.find("init {\n"), 7, "init {\n  set $key.item ^item_key\n");
    file("data/startup/startup.script", room);
    CommandResult result = prove();
    EXPECT_EQ(result.status, 0) << result.out << result.err;
    EXPECT_EQ(lastLine(result.out), "finished in 4 steps") << result.out;
    EXPECT_NE(result.out.find("step 3 in startup: portal_hall: "), std::string::npos) << result.out;
}

struct StuckCase {
    const char* name;
    const char* hall;
    const char* options;
    const char* lastLine;
};

void PrintTo(const StuckCase& c, std::ostream* out) { *out << c.name; }

class ProveStuckTest : public ProvePlayTest, public ::testing::WithParamInterface<StuckCase> {};

TEST_P(ProveStuckTest, ReportsWhereTheGameStops) {
    makeGame(GetParam().hall);
    CommandResult result = prove(GetParam().options);
    EXPECT_EQ(result.status, 1) << result.out << result.err;
    EXPECT_EQ(lastLine(result.out), GetParam().lastLine) << result.out;
}

INSTANTIATE_TEST_SUITE_P(
    Games, ProveStuckTest,
    ::testing::Values(
        // The bell waits for a blocker nothing ever enables.
        StuckCase{"UnreachableTask",
                  "task ring hand $bell ? {\n  do {\n    quit\n  }\n}\n"
                  "action never hand $bell ? {\n  do {\n  }\n}\n"
                  "init {\n  enable @ring\n  set @ring.blocker @never\n}\n",
                  "", "stuck after 3 steps in hall: no hint"},
        // A bell whose handler leaves everything as it was.
        StuckCase{"HintWithoutEffect",
                  "action ring hand $bell ? {\n  fun .on_hint {\n    set ##Show_hint 1\n  }\n  do {\n  }\n}\n"
                  "init {\n  enable @ring\n}\n",
                  "", "stuck after 12 steps in hall: the hint ring changes nothing"},
        StuckCase{"StepLimit", kBell, " --steps 2", "stuck after 2 steps in startup: no end within 2 steps"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProvePlayTest, RejectsAnUnusableCommandLine) {
    CommandResult result = runCommand(shellQuote(playerPath()) + " prove");
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("usage: glint prove GAME_DIR [--input FILE] [--steps N] [--shots DIR]"),
              std::string::npos);
}

} // namespace
