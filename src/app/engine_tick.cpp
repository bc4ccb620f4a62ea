// The game tick: 10 ms of game time, its steps in a fixed order.
#include "app/application.h"
#include "app/engine.h"

#include "engine/system/clock.h"
#include "engine/window/game_window.h"
#include "game/inventory.h"
#include "game/sound_player.h"
#include "resource/resource_manager.h"
#include "scene/scene_engine_state.h"
#include "script/collector.h"
#include "script/interpreter.h"
#include "script/script_system.h"

namespace glint {

namespace {

// The pointer in the scene's own coordinates: through the inverse of its camera.
void publishPointer(MScene& scene, float x, float y) {
    const SceneCamera& c = scene.camera;
    scene.cells.pointerX = Value::fromNumber((x - c.halfW - c.shiftX) / c.scaleX + c.halfW - c.offsetX);
    scene.cells.pointerY = Value::fromNumber((y - c.halfH - c.shiftY) / c.scaleY + c.halfH - c.offsetY);
}

} // namespace

void MEngine::gameTick() {
    MNavigation& nav = *navigation;
    if (!paused() && switching()) {
        nav.advanceSwitch();
        if (KGameWindow* window = app.window())
            window->resetTiming(); // a long switch must not cause a burst of ticks
    }
    serveSaveRequest();
    epochTime = Value::fromNumber(wallClockSeconds());
    if (active()) {
        ++tickCount;
        tickValue = Value::fromNumber(tickCount);
        timeValue = Value::fromNumber(tickCount * 0.01);
        resources.updateVideos();
        nav.advanceTransition();
        nav.updateSlots();
        // The animation slots: the clocks of the stack advance in this tick.
        for (MScene* scene : nav.updateScenes(true))
            scene->clockRuns = true;
    }
    sceneEngineState().pointerX = input.pointerX;
    sceneEngineState().pointerY = input.pointerY;
    for (MScene* scene : nav.pointerScenes())
        publishPointer(*scene, input.pointerX, input.pointerY);
    if (active()) {
        nav.publish();
        waiting = nav.waiting || endRequested;
        updatePointer();
        runTickPasses();
        finishPointerTick();
        inventory->tick();
        presentAlert();
    }
    updatePauseOverlay();
    // Only the pause overlay keeps moving while the game is paused.
    for (MScene* scene : nav.updateScenes(active()))
        scene->update(true);
    if (active()) {
        inventory->updatePanels();
        serveMainMenuRequest();
        syncDisplay(display, app.options, app.platform, app.window(), app.settings);
        soundPlayer->soundStep();
    }
    if (endRequested)
        for (MScene* scene : nav.scriptScenes())
            updateHover(scene->scope);
    clearInputEdges();
    collectGarbage();
}

// Each pass runs over the scenes of the stack before the next begins.
void MEngine::runTickPasses() {
    script_->pointer.handled = false;
    const std::vector<MScene*> scenes = navigation->scriptScenes();
    for (void (*pass)(Scope&) : {updateHover, runDelayedBlocks, runDelayedCalls, countDownSignals})
        for (MScene* scene : scenes)
            pass(scene->scope);
    for (MScene* scene : scenes)
        updateTasks(scene->scope);
    script_->pointer.clicked = nullptr;
}

void MEngine::collectGarbage() {
    // GC_ENABLED is a script condition; GC_TIMEOUT counts hundreds of frames.
    if (!started || !gcEnabled || !gcTimeout || !isTrue(*gcEnabled) || !gcTimeout->isNumber() ||
        gcTimeout->number <= 0)
        return;
    ++collectorTicks;
    if (gcTimeout->number * 100 > collectorTicks)
        return;
    collectorTicks = 0;
    Collector collector(script_->heap);
    collector.clearMarks();
    collector.markSystem(*script_);
    collector.releaseUnmarked();
}

} // namespace glint
