// Time and ticks: each frame adds its scaled delta to the game time and
// runs one game tick per 10 ms boundary crossed; during start-up a frame
// runs one splash or loading step instead.
#include "app/application.h"
#include "app/engine.h"

#include "engine/window/game_window.h"

#include <cmath>

namespace glint {

int ticksBetween(double oldTimeMs, double newTimeMs) {
    // Truncating the negated tenths floors non-negative times.
    return static_cast<int>(std::trunc(oldTimeMs * -0.1) - std::trunc(newTimeMs * -0.1));
}

void MEngine::advance() {
    KGameWindow* window = app.window();
    advanceBy(window ? window->timing().lastFrameTime() : 0);
}

void MEngine::advanceBy(double windowDeltaMs) {
    frameDeltaMs = paused() ? 0 : windowDeltaMs;
    double speed = 1;
    if (engineSpeed)
        speed = engineSpeed->isNumber() ? engineSpeed->number : 0;
    double old = gameTimeMs;
    gameTimeMs += speed * frameDeltaMs;
    int ticks = ticksBetween(old, gameTimeMs);

    if (phase >= kFirstSplashPhase) {
        if (!paused())
            splashTimer += ticks;
        ++frameCounter;
        splashStep();
    } else if (phase >= 1) {
        if (inForeground()) {
            ++frameCounter;
            loadingStep();
        }
    } else if (paused()) {
        // The tick of the frame that lost the focus still runs once.
        if (!focused && wasFocused) {
            ++frameCounter;
            gameTick();
        }
    } else {
        for (int i = 0; i < ticks; ++i) {
            ++frameCounter;
            gameTick();
        }
    }
}

void MEngine::splashStep() {
    while (phase >= kFirstSplashPhase && (!splash[phase - kFirstSplashPhase] || splashTimer >= kSplashTicks)) {
        phase = phase == kLastSplashPhase ? 1 : phase + 1;
        splashTimer = 0;
    }
    if (phase >= kFirstSplashPhase) {
        if (!pausedByFocus && !inForeground()) {
            pausedByFocus = true;
            pause();
        }
        if (pausedByFocus && input.consumeClick()) {
            pausedByFocus = false;
            resume();
        }
        // A click while the image is fully shown skips to its fade-out.
        if (!paused() && splashTimer >= 100 && splashTimer < 300 && input.consumeClick())
            splashTimer = 300;
    }
    updatePauseOverlay();
    clearInputEdges();
}

} // namespace glint
