#include "engine/window/game_window.h"

#include "engine/window/cursor_mode.h"
#include "engine/window/event_translate.h"
#include "engine/window/key_state.h"
#include "engine/window/system_cursor.h"

#include <SDL.h>

namespace glint {

bool KGameWindow::processMessages() {
    SDL_Event event;
    while (SDL_PollEvent(&event))
        dispatch(event);
    // Size and display changes arrive as events, but a desktop that grants
    // full screen late or not at all sends none that tell the real size.
    followWindowSize();
    updateForeground();
    return isForeground;
}

void KGameWindow::updateForeground() {
    if (!window_ || hasFocus_ == isForeground)
        return;
    isForeground = hasFocus_;
    KInputEvent change;
    change.message = SDL_WINDOWEVENT;
    int clientX = 0, clientY = 0;
    clientPointer(&clientX, &clientY);
    change.x = gameXForClient(mapping_, clientX);
    change.y = gameYForClient(mapping_, clientY);
    if (isForeground) {
        if (fullscreen)
            toggleFullscreen(true);
        else if (drawnCursorMode())
            setSystemCursorVisible(false);
        change.type = K_EVENT_FOREGROUND;
    } else {
        justLostFocus_ = true;
        if (fullscreen)
            SDL_MinimizeWindow(window_);
        releaseCursorClip();
        if (!fullscreen) {
            if (drawnCursorMode())
                setSystemCursorVisible(true);
            focusLostWindowed = true;
        }
        change.type = K_EVENT_BACKGROUND;
    }
    sendEvent(change);
}

bool KGameWindow::sendEvent(const KInputEvent& event) {
    if (event.type == K_EVENT_WHEEL)
        lastWheelDelta_ = event.wheelDelta;
    return !eventCallback || eventCallback(event, eventUser);
}

void KGameWindow::dispatch(const SDL_Event& event) {
    if (messageHook && !messageHook(this, event))
        return;
    if (event.type == SDL_MOUSEBUTTONDOWN)
        latchButtonPress(event.button.button == SDL_BUTTON_RIGHT ? 1 : event.button.button == SDL_BUTTON_LEFT ? 0 : -1);
    int clientX = 0, clientY = 0;
    clientPointer(&clientX, &clientY);
    bool handled = true;
    for (const KInputEvent& input : translateEvent(event, mapping_, clientX, clientY))
        handled = sendEvent(input) && handled;
    if (!handled)
        return;

    switch (event.type) {
    case SDL_QUIT: quitRequested_ = true; break;
    case SDL_WINDOWEVENT:
        switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE: quitRequested_ = true; break;
        case SDL_WINDOWEVENT_FOCUS_GAINED: hasFocus_ = true; break;
        case SDL_WINDOWEVENT_FOCUS_LOST: hasFocus_ = false; break;
        case SDL_WINDOWEVENT_LEAVE:
            // The pointer went onto the frame or off the window.
            if (!fullscreen) {
                if (drawnCursorMode())
                    setSystemCursorVisible(true);
                systemCursorShown = true;
            }
            break;
        default: break;
        }
        break;
    case SDL_MOUSEMOTION:
        if (!fullscreen && systemCursorShown && isForeground) {
            if (drawnCursorMode())
                setSystemCursorVisible(false);
            systemCursorShown = false;
        }
        break;
    default: break;
    }
}

} // namespace glint
