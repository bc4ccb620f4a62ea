// Flights of found objects driven tick by tick: their phases and what they
// hand over to the inventory when they land, flights to a holder and to a
// target element, and the ways they end early.
#include "app/engine_fixture.h"

#include "game/inventory.h"
#include "game/picking.h"
#include "scene/element.h"
#include "scene/particle_instance.h"
#include "scene/scene.h"
#include "script/interpreter.h"

using namespace glint;
using namespace glint::test;

namespace {

struct PickingTest : EngineFixture {
    MEngine* engine = nullptr;

    void SetUp() override {
        makeGame("BuildSupportMScene=1\r\nBuildForLUMO=1\r\n",
                 "fun find_coin {\n  start_picking_anim $coin 0 100 1 0.5 1\n}\n"
                 "fun find_coin_flying {\n  start_picking_anim $coin\n}\n"
                 "fun find_key {\n  start_picking_anim $key\n}\n"
                 "fun find_gem {\n  start_picking_anim $gem\n}\n"
                 "fun find_key_trailed {\n  start_picking_anim $key 0 100 1 0.5 2 $ps_trail\n}\n"
                 "fun send_star {\n  start_picking_anim $star $hud:keyhole\n}\n"
                 "fun go {\n  goto +hall\n}\n"
                 "init {\n  hide $ps_trail\n  set $coin.item ^item_coin\n  set $key.item ^item_key\n"
                 "  set $gem.item ^item_gem\n}\n");
        file("data/scenes.cfg", "data/_interface/loading\r\ndata/_interface/inventory\r\ndata/_interface/hud\r\n"
                                "data/startup\r\ndata/hall\r\n");
        file("data/startup/_startup.scene",
             R"({"elements": {"coin": {"D": [40, 40], "X": -200}, "key": {"D": [40, 40]},
                 "gem": {"D": [40, 40], "X": 200}, "star": {"D": [60, 30], "Y": -200},
                 "ps_trail": {}}})");
        file("data/_interface/particles/trail.particles", "Q 0 0 3\r\nE 50\r\nC 1\r\nL 0.5\r\nX 4\r\nO B\r\n");
        file("data/hall/_hall.scene", "{}");
        file("data/hall/hall.script", "init {\n  set #Open_time 0.1\n}\n");
        file("data/_interface/inventory/_inventory.scene",
             R"({"elements": {"item_coin": {"D": [40, 40]}, "item_key": {"D": [40, 40]},
                 "item_gem": {"D": [40, 40]}}})");
        file("data/_interface/inventory/inventory.script",
             "init {\n  set ^item_coin.Total_count 3\n  set ^item_key.Total_count 1\n"
             "  set ^item_key.holder $hud:keyhole\n  set ^item_gem.Total_count 1\n  set ^item_gem.used_count 1\n}\n");
        file("data/_interface/hud/_hud.scene",
             R"({"elements": {"inventory_items": {"D": [640, 80], "Y": 344}, "keyhole": {"D": [50, 50], "X": 400},
                 "pickup_back": {"D": [80, 80]}, "pickup_front": {"D": [80, 80]}}})");
        file("data/_interface/hud/hud.script", "init {\n  hide $pickup_back\n  hide $pickup_front\n}\n");
        engine = &start();
        loadUntilPlay(*engine);
    }

    MPicking& picking() { return *engine->picking; }
    InventoryItem& item(const char* name) { return *engine->inventory->findItem(intern(name)); }
    MElement& hudElement(const char* name) { return *engine->findScene(intern("hud"))->findElement(intern(name)); }
    void call(const char* function) {
        ASSERT_TRUE(callScopeFunction(engine->findScene(intern("startup"))->scope, intern(function), nullptr, 0));
    }
    void tick(int count = 1) {
        for (int i = 0; i < count; ++i)
            engine->advanceBy(10);
    }
    // Ticks until the flight's phase is no longer phase (at most limit).
    int ticksIn(const PickingAnimation& a, int32_t phase, int limit = 1000) {
        int ticks = 0;
        while (a.phase == phase && !a.finished && ticks < limit) {
            tick();
            ++ticks;
        }
        return ticks;
    }
};

TEST_F(PickingTest, AFoundItemPulsesFliesAndLandsInItsSlot) {
    InventoryItem& coin = item("item_coin");
    call("find_coin");
    ASSERT_EQ(picking().animations().size(), 1u);
    const PickingAnimation& a = *picking().animations().front();
    EXPECT_EQ(coin.count, 1) << "the count rises at once";
    EXPECT_EQ(coin.pendingPicks, 1) << "but the piece is still flying";
    EXPECT_EQ(coin.slot, 0);
    EXPECT_EQ(a.target.x, static_cast<float>(coin.restX));
    EXPECT_TRUE(picking().running()) << "autosaves wait";
    EXPECT_TRUE(engine->inventory->wanted()) << "the inventory comes out for it";

    EXPECT_EQ(ticksIn(a, kPickingPulse), 100);
    EXPECT_EQ(ticksIn(a, kPickingFlight), 150);
    EXPECT_EQ(coin.pendingPicks, 0);
    EXPECT_EQ(coin.glow, 1) << "the slot lights up as the picture lands";
    EXPECT_EQ(coin.tooltipDuration, 200);
    EXPECT_TRUE(hudElement("pickup_front").hasFlag(kElementVisible));
    EXPECT_EQ(hudElement("pickup_front").channels[kChannelX], static_cast<float>(coin.x));
    EXPECT_FALSE(hudElement("pickup_back").hasFlag(kElementVisible)) << "it follows 25 ticks later";
    tick(26);
    EXPECT_TRUE(hudElement("pickup_back").hasFlag(kElementVisible));

    EXPECT_EQ(ticksIn(a, kPickingArrival), 79 - 26);
    EXPECT_FALSE(picking().running()) << "without trails the flight leaves at once";
    EXPECT_EQ(engine->inventory->forceTimer, 200) << "the inventory stays out a while";
    EXPECT_FALSE(hudElement("pickup_front").hasFlag(kElementVisible));
    EXPECT_FALSE(hudElement("pickup_back").hasFlag(kElementVisible));
}

