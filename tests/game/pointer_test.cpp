// The pointer driven tick by tick over one room: click types, drags, the
// long press, carrying and using objects, escape, looks and tooltips.
#include "app/engine_fixture.h"

#include "game/pointer.h"
#include "scene/element.h"
#include "script/interpreter.h"

using namespace glint;
using namespace glint::test;

namespace {

// Screen positions of the room's elements (the game is 1024 x 768).
struct Spot {
    float x, y;
};
constexpr Spot kLever{212, 384}, kButton{412, 384}, kKey{612, 384}, kLock{812, 384}, kWindow{512, 184},
    kStone{512, 584}, kNothing{60, 700};

struct PointerTest : EngineFixture {
    MEngine* engine = nullptr;

    void SetUp() override {
        makeGame("BuildSupportMScene=1\r\nBuildForLUMO=1\r\n",
                 "action pull hand $lever ? {\n  do on release {\n    add ##pulls 1\n  }\n}\n"
                 "action push hand $button ? {\n  do on press {\n    add ##pushes 1\n  }\n}\n"
                 "action grab hand $key ? {\n  do {\n    take $key\n  }\n}\n"
                 "action grab_stone hand $stone ? {\n  do {\n    take $stone\n  }\n}\n"
                 "action open_lock hand $lock $key {\n  do {\n    add ##opened 1\n    untake\n  }\n}\n"
                 "action peek eye $window +startup {\n  do {\n    add ##peeks 1\n  }\n}\n"
                 "init {\n  enable @pull\n  enable @push\n  enable @grab\n  enable @grab_stone\n"
                 "  enable @open_lock\n  enable @peek\n  set $lever.tooltip_text \"Pull me\"\n"
                 "  set $stone.Taken_no_center_on_pointer 1\n}\n"
                 "fun busy {\n  fadeout $window 1\n}\n",
                 "fun on_long_press {\n  add #longs 1\n}\nfun on_invalid_use %t {\n  add #invalid 1\n}\n"
                 "fun on_escape {\n  add #escapes 1\n}\n");
        file("data/startup/_startup.scene",
             R"({"elements": {"lever": {"D": [80, 80], "X": -300}, "button": {"D": [80, 80], "X": -100},
                 "key": {"D": [40, 40], "X": 100}, "lock": {"D": [80, 80], "X": 300},
                 "window": {"D": [120, 80], "Y": -200}, "stone": {"D": [40, 40], "Y": 200}}})");
        engine = &start();
        loadUntilPlay(*engine);
    }
    void tick(int count = 1) {
        for (int i = 0; i < count; ++i)
            engine->advanceBy(10);
    }
    void moveTo(Spot spot) {
        engine->input.pointerX = spot.x;
        engine->input.pointerY = spot.y;
    }
    void press(Spot spot) {
        moveTo(spot);
        engine->input.buttonPressed[0] = engine->input.buttonHeld[0] = 1;
        tick();
    }
    void release() {
        engine->input.buttonHeld[0] = 0;
        engine->input.buttonReleased[0] = 1;
        tick();
    }
    void click(Spot spot) {
        press(spot);
        release();
    }
    double global(const char* name) {
        Value* cell = findVariable(script().global(), KindPlain, intern(name), nullptr, false);
        return cell && cell->isNumber() ? cell->number : 0;
    }
    MElement* element(const char* name) { return engine->findScene(intern("startup"))->findElement(intern(name)); }
    std::string look() { return engine->currentLook()->text; }
};

TEST_F(PointerTest, ClickTypesDecideWhetherThePressOrTheReleaseActs) {
    press(kButton);
    EXPECT_EQ(global("pushes"), 1) << "a press task acts on the press";
    release();
    press(kLever);
    EXPECT_EQ(global("pulls"), 0) << "a release task waits";
    release();
    EXPECT_EQ(global("pulls"), 1);

    press(kLever);
    for (Spot at : {Spot{240, 384}, Spot{262, 384}, Spot{290, 384}}) {
        moveTo(at); // 78 pixels away: the gesture became a drag
        tick();
    }
    release();
    EXPECT_EQ(global("pulls"), 1) << "a drag is no click";
}

