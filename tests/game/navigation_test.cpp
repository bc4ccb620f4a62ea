// Moving through a small game tick by tick: the goto fade and switch,
// layers opening over each other, close choosing its layer, the waiting
// state and passive sub-scenes.
#include "app/engine_fixture.h"

#include "game/navigation.h"
#include "resource/resource_manager.h"
#include "resource/texture.h"
#include "scene/element.h"
#include "script/interpreter.h"

using namespace glint;
using namespace glint::test;

namespace {

struct NavigationTest : EngineFixture {
    MEngine* engine = nullptr;
    MNavigation* nav = nullptr;

    void SetUp() override {
        file("data/game.cfg", "BuildScreenW=1024\r\nBuildScreenH=768\r\nBuildSupportMScene=1\r\nBuildForLUMO=1\r\n");
        file("data/scenes.cfg", "data/_interface/loading\r\ndata/startup\r\ndata/hall\r\ndata/startup/zz_desk\r\n"
                                "data/startup/item_key\r\ndata/sub_letter\r\ndata/sub_note\r\ndata/sub_map\r\n");
        file("data/_interface/loading/_loading.scene", "{}");
        file("data/_interface/game.script", "");
        file("data/_interface/_scripts/common_all.script", "");
        file("data/_interface/_scripts/common_all_post.script", "");
        for (const char* room : {"startup", "hall"}) {
            std::string folder = std::string("data/") + room;
            file(folder + "/_" + room + ".scene",
                 R"({"elements": {"bg": {"I": ["bg.png"], "D": [8, 8]},
                    "door": {"D": [100, 100], "X": [[-100, 0], [0, 50]]}}})");
            ASSERT_EQ(runCommand("convert -size 8x8 xc:red " + shellQuote((game / (folder + "/bg.png")).string()))
                          .status,
                      0);
        }
        const char* record = "on !open {\n  set #openAt ##Tick\n}\non !closed {\n  set #closedAt ##Tick\n}\n";
        file("data/startup/startup.script", std::string(record) +
                                                "fun go {\n  goto +hall\n}\n"
                                                "fun walk {\n  animate $door -1 0\n}\n");
        file("data/hall/hall.script", record);
        scene("startup/zz_desk", "");
        scene("startup/item_key", "");
        scene("sub_letter", "init {\n  set #Layer 5\n}\n" + std::string(record));
        scene("sub_note", "init {\n  set #Layer 5\n  set #Open_time 0.2\n}\n" + std::string(record));
        scene("sub_map", "init {\n  set #Layer 3\n  set #Is_passive_scene 1\n}\nalways {\n  add #runs 1\n}\n");
        engine = &start();
        nav = engine->navigation.get();
        loadUntilPlay(*engine);
    }
    void scene(const std::string& path, const std::string& script) {
        std::string name = path.substr(path.rfind('/') + 1);
        file("data/" + path + "/_" + name + ".scene", "{}");
        file("data/" + path + "/" + name + ".script", script);
    }
    void ticks(int count) {
        for (int i = 0; i < count; ++i)
            engine->advanceBy(10);
    }
    MScene* find(const char* name) { return engine->findScene(intern(name)); }
    Value variable(const char* sceneName, const char* name) {
        Value* cell = findVariable(find(sceneName)->scope, KindPlain, intern(name), nullptr, false);
        return cell ? *cell : Value();
    }
    void call(const char* function) { ASSERT_TRUE(callScopeFunction(find("startup")->scope, intern(function), nullptr, 0)); }
    MTexture* background(const char* room) {
        return static_cast<MTexture*>(engine->resources.find((std::string("data/") + room + "/bg.png").c_str()));
    }
    // Opens a scene and lets every animation finish.
    void openAndSettle(const char* name) {
        nav->openScene(find(name));
        ticks(120);
    }
};

