#include "engine_fixture.h"

#include "app/window_events.h"
#include "engine/window/input_event.h"
#include "script/script_system.h"

using namespace glint;
using namespace glint::test;

namespace {

struct WindowEventsTest : EngineFixture {
    MEngine* engine = nullptr;
    void SetUp() override {
        makeGame("BuildForLUMO=1\r\n", "fun on_scroll %d {\n  set #scrolled %d\n}\n",
                 "fun on_char_event %c {\n  add #chars 1\n  set #last %c\n}\n");
        engine = &start();
    }
    void send(int32_t type, int32_t character = 0, int16_t wheel = 0) {
        KInputEvent input;
        input.type = type;
        input.character = character;
        input.wheelDelta = wheel;
        app->onWindowEvent(input);
    }
    Value global(const char* name) {
        Value* cell = findVariable(script().global(), KindPlain, intern(name), nullptr, false);
        return cell ? *cell : Value();
    }
    Value inStartup(const char* name) {
        Value* cell = findVariable(engine->findScene(intern("startup"))->scope, KindPlain, intern(name), nullptr, false);
        return cell ? *cell : Value();
    }
};

TEST_F(WindowEventsTest, NothingReachesScriptsBeforePlayStarts) {
    send(K_EVENT_KEYCHAR, 'a');
    send(K_EVENT_BACKGROUND);
    EXPECT_TRUE(engine->windowEvents.empty());
    EXPECT_TRUE(engine->focused);
}

TEST_F(WindowEventsTest, CharactersTheFontsCannotShowAreDroppedButKeysGoThrough) {
    loadUntilPlay(*engine);
    send(K_EVENT_KEYCHAR, 'a');
    EXPECT_EQ(global("last").number, 'a');
    send(K_EVENT_KEYCHAR, 0x263A);
    EXPECT_EQ(global("chars").number, 1) << "not in the character set";
    send(K_EVENT_KEYCHAR, -103);
    EXPECT_EQ(global("last").number, -103) << "a key without an engine code";
    engine->pause();
    send(K_EVENT_KEYCHAR, 'b');
    EXPECT_EQ(global("chars").number, 2) << "paused: handlers wait";
}

TEST_F(WindowEventsTest, TheWheelCallsTheActiveScene) {
    loadUntilPlay(*engine);
    send(K_EVENT_WHEEL, 0, -120);
    EXPECT_EQ(inStartup("scrolled").number, -120);
}

TEST_F(WindowEventsTest, FocusLossFromTheWindowPausesPlay) {
    loadUntilPlay(*engine);
    send(K_EVENT_BACKGROUND);
    EXPECT_FALSE(engine->focused);
    EXPECT_TRUE(engine->pausedByFocus);
    EXPECT_TRUE(engine->paused());
}

} // namespace
