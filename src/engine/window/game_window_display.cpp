#include "engine/window/game_window.h"

#include "engine/render/gl.h"
#include "engine/render/quad_batch.h"
#include "engine/system/log.h"
#include "engine/window/cursor_mode.h"
#include "engine/window/system_cursor.h"
#include "engine/window/window_extent.h"

#include <SDL.h>

namespace glint {

namespace {

int displayOf(SDL_Window* window) {
    int display = window ? SDL_GetWindowDisplayIndex(window) : 0;
    return display >= 0 ? display : 0;
}

// The frame the window manager puts around a client area; unknown (zero)
// until the window is mapped.
struct Borders {
    int top = 0, left = 0, bottom = 0, right = 0;
};

Borders bordersOf(SDL_Window* window) {
    Borders borders;
    if (!window || SDL_GetWindowBordersSize(window, &borders.top, &borders.left, &borders.bottom, &borders.right) != 0)
        return Borders{};
    return borders;
}

SDL_Rect workArea(SDL_Window* window) {
    SDL_Rect area{0, 0, 0, 0};
    if (SDL_GetDisplayUsableBounds(displayOf(window), &area) != 0)
        SDL_GetDisplayBounds(displayOf(window), &area);
    return area;
}

} // namespace

void KGameWindow::readDisplaySettings() {
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(displayOf(window_), &mode) != 0)
        return;
    desktopBits = 32;
    screenWidth = mode.w;
    screenHeight = mode.h;
    if (mode.refresh_rate > 0)
        refreshRate = mode.refresh_rate;
}

void KGameWindow::applyAspect(const WindowExtent& real) {
    AspectInput input;
    input.gameWidth = gameWidth;
    input.gameHeight = gameHeight;
    input.windowWidth = windowWidth;
    input.windowHeight = windowHeight;
    input.desktopWidth = screenWidth;
    input.desktopHeight = screenHeight;
    input.fullscreen = fullscreen;
    input.aspectMode = aspectMode;
    AspectResult view = viewForWindow(input, real).picture;
    viewportX = view.viewportX;
    viewportY = view.viewportY;
    viewportWidth = view.viewportWidth;
    viewportHeight = view.viewportHeight;
    surfaceWidth = view.surfaceWidth;
    surfaceHeight = view.surfaceHeight;
    scaleX = view.scaleX;
    scaleY = view.scaleY;
    scaled = view.scaled;
    extent_ = real.known() ? real : WindowExtent{surfaceWidth, surfaceHeight, surfaceWidth, surfaceHeight};
}

WindowExtent KGameWindow::askedExtent() const {
    int width = fullscreen ? screenWidth : windowWidth, height = fullscreen ? screenHeight : windowHeight;
    return {width, height, width, height};
}

void KGameWindow::followWindowSize() {
    if (!window_)
        return;
    WindowExtent real = measureWindow(window_);
    if (!real.known() || real == extent_)
        return;
    // A full screen refused or not granted yet, a window the desktop sized
    // itself: the game fits what it got rather than what it asked for.
    WindowExtent asked = askedExtent();
    if (real.width != asked.width || real.height != asked.height)
        logMessage("OpenGL: the window is %dx%d, not the %dx%d asked for; fitting the game to it", real.width,
                   real.height, asked.width, asked.height);
    applyAspect(real);
    glViewport(viewportX, viewportY, viewportWidth, viewportHeight);
    updatePointerMapping();
    if (fullscreen && isForeground)
        clipCursor();
    KInputEvent changed;
    changed.type = K_EVENT_VIEW_CHANGED;
    changed.message = SDL_WINDOWEVENT;
    sendEvent(changed);
}

void KGameWindow::centreInWorkArea() {
    SDL_Rect area = workArea(window_);
    Borders borders = bordersOf(window_);
    int outerWidth = windowWidth + borders.left + borders.right;
    int outerHeight = windowHeight + borders.top + borders.bottom;
    SDL_SetWindowPosition(window_, area.x + (area.w - outerWidth) / 2 + borders.left,
                          area.y + (area.h - outerHeight) / 2 + borders.top);
}

bool KGameWindow::fitsInWorkArea(int width, int height) const {
    SDL_Rect area = workArea(window_);
    Borders borders = bordersOf(window_);
    return width + borders.left + borders.right <= area.w && height + borders.top + borders.bottom <= area.h;
}

void KGameWindow::clipCursor() {
    if (!window_)
        return;
    WindowRect area = pictureInWindow(currentView(), extent_);
    SDL_Rect box{area.x, area.y, area.width, area.height};
    SDL_SetWindowMouseRect(window_, &box);
}

void KGameWindow::releaseCursorClip() {
    if (window_)
        SDL_SetWindowMouseRect(window_, nullptr);
}

bool KGameWindow::toggleFullscreen(bool on) {
    if (!window_)
        return false;
    int gameX = pointerX(), gameY = pointerY();
    releaseCursorClip();
    fullscreen = on;
    readDisplaySettings();
    applyAspect(WindowExtent{});

    if (on) {
        logMessage("OpenGL: toggling display mode to fullscreen");
        SDL_RestoreWindow(window_);
        if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0)
            logMessage("OpenGL: SDL_SetWindowFullscreen ERROR (%s)", SDL_GetError());
        logMessage("OpenGL: toggled to fullscreen mode, %dx%dx%d", screenWidth, screenHeight, desktopBits);
        SDL_DisableScreenSaver();
        followWindowSize();
        glViewport(viewportX, viewportY, viewportWidth, viewportHeight);
        clipCursor();
    } else {
        logMessage("OpenGL: toggling to windowed mode");
        SDL_SetWindowFullscreen(window_, 0);
        SDL_SetWindowSize(window_, windowWidth, windowHeight);
        readDisplaySettings();
        logMessage("SDL_GetDesktopDisplayMode: ok");
        centreInWorkArea();
        SDL_ShowWindow(window_);
        SDL_RaiseWindow(window_);
        SDL_EnableScreenSaver();
        followWindowSize();
        glViewport(viewportX, viewportY, viewportWidth, viewportHeight);
    }

    projectionWidth = gameWidth;
    projectionHeight = gameHeight;
    resetRenderState();
    KQuadBatch::reapply();
    updatePointerMapping();
    setPointer(gameX, gameY);
    logMessage("reinitialize: ok");
    frame(false, nullptr, nullptr, nullptr, nullptr);
    frame(false, nullptr, nullptr, nullptr, nullptr);
    if (scaled) {
        glScissor(viewportX, viewportY, viewportWidth, viewportHeight);
        glEnable(GL_SCISSOR_TEST);
    }
    logMessage("GL reset: ok");
    if (systemCursorShown && drawnCursorMode()) {
        setSystemCursorVisible(false);
        systemCursorShown = false;
    }
    applySwapInterval();
    timing_.reset();
    processMessages();
    return true;
}

void KGameWindow::showDriverError(const char* caption) {
    KGameWindow* window = current();
    if (drawnCursorMode())
        showSystemCursor();
    if (window && window->fullscreen) {
        window->toggleFullscreen(false);
        window->refullscreenPending = true;
    }
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, caption ? caption : "",
                             "An error occurred while initializing the game.\n"
                             "Please update your graphics driver and try again.",
                             nullptr);
    if (drawnCursorMode())
        hideSystemCursor();
}

} // namespace glint