TEST_F(NavigationTest, GotoFadesOverCloseTimeSwitchesAndFadesIn) {
    ASSERT_EQ(engine->playScene(), find("startup"));
    ASSERT_EQ(background("startup")->refCount, 1);
    const uint32_t start = engine->tickCount;
    call("go");
    ticks(25);
    EXPECT_FLOAT_EQ(nav->visibility, 0.5f);
    EXPECT_EQ(engine->waiting, true) << "a goto keeps the game waiting";
    ticks(26);
    EXPECT_EQ(variable("startup", "closedAt").number, start + 51) << "closed the tick after the fade reached 0";
    EXPECT_FALSE(engine->switching());
    ticks(1);
    EXPECT_TRUE(engine->switching()) << "the switch begins on tick 52";
    ticks(3);
    EXPECT_FALSE(engine->switching());
    EXPECT_EQ(engine->playScene(), find("hall"));
    EXPECT_EQ(background("startup")->refCount, 0) << "the old room lets its images go";
    EXPECT_EQ(background("hall")->refCount, 1);
    EXPECT_EQ(variable("hall", "openAt").number, start + 52) << "open while the clock stood still";
    ticks(51);
    EXPECT_EQ(nav->transitionState, kTransitionNone);
    EXPECT_FLOAT_EQ(nav->visibility, 1);
    EXPECT_TRUE(nav->nextPlaySceneValue.isNone());
}

TEST_F(NavigationTest, AGotoToThePendingTargetIsIgnoredAndOneToTheSameRoomKeepsItsImages) {
    call("go");
    ticks(10);
    call("go");
    EXPECT_EQ(nav->transitionStep, 10) << "the second goto does not restart the fade";

    ticks(200);
    ASSERT_EQ(engine->playScene(), find("hall"));
    nav->gotoScene(find("hall"), nullptr, 0);
    int lowest = background("hall")->refCount;
    for (int i = 0; i < 200; ++i) {
        ticks(1);
        lowest = std::min<int>(lowest, background("hall")->refCount);
    }
    EXPECT_EQ(engine->playScene(), find("hall"));
    EXPECT_EQ(lowest, 1) << "never released and loaded again";
    EXPECT_EQ(nav->transitionState, kTransitionNone) << "the full transition ran";
}

TEST_F(NavigationTest, ASceneOpenedOverAnotherInItsLayerWaitsForItToClose) {
    openAndSettle("sub_letter");
    LayerSlot& slot = nav->subSlots[5];
    ASSERT_EQ(slot.scene, find("sub_letter"));
    ASSERT_TRUE(slot.idle());
    nav->openScene(find("sub_note"));
    EXPECT_EQ(slot.state, kSlotClosing);
    EXPECT_EQ(slot.steps, 50) << "the letter's Close_time";
    ticks(52);
    EXPECT_EQ(slot.scene, find("sub_note"));
    EXPECT_EQ(slot.state, kSlotOpening);
    EXPECT_EQ(slot.steps, 20) << "the note's Open_time";
    EXPECT_LT(variable("sub_letter", "closedAt").number, variable("sub_note", "openAt").number + 1);
    ticks(30);
    EXPECT_TRUE(slot.idle());
    EXPECT_EQ(engine->activeScene(), find("sub_note"));
}

TEST_F(NavigationTest, CloseTakesTheSubSceneThenTheItemSceneThenTheZoomZone) {
    openAndSettle("zz_desk");
    openAndSettle("item_key");
    openAndSettle("sub_letter");
    EXPECT_EQ(engine->activeScene(), find("sub_letter"));
    const char* order[] = {"sub_letter", "item_key", "zz_desk"};
    for (const char* name : order) {
        MScene* closing = find(name);
        EXPECT_EQ(closing->cells.isOpened.number, 1) << name;
        nav->closeTop(0);
        ticks(120);
        EXPECT_EQ(closing->cells.isOpened.number, 0) << name << " closes next";
    }
    EXPECT_EQ(engine->activeScene(), find("startup"));
    nav->closeTop(0);
    EXPECT_TRUE(nav->playScene->zoomSlot.idle()) << "nothing left to close";
}

TEST_F(NavigationTest, AScriptAnimationKeepsTheGameWaiting) {
    call("walk");
    ticks(2);
    EXPECT_EQ(nav->waitingValue.number, 1);
    EXPECT_TRUE(engine->waiting);
    ticks(120);
    EXPECT_EQ(nav->waitingValue.number, 0) << "the segment has ended";
}

TEST_F(NavigationTest, APassiveSubSceneRunsItsScriptsUnderAnActiveOne) {
    openAndSettle("sub_map");
    openAndSettle("sub_letter");
    double before = variable("sub_map", "runs").number;
    ticks(10);
    EXPECT_EQ(variable("sub_map", "runs").number, before + 10) << "layer 3 is passive: it keeps running";
    find("sub_map")->cells.isPassiveScene = Value::fromNumber(0);
    before = variable("sub_map", "runs").number;
    ticks(10);
    EXPECT_EQ(variable("sub_map", "runs").number, before) << "under layer 5 an active scene stops";
}

} // namespace
