// Pausing (counted), focus changes and the end of a run.
#include "app/application.h"
#include "app/engine.h"

#include "engine/sound/sound_object.h"
#include "engine/window/game_window.h"
#include "resource/resource_manager.h"
#include "scene/element.h"

namespace glint {

void showElement(MElement& element, bool shown) {
    if (element.hasFlag(kElementVisible) != shown)
        element.setShown(shown);
}

void MEngine::updatePauseOverlay() {
    if (!pauseScene)
        return;
    bool shown = paused() && (phase == 0 || phase >= kFirstSplashPhase);
    for (Symbol* name : {sym::paused(), sym::paused_text()}) {
        if (MElement* element = pauseScene->findElement(name))
            showElement(*element, shown);
    }
}

void MEngine::pause() {
    if (++pauseCount != 1)
        return;
    pointer.dropDraggedObject();
    KSoundObject::pauseAll();
    resources.pauseVideos();
    clearInputEdges();
}

void MEngine::resume() {
    if (--pauseCount < 0) {
        pauseCount = 0;
        return;
    }
    if (pauseCount != 0)
        return;
    KSoundObject::clearGlobalPause();
    KSoundObject::resumeAll();
    resources.resumeVideos();
    clearInputEdges();
    pointer.pressTarget = nullptr;
}

void MEngine::resumeAfterFocusLoss() {
    if (!pausedByFocus || !focused || !wasFocused || !inForeground())
        return;
    bool touch = app.build.touch;
    bool loadingPhase = phase >= 1 && phase <= 99;
    if (!loadingPhase && !input.buttonPressed[0] && !touch)
        return;
    if (!touch)
        input.buttonPressed[0] = 0;
    pausedByFocus = false;
    resume();
}

void MEngine::settleFocusChange() {
    if (!focusChangePending)
        return;
    if (focused != wasFocused) {
        if (focused) {
            clearInputEdges();
            pointer.pressTarget = nullptr;
            if (KGameWindow* window = app.window())
                window->resetTiming();
            resumeAfterFocusLoss();
        } else if (!pausedByFocus) {
            pausedByFocus = true;
            pause();
        }
    }
    wasFocused = focused;
    focusChangePending = false;
}

void MEngine::focusGained() {
    focusChangePending = true;
    focused = true;
    // Sounds the pause stopped stay stopped until the resume.
    KSoundObject::clearGlobalPause();
    reassertDisplay(app.options, app.platform, app.window(), app.settings);
    clearInputEdges();
    pointer.pressTarget = nullptr;
    if (KGameWindow* window = app.window())
        window->resetTiming();
}

void MEngine::processWindowEvents() {
    while (!windowEvents.empty()) {
        int32_t code = windowEvents.front();
        windowEvents.pop_front();
        switch (code) {
        case kEventActivated:
            if (focusChangePending) {
                windowEvents.push_front(code); // after the main loop has seen the last change
                return;
            }
            if (!focused)
                focusGained();
            break;
        case kEventDeactivated:
            if (focusChangePending) {
                windowEvents.push_front(code);
                return;
            }
            if (focused) {
                focusChangePending = true;
                focused = false;
                if (!pausedByFocus) {
                    pausedByFocus = true;
                    pause();
                }
            }
            break;
        case kEventPauseRequest: pause(); break;
        case kEventResumeRequest: resume(); break;
        default: break;
        }
    }
}

void MEngine::requestEnd(bool restart, const char* restartScene, const char* restartLoadingScene) {
    restartRequested = restart;
    endRequested = true;
    waiting = true;
    app.firstStart = false;
    restartSceneName() = restartScene ? restartScene : "";
    restartLoadingSceneName() = restartLoadingScene ? restartLoadingScene : "";
}

} // namespace glint
