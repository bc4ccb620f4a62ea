#include "engine_fixture.h"

#include "resource/resource_manager.h"
#include "scene/element.h"
#include "script/array_object.h"
#include "script/interpreter.h"
#include "script/script_system.h"
#include "script/value.h"

using namespace glint;
using namespace glint::test;

namespace {

struct TickCase {
    const char* name;
    double startMs;   // game time before the frame
    double frameMs;
    int expectedTicks;
};

// Failures name the case, not its bytes.
void PrintTo(const TickCase& c, std::ostream* out) { *out << c.name; }

class TicksBetween : public ::testing::TestWithParam<TickCase> {};

TEST_P(TicksBetween, CountsTheTenMillisecondBoundariesCrossed) {
    const TickCase& c = GetParam();
    EXPECT_EQ(ticksBetween(c.startMs, c.startMs + c.frameMs), c.expectedTicks);
}

INSTANTIATE_TEST_SUITE_P(Cases, TicksBetween,
                         ::testing::Values(TickCase{"after_7ms_a_25ms_frame_runs_3", 7, 25, 3},
                                           TickCase{"fast_frames_run_none", 2, 5, 0},
                                           TickCase{"a_boundary_reached_exactly_counts", 5, 5, 1},
                                           TickCase{"from_zero", 0, 10, 1},
                                           TickCase{"a_long_frame", 3, 2000, 200}),
                         [](const auto& info) { return std::string(info.param.name); });

// Play begins with the game time at zero, so each case starts from there.
struct PlayFixture : EngineFixture {
    MEngine* engine = nullptr;
    void SetUp() override {
        makeGame();
        engine = &start();
        loadUntilPlay(*engine);
        engine->gameTimeMs = 0;
        engine->tickCount = 0;
    }
};

TEST_F(PlayFixture, EngineSpeedScalesGameTimeAndANonNumberStopsIt) {
    engine->gameTimeMs = 7;
    engine->advanceBy(25);
    EXPECT_EQ(engine->tickCount, 3u);
    EXPECT_DOUBLE_EQ(engine->gameTimeMs, 32);

    engine->gameTimeMs = 7;
    *engine->engineSpeed = Value::fromNumber(0.5);
    engine->advanceBy(25);
    EXPECT_EQ(engine->tickCount, 4u) << "half speed: 7 + 12.5 crosses one boundary";

    *engine->engineSpeed = Value::fromSymbol(intern("fast"));
    engine->advanceBy(500);
    EXPECT_EQ(engine->tickCount, 4u);
}

TEST_F(PlayFixture, TicksPublishTickAndTime) {
    engine->advanceBy(30);
    EXPECT_EQ(engine->tickCount, 3u);
    EXPECT_EQ(engine->tickValue.number, 3);
    EXPECT_DOUBLE_EQ(engine->timeValue.number, 0.03);
    EXPECT_GT(engine->epochTime.number, 1.7e9);
}

TEST_F(PlayFixture, PauseIsCountedAndNeverNegative) {
    engine->resume();
    EXPECT_EQ(engine->pauseCount, 0);
    engine->pause();
    engine->pause();
    engine->advanceBy(100);
    EXPECT_EQ(engine->tickCount, 0u) << "no ticks while paused";
    engine->resume();
    EXPECT_TRUE(engine->paused());
    engine->resume();
    EXPECT_FALSE(engine->paused());
    engine->advanceBy(10);
    EXPECT_EQ(engine->tickCount, 1u);
}

TEST_F(PlayFixture, FocusLossPausesAtOnceAndAClickResumes) {
    engine->queueWindowEvent(kEventDeactivated);
    engine->processWindowEvents();
    EXPECT_TRUE(engine->paused());
    // The frame that lost the focus still runs one tick, which counts no
    // play time.
    uint32_t steps = engine->frameCounter;
    engine->advanceBy(50);
    EXPECT_EQ(engine->frameCounter, steps + 1);
    EXPECT_EQ(engine->tickCount, 0u);
    engine->settleFocusChange();

    engine->queueWindowEvent(kEventActivated);
    engine->processWindowEvents();
    engine->settleFocusChange();
    engine->resumeAfterFocusLoss();
    EXPECT_TRUE(engine->paused()) << "back in focus, play waits for a click";

    engine->input.buttonPressed[0] = 1;
    engine->resumeAfterFocusLoss();
    EXPECT_FALSE(engine->paused());
    EXPECT_EQ(engine->input.buttonPressed[0], 0) << "the click that resumes is used up";
}

TEST_F(PlayFixture, FocusEventsWaitForTheMainLoopToSettleTheLastChange) {
    engine->queueWindowEvent(kEventDeactivated);
    engine->queueWindowEvent(kEventActivated);
    engine->processWindowEvents();
    EXPECT_FALSE(engine->focused);
    ASSERT_EQ(engine->windowEvents.size(), 1u);
    engine->settleFocusChange();
    engine->processWindowEvents();
    EXPECT_TRUE(engine->focused);
    EXPECT_TRUE(engine->windowEvents.empty());
}

// A press that a pause or a focus change cut off does not count: the task
// it began on is no longer the pressed target.
TEST_F(PlayFixture, ResumeAndFocusGainForgetThePressedTarget) {
    struct Case {
        const char* name;
        void (*act)(MEngine&);
    };
    const Case cases[] = {
        {"resume", [](MEngine& e) { e.pause(); e.resume(); }},
        {"focus gained", [](MEngine& e) { e.focusGained(); }},
        {"focus gain settled", [](MEngine& e) {
             e.focused = true;
             e.wasFocused = false;
             e.focusChangePending = true;
             e.settleFocusChange();
         }},
    };
    ScriptTask task(intern("open"), nullptr);
    for (const Case& c : cases) {
        engine->pointer.pressTarget = &task;
        c.act(*engine);
        EXPECT_EQ(engine->pointer.pressTarget, nullptr) << c.name;
    }
}

TEST_F(PlayFixture, PausingDropsTheObjectBeingDraggedOnly) {
    Value object = Value::fromSymbol(intern("key"));
    engine->pointer.takeObject(object, true);
    engine->pause();
    EXPECT_FALSE(engine->pointer.takenObject.isNone()) << "carried, not dragged";
    engine->resume();

    engine->pointer.dragState = kDragging;
    engine->pause();
    EXPECT_TRUE(engine->pointer.takenObject.isNone());
    EXPECT_EQ(engine->pointer.oldTakenObject.symbol(), object.symbol());
    engine->resume();

    engine->pointer.takeObject(object, true);
    engine->pointer.takeMode = 3;
    engine->pause();
    engine->pause();
    EXPECT_TRUE(engine->pointer.takenObject.isNone());
}

// The collector runs while GC_ENABLED is true by the script truth rule, once
// every GC_TIMEOUT times 100 frames of play.
TEST_F(PlayFixture, TheCollectorFollowsTheTruthOfGcEnabledAndItsTimeout) {
    struct Case {
        const char* name;
        Value enabled;
        bool collects;
    };
    const Case cases[] = {
        {"a fraction below one half", Value::fromNumber(0.3), true},
        {"a string", Value::fromSymbol(intern("yes")), true},
        {"too small a fraction", Value::fromNumber(0.0001), false},
        {"none", Value(), false},
    };
    for (const Case& c : cases) {
        ArrayObject* lost = scriptHeap().arrays.create(intern("lost[]"), &engine->scriptSystem().global(), 0);
        ASSERT_NE(lost, nullptr);
        const size_t live = scriptHeap().arrays.liveCount();
        *engine->gcEnabled = c.enabled;
        *engine->gcTimeout = Value::fromNumber(0.05);
        engine->collectorTicks = 0;
        engine->advanceBy(40);
        EXPECT_EQ(scriptHeap().arrays.liveCount(), live) << c.name << ": not before the fifth frame";
        engine->advanceBy(10);
        EXPECT_EQ(scriptHeap().arrays.liveCount(), c.collects ? live - 1 : live) << c.name;
        *engine->gcEnabled = Value();
        if (!c.collects)
            scriptHeap().arrays.release(lost);
    }
}

struct SplashFixture : EngineFixture {
    MEngine* engine = nullptr;
    void SetUp() override {
        makeGame();
        engine = &start();
        ASSERT_EQ(engine->phase, kFirstSplashPhase) << "the first engine of the process shows the splash screens";
        // Registered textures stand in for the images: the steps only ask
        // whether a slot has one.
        engine->splash[1] = engine->resources.texture("data/_interface/splash/_lumo.png", false, false);
        engine->splash[2] = engine->resources.texture("data/_interface/splash/_developer.png", false, false);
    }
    void frames(int count) {
        for (int i = 0; i < count; ++i)
            engine->advanceBy(10);
    }
};

TEST_F(SplashFixture, EachImageShowsFourSecondsAndEmptySlotsAreSkipped) {
    frames(1);
    EXPECT_EQ(engine->phase, 101) << "slot 1 has no image";
    frames(399);
    EXPECT_EQ(engine->phase, 101);
    frames(1);
    EXPECT_EQ(engine->phase, 102);
    frames(400);
    EXPECT_EQ(engine->phase, 1) << "after the last image the loading begins";
}

TEST_F(SplashFixture, OnlyAClickWhileTheImageIsFullyShownSkipsToTheFadeOut) {
    frames(50); // the first frame's tick went to the skipped slot
    engine->input.buttonPressed[0] = 1;
    frames(1);
    EXPECT_EQ(engine->splashTimer, 50) << "a click during the fade-in does nothing";
    frames(100);
    engine->input.buttonPressed[0] = 1;
    frames(1);
    EXPECT_EQ(engine->splashTimer, 300);
    EXPECT_EQ(engine->phase, 101);
}

TEST_F(EngineFixture, ARestartedEngineStartsLoadingWithoutSplash) {
    makeGame();
    start();
    app->stopEngine();
    app->startEngine();
    EXPECT_EQ(app->engine()->phase, 1);
}

TEST_F(EngineFixture, LumoBuildsSkipTheSplash) {
    makeGame("BuildForLUMO=1\r\n");
    EXPECT_EQ(start().phase, 1);
}

TEST_F(EngineFixture, LoadingWalksElevenScenesPerFrameAndCountsProgress) {
    makeGame();
    std::string registry = "data/_interface/loading\r\ndata/startup\r\n";
    for (int i = 0; i < 20; ++i) {
        std::string folder = "data/room" + std::to_string(i);
        registry += folder + "\r\n";
        file(folder + "/_room" + std::to_string(i) + ".scene", "{}");
    }
    file("data/scenes.cfg", registry);
    file("data/game.cfg", "BuildForLUMO=1\r\n");
    MEngine& engine = start();
    const int scenes = static_cast<int>(engine.scenes.scenes().size());
    EXPECT_EQ(engine.loadTotal, 8 * scenes);
    engine.advanceBy(10); // fonts
    EXPECT_EQ(engine.phase, 2);
    engine.advanceBy(10);
    EXPECT_EQ(engine.loadedCount, 11);
    EXPECT_EQ(engine.phase, 2);
    engine.advanceBy(10);
    EXPECT_EQ(engine.loadedCount, 22);
    engine.advanceBy(10);
    EXPECT_EQ(engine.loadedCount, scenes);
    EXPECT_EQ(engine.phase, 3);
    EXPECT_NEAR(engine.loadingProgress(), 1.0 / 8, 1e-6);
    loadUntilPlay(engine);
    EXPECT_TRUE(engine.started);
    EXPECT_FALSE(engine.loading);
    EXPECT_TRUE(engine.initializing.isNone());
    EXPECT_EQ(engine.playScene(), engine.findScene(intern("startup")));
}

} // namespace

