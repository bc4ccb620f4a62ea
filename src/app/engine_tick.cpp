// The game tick: 10 ms of game time, its steps in a fixed order. Systems
// that are not part of the engine yet (navigation, inventory, the pointer,
// sounds) take their places in this order as they arrive.
#include "app/application.h"
#include "app/engine.h"

#include "engine/system/clock.h"
#include "engine/window/game_window.h"
#include "resource/resource_manager.h"
#include "scene/scene_engine_state.h"
#include "script/collector.h"
#include "script/interpreter.h"
#include "script/script_system.h"

#include <cmath>

namespace glint {

namespace {

// The scenes the tick serves, lowest layer first.
template <typename Action> void forEachOpenScene(MEngine& engine, Action action) {
    action(*engine.scenes.gameScene);
    if (engine.playScene)
        action(*engine.playScene);
    if (engine.pauseScene)
        action(*engine.pauseScene);
}

// The pointer in the scene's own coordinates: through the inverse of its camera.
void publishPointer(MScene& scene, float x, float y) {
    const SceneCamera& c = scene.camera;
    scene.cells.pointerX = Value::fromNumber((x - c.halfW - c.shiftX) / c.scaleX + c.halfW - c.offsetX);
    scene.cells.pointerY = Value::fromNumber((y - c.halfH - c.shiftY) / c.scaleY + c.halfH - c.offsetY);
}

} // namespace

void MEngine::gameTick() {
    epochTime = Value::fromNumber(wallClockSeconds());
    if (active()) {
        ++tickCount;
        tickValue = Value::fromNumber(tickCount);
        timeValue = Value::fromNumber(tickCount * 0.01);
        resources.updateVideos();
        // The animation slots: the open scenes' clocks advance in this tick.
        forEachOpenScene(*this, [](MScene& scene) { scene.clockRuns = true; });
    }
    sceneEngineState().pointerX = input.pointerX;
    sceneEngineState().pointerY = input.pointerY;
    forEachOpenScene(*this, [this](MScene& scene) { publishPointer(scene, input.pointerX, input.pointerY); });
    if (active())
        runTickPasses();
    updatePauseOverlay();
    // Only the pause overlay keeps moving while the game is paused.
    forEachOpenScene(*this, [this](MScene& scene) {
        if (active() || &scene == pauseScene)
            scene.update(true);
    });
    if (active())
        syncDisplay(display, app.options, app.platform, app.window(), app.settings);
    if (endRequested)
        forEachOpenScene(*this, [](MScene& scene) { updateHover(scene.scope); });
    clearInputEdges();
    collectGarbage();
}

void MEngine::runTickPasses() {
    script_->pointer.handled = false;
    forEachOpenScene(*this, [](MScene& scene) { runScenePasses(scene.scope); });
}

void MEngine::collectGarbage() {
    if (!started || !gcEnabled || !gcTimeout || !gcEnabled->isNumber() || std::lround(gcEnabled->number) <= 0 ||
        !gcTimeout->isNumber() || gcTimeout->number <= 0)
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
