// The hint engine on small games: ratings and their lists, blockers standing
// in for tasks, the search through portals and zoom zones, the inventory
// fallback with its scroll arrows, the random choice and blocker loops.
#include "app/engine_fixture.h"
#include "script/trace_capture.h"

#include "engine/system/numbers.h"
#include "game/hints.h"
#include "game/inventory.h"
#include "scene/scene.h"
#include "script/interpreter.h"

#include <cmath>

using namespace glint;
using namespace glint::test;

namespace {

// Scenes: the HUD with two scroll arrows, an inventory of five items (the
// panel shows two), the room "startup" with five things, a portal to the
// hall and a desk opening a zoom zone; the hall; the zoom zone; the close-up
// of the box item.
struct HintsTest : EngineFixture {
    MEngine* engine = nullptr;

    // startup, hall and desk are the scripts of those scenes.
    void startGame(const std::string& startup, const std::string& hall = "", const std::string& desk = "",
                   const std::string& box = "") {
        file("data/game.cfg", "BuildScreenW=1024\r\nBuildScreenH=768\r\nBuildSupportMScene=1\r\nBuildForLUMO=1\r\n"
                              "inventory_visible_items=2\r\n");
        file("data/scenes.cfg", "data/_interface/loading\r\ndata/_interface/inventory\r\ndata/_interface/hud\r\n"
                                "data/startup\r\ndata/hall\r\ndata/startup/zz_desk\r\ndata/item_box\r\n");
        file("data/_interface/loading/_loading.scene", "{}");
        file("data/_interface/game.script", "");
        file("data/_interface/_scripts/common_all.script", "");
        file("data/_interface/_scripts/common_all_post.script", "");
        std::string items, totals;
        for (const char* name : {"item_coin", "item_box", "item_rope", "item_lamp", "item_key"}) {
            items += std::string(items.empty() ? "" : ",") + "\"" + name + "\": {\"D\": [32, 32]}";
            totals += std::string("  set ^") + name + ".Total_count 1\n";
        }
        scene("_interface/inventory", "{\"elements\": {" + items + "}}",
              "action click_box hand $item_box ? {\n  do {\n  }\n}\n"
              "action click_key hand $item_key ? {\n  do {\n  }\n}\n"
              "init {\n" + totals + "  set ^item_box.item_click_task @click_box\n"
              "  set ^item_key.item_click_task @click_key\n}\n");
        scene("_interface/hud",
              R"({"elements": {"inventory_items": {"D": [200, 44], "Y": 300},
                 "inventory_left": {"D": [12, 30], "X": -110, "Y": 300},
                 "inventory_right": {"D": [12, 30], "X": 110, "Y": 300}}})",
              "action inventory_left hand $inventory_left ? {\n  do {\n  }\n}\n"
              "action inventory_right hand $inventory_right ? {\n  do {\n  }\n}\n"
              "init {\n  enable @inventory_left\n  enable @inventory_right\n}\n");
        scene("startup",
              R"({"elements": {"a": {"D": [20, 20]}, "b": {"D": [20, 20]}, "c": {"D": [20, 20]},
                 "d": {"D": [20, 20]}, "e": {"D": [20, 20]}, "portal_hall": {"D": [20, 20]},
                 "desk": {"D": [20, 20]}, "tilted": {"D": [20, 20], "Hh": [4, 2], "An": 90}}})",
              startup);
        scene("hall", R"({"elements": {"h": {"D": [20, 20]}, "portal_startup": {"D": [20, 20]}}})", hall);
        scene("startup/zz_desk", R"({"elements": {"drawer": {"D": [20, 20]}}})", desk);
        scene("item_box", R"({"elements": {"lid": {"D": [20, 20]}}})", box);
        engine = &start();
        loadUntilPlay(*engine);
    }
    void scene(const std::string& path, const std::string& json, const std::string& script) {
        std::string name = path.substr(path.rfind('/') + 1);
        file("data/" + path + "/_" + name + ".scene", json);
        file("data/" + path + "/" + name + ".script", script);
    }
    std::string hint() {
        ScriptTask* task = engine->hints->request();
        return task ? task->name->text : "";
    }
    ScriptTask* task(const char* sceneName, const char* name) {
        Value* cell = findVariable(engine->findScene(intern(sceneName))->scope, KindTask, intern(name), nullptr, false);
        return cell && cell->is(ValueType::Task) ? cell->as<ScriptTask>() : nullptr;
    }
    void pick(const char* item) {
        engine->inventory->changeCount(*engine->inventory->findItem(intern(item)), 1, 0, -1);
        for (int i = 0; i < 5; ++i)
            engine->advanceBy(10);
    }
};