namespace {

TEST_F(EngineFixture, TheLoadingBarFollowsProgressAndThePauseTextShowsWhilePaused) {
    makeGame("BuildForLUMO=1\r\n");
    file("data/scenes.cfg", "data/_interface/loading\r\ndata/_interface/pause\r\ndata/startup\r\n");
    file("data/_interface/pause/_pause.scene", "{}");
    MEngine& engine = start();
    ASSERT_NE(engine.pauseScene, nullptr);
    MElement* bar = engine.loadingScene->createElement(nullptr, intern("bar"), false);
    MElement* glow = engine.loadingScene->createElement(nullptr, intern("glow"), false);
    MElement* paused = engine.pauseScene->createElement(nullptr, intern("paused"), false);
    bar->channels[kChannelX] = 100;

    engine.loadedCount = engine.loadTotal / 4;
    engine.drawGame(); // no window: only the loading screen's state changes
    Value reveal;
    ASSERT_TRUE(bar->getProperty(intern("crop_offset_x"), reveal));
    EXPECT_FLOAT_EQ(reveal.number, -1024 * 0.75) << "the game width stands in for a bar without image";
    EXPECT_FLOAT_EQ(glow->channels[kChannelX], 100 - 512 + 256);
    // From phase 9 on the whole bar shows; the glow still tells the progress.
    int32_t phase = engine.phase;
    engine.phase = 9;
    engine.drawGame();
    ASSERT_TRUE(bar->getProperty(intern("crop_offset_x"), reveal));
    EXPECT_FLOAT_EQ(reveal.number, 0);
    EXPECT_FLOAT_EQ(glow->channels[kChannelX], 100 - 512 + 256);
    engine.phase = phase;

    loadUntilPlay(engine);
    engine.advanceBy(10);
    EXPECT_FALSE(paused->hasFlag(kElementVisible)) << "hidden by the ticks of play";
    // Losing the focus pauses; the one tick of that frame shows the text.
    engine.queueWindowEvent(kEventDeactivated);
    engine.processWindowEvents();
    engine.advanceBy(10);
    EXPECT_TRUE(paused->hasFlag(kElementVisible));
    engine.settleFocusChange();
    engine.resume();
    engine.advanceBy(10);
    EXPECT_FALSE(paused->hasFlag(kElementVisible));
}

} // namespace