TEST_F(PointerTest, HoldingStillCallsTheLongPressOnce) {
    press(kNothing);
    tick(79);
    EXPECT_EQ(global("longs"), 0);
    tick(1);
    EXPECT_EQ(global("longs"), 1) << "80 ticks after the press";
    tick(50);
    EXPECT_EQ(global("longs"), 1) << "once";
    release();
}

TEST_F(PointerTest, ATakenElementFollowsThePointerAndIsUsedOnItsTarget) {
    click(kKey);
    MPointer& pointer = engine->pointer;
    ASSERT_TRUE(pointer.takenObject.is(ValueType::Element));
    EXPECT_EQ(pointer.takeMode, kTakeModeDesktop);
    moveTo({300, 300});
    tick();
    EXPECT_NEAR(element("key")->absX, 300, 0.5) << "carried centred on the pointer";
    EXPECT_NEAR(element("key")->absY, 300, 0.5);

    click(kLock);
    EXPECT_EQ(global("opened"), 1) << "the use task that wants the key";
    EXPECT_TRUE(pointer.takenObject.isNone()) << "and it put the key away";

    click(kStone);
    ASSERT_TRUE(pointer.takenObject.is(ValueType::Element));
    moveTo({kStone.x + 100, kStone.y - 50});
    tick();
    EXPECT_NEAR(element("stone")->absX, kStone.x + 100, 1.5) << "keeps its distance: it was taken at its centre";
    click(kLock);
    EXPECT_EQ(global("invalid"), 1) << "the lock does not want the stone";
    EXPECT_EQ(global("opened"), 1);

    press(kNothing);
    EXPECT_TRUE(pointer.takenObject.isNone()) << "a click on nothing drops it";
    EXPECT_TRUE(pointer.oldTakenObject.is(ValueType::Element)) << "for one tick";
    release();
    EXPECT_TRUE(pointer.oldTakenObject.isNone());
}

TEST_F(PointerTest, EscapeWhileWaitingIsConsumedSilently) {
    engine->input.keyPressed[kEscapeKey] = 1;
    tick();
    EXPECT_EQ(global("escapes"), 1);
    ASSERT_TRUE(callScopeFunction(engine->findScene(intern("startup"))->scope, intern("busy"), nullptr, 0));
    tick(2);
    ASSERT_TRUE(engine->waiting);
    engine->input.keyPressed[kEscapeKey] = 1;
    tick();
    EXPECT_EQ(global("escapes"), 1);
    EXPECT_EQ(engine->input.keyPressed[kEscapeKey], 0) << "consumed";
}

TEST_F(PointerTest, TheLookFollowsTheTargetsAndPointerOverridesOnlyWithAnExistingLook) {
    struct Case {
        Spot at;
        const char* look;
    } cases[] = {{kNothing, "click"}, {kLever, "hand"}, {kWindow, "eye"}, {kLock, "click"}};
    for (const Case& c : cases) {
        moveTo(c.at);
        tick();
        EXPECT_EQ(look(), c.look) << c.at.x << "," << c.at.y;
    }
    engine->pointer.pointerLook = Value::fromSymbol(intern("magnifier"));
    moveTo(kLever);
    tick();
    EXPECT_EQ(look(), "hand") << "no element shows \"magnifier\": the automatic look stays";
}

TEST_F(PointerTest, TheTooltipFadesInOverTheTargetAndOutAfterIt) {
    moveTo(kLever);
    tick(10);
    EXPECT_EQ(engine->pointer.tooltip(), "Pull me");
    EXPECT_NEAR(engine->pointer.tooltipOpacity(), 0.4, 1e-5);
    tick(20);
    EXPECT_NEAR(engine->pointer.tooltipOpacity(), 1, 1e-5);
    moveTo(kNothing);
    tick(5);
    EXPECT_EQ(engine->pointer.tooltip(), "Pull me") << "still fading out";
    EXPECT_LT(engine->pointer.tooltipOpacity(), 1);
    tick(25);
    EXPECT_EQ(engine->pointer.tooltip(), "");
}

} // namespace