// A task rated by its own "on_hint"; bare tasks rate 1, actions 0.
std::string rated(const char* name, const char* element, const char* rating) {
    return std::string("task ") + name + " hand $" + element + " ? {\n  fun .on_hint {\n    set ##Show_hint " +
           rating + "\n  }\n  do {\n  }\n}\n";
}

struct RatingCase {
    const char* name;
    std::string script;
    const char* expected; // the hint, "" for none
};

void PrintTo(const RatingCase& c, std::ostream* out) { *out << c.name; }

class HintRatingTest : public HintsTest, public ::testing::WithParamInterface<RatingCase> {};

TEST_P(HintRatingTest, TheBestListWins) {
    startGame(GetParam().script);
    EXPECT_EQ(hint(), GetParam().expected);
}

const std::string kEnableAll = "init {\n  enable @one\n  enable @two\n}\n";

INSTANTIATE_TEST_SUITE_P(
    Lists, HintRatingTest,
    ::testing::Values(
        RatingCase{"RatedAboveThreeBeatsRatedTwo", rated("one", "a", "2.5") + rated("two", "b", "3.5") + kEnableAll,
                   "two"},
        RatingCase{"PlainActionIsNoHint", "action one hand $a ? {\n  do {\n  }\n}\ninit {\n  enable @one\n}\n", ""},
        RatingCase{"ActionRatedByItsOwnHint",
                   "action one hand $a ? {\n  fun .on_hint {\n    set ##Show_hint 0.4\n  }\n  do {\n  }\n}\n"
                   "init {\n  enable @one\n}\n",
                   "one"},
        RatingCase{"ZeroRatingDropsTheTask", rated("one", "a", "0") + "init {\n  enable @one\n}\n", ""},
        RatingCase{"HiddenElementIsNoHint", rated("one", "a", "1") + "init {\n  enable @one\n  hide $a\n}\n", ""},
        RatingCase{"EnabledActionBlockerStandsIn",
                   rated("one", "a", "1.2") + "action two hand $b ? {\n  do {\n  }\n}\n"
                                              "init {\n  enable @one\n  enable @two\n  set @one.blocker @two\n"
                                              "  hide $b\n}\n",
                   "two"},
        RatingCase{"DisabledBlockerLeavesNothing",
                   rated("one", "a", "1.2") + "action two hand $b ? {\n  do {\n  }\n}\n"
                                              "init {\n  enable @one\n  set @one.blocker @two\n}\n",
                   ""},
        RatingCase{"CompletedBlockerIsNoLongerInTheWay",
                   rated("one", "a", "1.2") + "action two hand $b ? {\n  do {\n  }\n}\n"
                                              "init {\n  enable @one\n  set @one.blocker @two\n  complete @two\n}\n",
                   "one"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HintsTest, BlockerInTheListOfStandIns) {
    startGame(rated("one", "a", "1.2") + "action two hand $b ? {\n  do {\n  }\n}\n"
                                         "init {\n  enable @one\n  enable @two\n  set @one.blocker @two\n}\n");
    EXPECT_EQ(hint(), "two");
    ASSERT_EQ(engine->hints->list(4).size(), 1u);
    EXPECT_TRUE(engine->hints->list(2).empty());
}

// The hall's task is reached through the portal, whose rating is capped
// below the lists of things to do here.
TEST_F(HintsTest, TaskInAnotherRoomIsHintedThroughItsPortal) {
    startGame("action portal_hall hand $portal_hall ? {\n  do {\n    goto +hall\n  }\n}\n"
              "init {\n  enable @portal_hall\n}\n",
              rated("far", "h", "5") + "init {\n  enable @far\n}\n");
    EXPECT_EQ(hint(), "portal_hall");
    EXPECT_EQ(engine->hints->list(6).size(), 1u);
    EXPECT_EQ(task("startup", "portal_hall")->hintTarget, task("hall", "far"));
}

TEST_F(HintsTest, ZoomZoneIsOpenedToReachItsTask) {
    startGame("action zz_desk hand $desk ? {\n  do {\n    open +zz_desk\n  }\n}\ninit {\n  enable @zz_desk\n}\n", "",
              rated("inner", "drawer", "1") + "init {\n  enable @inner\n}\n");
    EXPECT_EQ(hint(), "zz_desk");
    EXPECT_EQ(engine->hints->list(3).size(), 1u);
}

// Work in the zoom zone close by ends the search before the far rooms.
TEST_F(HintsTest, NearScenesAreSearchedBeforeFarOnes) {
    startGame("action zz_desk hand $desk ? {\n  do {\n    open +zz_desk\n  }\n}\n"
              "action go hand $portal_hall ? {\n  do {\n  }\n}\ninit {\n  enable @zz_desk\n  enable @go\n}\n",
              rated("far", "h", "1") + "init {\n  enable @far\n}\n",
              rated("inner", "drawer", "1") + "init {\n  enable @inner\n}\n");
    EXPECT_EQ(hint(), "zz_desk");
    EXPECT_TRUE(engine->hints->list(6).empty());
}

TEST_F(HintsTest, BlockedRoomIsNotSearched) {
    startGame("action go hand $portal_hall ? {\n  do {\n  }\n}\ninit {\n  enable @go\n}\n",
              rated("far", "h", "1") + "init {\n  enable @far\n  set #is_blocked 1\n}\n");
    EXPECT_EQ(hint(), "");
}

// With portals only, the way back is offered only when it is the only way.
TEST_F(HintsTest, PortalBackIsChosenOnlyAlone) {
    startGame("", "action portal_back hand $portal_startup ? {\n  do {\n  }\n}\n"
                  "action portal_side hand $h ? {\n  fun .on_hint {\n    set ##Show_hint 0.3\n  }\n  do {\n  }\n}\n"
                  "init {\n  enable @portal_back\n}\n");
    engine->navigation->gotoScene(engine->findScene(intern("hall")), nullptr, 0);
    for (int i = 0; i < 300; ++i)
        engine->advanceBy(10);
    ASSERT_EQ(engine->activeScene(), engine->findScene(intern("hall")));
    EXPECT_EQ(engine->hints->requestGlitter(), task("hall", "portal_back"));
    setTaskState(task("hall", "portal_side"), TaskEnabled);
    for (uint32_t seed = 1; seed <= 8; ++seed) {
        seedRandomWith(seed);
        EXPECT_EQ(engine->hints->requestGlitter(), task("hall", "portal_side")) << "seed " << seed;
    }
}

TEST_F(HintsTest, EqualsAreChosenByTheSeededGenerator) {
    startGame(rated("one", "a", "1") + rated("two", "b", "1") + rated("three", "c", "1") +
              "init {\n  enable @one\n  enable @two\n  enable @three\n}\n");
    const char* names[] = {"one", "two", "three"};
    bool seen[3] = {};
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        seedRandomWith(seed);
        const auto index = static_cast<int>(std::floor(glint::random() * (3 - 1 + 0.999)));
        seedRandomWith(seed);
        EXPECT_EQ(hint(), names[index]) << "seed " << seed;
        seen[index] = true;
    }
    EXPECT_TRUE(seen[0] && seen[1] && seen[2]);
}

TEST_F(HintsTest, BlockerLoopIsReportedAndGivesNoHint) {
    TraceCapture trace;
    startGame(rated("one", "a", "1") + rated("two", "b", "1") + rated("three", "c", "1") +
              "init {\n  enable @one\n  enable @two\n  enable @three\n  set @one.blocker @two\n"
              "  set @two.blocker @three\n  set @three.blocker @two\n}\n");
    EXPECT_EQ(hint(), "");
    EXPECT_TRUE(trace.contains("Infinite loop of blockers on task @startup:two -> @startup:three -> @startup:two"));
}

// Actions are not weighed as blockers but stand in as they are: a ring of
// them ends too, and is reported the same way.
TEST_F(HintsTest, LoopOfActionBlockersEnds) {
    TraceCapture trace;
    startGame(rated("one", "a", "1") + "action two hand $b ? {\n  do {\n  }\n}\n"
              "action three hand $c ? {\n  do {\n  }\n}\n"
              "init {\n  enable @one\n  enable @two\n  enable @three\n  set @one.blocker @two\n"
              "  set @two.blocker @three\n  set @three.blocker @two\n}\n");
    EXPECT_EQ(hint(), "");
    EXPECT_TRUE(trace.contains("Infinite loop of blockers on task"));
}

// A hint asked for while a hint is being looked for finds none, and the
// outer request goes on undisturbed.
TEST_F(HintsTest, RequestInsideOnHintGetsNone) {
    startGame("task one hand $a ? {\n  fun .on_hint {\n    engine_request_hint #inner\n    set ##Show_hint 1\n"
              "  }\n  do {\n  }\n}\ninit {\n  enable @one\n  set #inner 5\n}\n");
    EXPECT_EQ(hint(), "one");
    Value* inner = findVariable(engine->findScene(intern("startup"))->scope, KindPlain, intern("inner"), nullptr, false);
    ASSERT_NE(inner, nullptr);
    EXPECT_TRUE(inner->isNone());
}

TEST_F(HintsTest, ItemWithWorkInItsCloseUpIsTheFallback) {
    startGame("", "", "", rated("open_lid", "lid", "1") + "init {\n  enable @open_lid\n}\n");
    EXPECT_EQ(hint(), "");
    pick("item_box");
    EXPECT_EQ(hint(), "click_box");
    EXPECT_EQ(task("inventory", "click_box")->hintTarget, task("item_box", "open_lid"));
}

// The forced item is hinted through its click task; out of the panel's
// view, through the arrow that scrolls to it.
TEST_F(HintsTest, ForcedItemOutOfViewIsReachedByTheScrollArrow) {
    startGame("");
    for (const char* item : {"item_coin", "item_rope", "item_lamp", "item_key"})
        pick(item);
    engine->inventory->forcedItem = Value::fromPointer(ValueType::Item, engine->inventory->findItem(intern("item_key")));
    EXPECT_EQ(hint(), "inventory_right");
    engine->inventory->panels[0].firstVisible = 2;
    EXPECT_EQ(hint(), "click_key");
}

// The hint offset turns with the element: (4, 2) a quarter turn round.
TEST_F(HintsTest, HintOffsetTurnsWithTheElement) {
    startGame("fun probe {\n  get_hint_offset $tilted #x #y\n  get_hint_offset 5 #nx #ny\n}\n");
    ASSERT_TRUE(callScopeFunction(engine->findScene(intern("startup"))->scope, intern("probe"), nullptr, 0));
    auto number = [this](const char* name) {
        Value* cell = findVariable(engine->findScene(intern("startup"))->scope, KindPlain, intern(name), nullptr, false);
        return cell && cell->isNumber() ? cell->number : -99.0;
    };
    EXPECT_NEAR(number("x"), 2, 1e-3);
    EXPECT_NEAR(number("y"), -4, 1e-3);
    EXPECT_EQ(number("nx"), 0);
    EXPECT_EQ(number("ny"), 0);
}

} // namespace
