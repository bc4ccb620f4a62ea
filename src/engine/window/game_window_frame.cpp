#include "engine/window/game_window.h"

#include "engine/render/gl.h"
#include "engine/render/quad_batch.h"
#include "engine/render/render_state.h"
#include "engine/system/clock.h"

#include <SDL.h>

namespace glint {

namespace {

class EngineClock : public FrameClock {
public:
    int64_t nowMs() override { return clockMs(); }
    void sleepOneMs() override { SDL_Delay(1); }
};

} // namespace

void KGameWindow::frame(bool blockWhenInactive, DrawCallback drawGame, DrawCallback drawOutside, DrawCallback drawTop,
                        void* user) {
    if (!window_)
        return;
    int gameX = pointerX(), gameY = pointerY();
    bool mappingChanged = updatePointerMapping();
    if (isForeground && fullscreen) {
        clipCursor();
        if (mappingChanged)
            setPointer(gameX, gameY);
    }
    drawGame_ = drawGame;
    drawOutside_ = drawOutside;
    drawTop_ = drawTop;
    drawUser_ = user;
    render();

    justLostFocus_ = false;
    processMessages();
    if (blockWhenInactive) {
        if (focusLostWindowed)
            focusLostWindowed = false;
        else
            waitWhileInactive();
    }
    EngineClock engineClock;
    timing_.endFrame(maxFrameRate, frameClock ? *frameClock : engineClock);
    if (refullscreenPending && !justLostFocus_) {
        refullscreenPending = false;
        toggleFullscreen(true);
    }
}

void KGameWindow::render() {
    forgetTextureState();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_RECTANGLE_ARB);
    KQuadBatch::reapply();
    glDisable(GL_SCISSOR_TEST);

    glViewport(0, 0, surfaceWidth, surfaceHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, surfaceWidth, 0, surfaceHeight, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);

    // A clip left over from the last frame's top pass must not cut this one.
    glScissor(viewportX, viewportY, viewportWidth, viewportHeight);
    customClip = false;
    glEnable(GL_SCISSOR_TEST);
    glViewport(viewportX, viewportY, viewportWidth, viewportHeight);
    setView(0, 0, 0, 0, 0, 1, 1);
    if (drawGame_)
        drawGame_(drawUser_);

    restoreViewportClip();
    setView(0, 0, 0, 0, 0, 1, 1);
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, surfaceWidth, surfaceHeight);
    if (drawOutside_)
        drawOutside_(drawUser_);

    // The pointer and tooltip are clipped to the game viewport alone, never
    // to a crop window the overlay left behind.
    glScissor(viewportX, viewportY, viewportWidth, viewportHeight);
    customClip = false;
    glEnable(GL_SCISSOR_TEST);
    glViewport(viewportX, viewportY, viewportWidth, viewportHeight);
    if (drawTop_)
        drawTop_(drawUser_);
    if (presentHook)
        presentHook(presentUser);

    SDL_GL_SwapWindow(window_);
    SDL_Delay(1);
}

void KGameWindow::waitWhileInactive() {
    SDL_Event event;
    while (window_ && !isForeground && !quitRequested_) {
        if (SDL_WaitEvent(&event)) {
            dispatch(event);
            updateForeground();
        }
        timing_.reset();
    }
}

} // namespace glint