TEST_F(PickingTest, SecondPiecesFlyToTheSameSlotAndUsedUpItemsNowhere) {
    InventoryItem& coin = item("item_coin");
    call("find_coin_flying");
    tick(10);
    call("find_coin_flying");
    call("find_gem");
    ASSERT_EQ(picking().animations().size(), 2u) << "the gem is used up: nothing flies";
    EXPECT_EQ(item("item_gem").count, 0);
    EXPECT_EQ(picking().animations()[1]->target.x, picking().animations()[0]->target.x);
    EXPECT_EQ(coin.count, 2);
    EXPECT_EQ(coin.pendingPicks, 2);
    tick(141);
    EXPECT_EQ(coin.pendingPicks, 1) << "the first has landed";
    tick(10);
    EXPECT_EQ(coin.pendingPicks, 0);
}

TEST_F(PickingTest, AFlightToAHolderEndsWhereTheHolderIs) {
    InventoryItem& key = item("item_key");
    call("find_key");
    const PickingAnimation& a = *picking().animations().front();
    EXPECT_EQ(a.target.x, hudElement("keyhole").absX);
    EXPECT_EQ(a.target.width, 50);
    EXPECT_FALSE(key.inPanel()) << "an item with a holder never shows in a panel";
    EXPECT_FALSE(picking().carriesLooseItem());
    EXPECT_EQ(ticksIn(a, kPickingFlight), 150);
    EXPECT_FALSE(picking().running()) << "no arrival in a panel";
    EXPECT_EQ(key.count, 1);
    EXPECT_EQ(key.pendingPicks, 0);
    EXPECT_EQ(engine->inventory->forceTimer, 0);
    EXPECT_FALSE(hudElement("pickup_front").hasFlag(kElementVisible));
}

TEST_F(PickingTest, TrailsFollowTheFlightAndDieOutAfterIt) {
    call("find_key_trailed");
    const PickingAnimation& a = *picking().animations().front();
    ASSERT_NE(a.trails[0], nullptr);
    for (int i = 0; i < 150; ++i) {
        tick();
        picking().draw(); // as the render hook does: the trail moves with the picture
    }
    EXPECT_TRUE(a.finished);
    ASSERT_NE(a.trails[0], nullptr) << "emitting all the way";
    EXPECT_GT(a.trails[0]->particleCount(), 0);
    EXPECT_TRUE(picking().running()) << "its sparks still show: autosaves wait for them";
    tick(50);
    EXPECT_FALSE(picking().running()) << "the last spark has died";
}

TEST_F(PickingTest, APlainFlightFadesOutOnItsWayToTheTarget) {
    call("send_star");
    const PickingAnimation& a = *picking().animations().front();
    EXPECT_EQ(a.item, nullptr);
    EXPECT_EQ(a.start.width, 60);
    EXPECT_EQ(a.target.x, hudElement("keyhole").absX);
    EXPECT_EQ(ticksIn(a, kPickingFlight), 150);
    EXPECT_FALSE(picking().running());
    EXPECT_EQ(engine->inventory->forceTimer, 0) << "nothing came to the inventory";
}

TEST_F(PickingTest, FlightsEndAtOnceWhenTheirItemIsTakenOrTheSceneChanges) {
    InventoryItem& coin = item("item_coin");
    call("find_coin");
    tick(120);
    engine->pointer.takeObject(coin.cell, false);
    EXPECT_EQ(coin.pendingPicks, 0) << "taken from the panel: its flight is over";
    ASSERT_FALSE(picking().animations().empty());
    EXPECT_TRUE(picking().animations().front()->finished);
    engine->pointer.dropObject(0);
    tick();

    call("find_coin");
    call("find_coin");
    tick(120);
    call("go");
    for (int i = 0; i < 200 && engine->navigation->playScene != engine->findScene(intern("hall")); ++i)
        tick();
    EXPECT_FALSE(picking().running()) << "a scene switch ends every flight";
    EXPECT_EQ(coin.count, 3);
    EXPECT_EQ(coin.pendingPicks, 0) << "the pieces are in the inventory";
    EXPECT_EQ(coin.tooltipDuration, 0) << "no tooltip of the last scene's find";
}

} // namespace