namespace {

TEST_F(EngineFixture, RestartCarriesTheSceneAndItsLoadingSceneIntoTheNextRun) {
    makeGame("BuildForLUMO=1\r\n", "fun again {\n  restart +hall\n}\nfun leave {\n  quit\n}\n");
    file("data/scenes.cfg", "data/_interface/loading\r\ndata/_interface/loading2\r\ndata/startup\r\ndata/hall\r\n");
    file("data/_interface/loading2/_loading2.scene", "{}");
    file("data/hall/_hall.scene", "{}");
    file("data/hall/hall.script", "init {\n  set #Loading_scene +loading2\n}\n");
    MEngine& first = start();
    loadUntilPlay(first);
    MScene* startup = first.findScene(intern("startup"));
    ASSERT_TRUE(callScopeFunction(startup->scope, intern("again"), nullptr, 0));
    EXPECT_TRUE(first.endRequested);
    EXPECT_TRUE(first.restartRequested);
    EXPECT_TRUE(first.waiting);
    EXPECT_EQ(restartSceneName(), "hall");
    EXPECT_EQ(restartLoadingSceneName(), "loading2");

    // What the main loop does at the end of that frame and in the next one.
    app->stopEngine();
    app->startEngine();
    MEngine& next = *app->engine();
    EXPECT_EQ(next.loadingScene, next.findScene(intern("loading2")));
    EXPECT_EQ(next.phase, 1);
    loadUntilPlay(next);
    EXPECT_EQ(next.playScene(), next.findScene(intern("hall")));
    EXPECT_TRUE(restartSceneName().empty()) << "the hand-over is taken once";

    ASSERT_TRUE(callScopeFunction(next.findScene(intern("startup"))->scope, intern("leave"), nullptr, 0));
    EXPECT_TRUE(next.endRequested);
    EXPECT_FALSE(next.restartRequested);
}

} // namespace
