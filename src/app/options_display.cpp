// Turning the options into the window's state: the window size before it
// opens, full screen when nothing smaller fits, and the display values.
#include "app/game_config.h"
#include "app/options.h"

#include <algorithm>
#include <cstdint>

#include "engine/window/game_window.h"
#include "script/interpreter.h"
#include "script/symbol.h"

namespace glint {

namespace {

void setNumber(Value& cell, double x) { cell = Value::fromNumber(x); }

} // namespace

bool windowFitsWorkArea(int width, int height, void* window) {
    return static_cast<const KGameWindow*>(window)->fitsInWorkArea(width, height);
}

WindowSize negotiateDisplayMode(OptionCells& cells, const PlatformSettings& platform, int gameWidth, int gameHeight,
                                FitsWorkArea fits, void* user) {
    setNumber(cells.forcedFullscreenMode, 0);
    WindowSize size{gameWidth, gameHeight};
    if (platform.forceFullScreen > 0) {
        setNumber(cells.fullscreenMode, platform.forceFullScreen);
        return size;
    }
    if (fits(gameWidth, gameHeight, user))
        return size;
    // Smaller windows of the game's shape; a game area without a height has
    // no shape to keep.
    for (int k = 0; gameHeight > 0 && 800 - 32 * k >= 480; ++k) {
        int64_t width = static_cast<int64_t>(gameWidth) * (800 - 32 * k) / gameHeight;
        size = {static_cast<int>(std::clamp<int64_t>(width, 0, INT32_MAX)), 800 - 32 * k};
        if (fits(size.width, size.height, user))
            return size;
    }
    if (platform.forceFullScreen == 0)
        return {gameWidth, gameHeight};
    if (!fullscreenWanted(cells, platform)) {
        setNumber(cells.fullscreenMode, 1);
        setNumber(cells.forcedFullscreenMode, 1);
    }
    return size;
}

void applyFullscreenOption(OptionCells& cells, const PlatformSettings& platform, const KGameWindow* window) {
    setNumber(cells.forcedFullscreenMode, 0);
    if (platform.forceFullScreen >= 0) {
        setNumber(cells.fullscreenMode, platform.forceFullScreen);
        return;
    }
    if (window && window->exists() && !fullscreenWanted(cells, platform) &&
        !window->fitsInWorkArea(window->windowWidth, window->windowHeight)) {
        setNumber(cells.fullscreenMode, 1);
        setNumber(cells.forcedFullscreenMode, 1);
    }
}

void updateDisplayValues(OptionCells& cells, const KGameWindow& window, const GameSettings& settings) {
    setNumber(cells.screenWidth, window.windowWidth);
    setNumber(cells.screenHeight, window.windowHeight);
    setNumber(cells.actualScreenWidth, window.viewportWidth);
    setNumber(cells.actualScreenHeight, window.viewportHeight);
    // The window's display is the one the game is on, full screen or not.
    setNumber(cells.desktopWidth, window.screenWidth);
    setNumber(cells.desktopHeight, window.screenHeight);
    double w = window.viewportWidth, h = window.viewportHeight;
    double gameW = settings.screenW, gameH = settings.screenH;
    double scale = 0;
    if (settings.touchPlatformLevel == 2 && gameH > 0)
        scale = h / gameH;
    else if (settings.touchPlatformLevel == 3 && gameW > 0)
        scale = w / gameW;
    bool touchLayout = scale > 0 && w > 0 && h > 0;
    setNumber(cells.cameraScaleX, touchLayout ? gameW * scale / w : 1);
    setNumber(cells.cameraScaleY, touchLayout ? gameH * scale / h : 1);
}

void syncDisplay(DisplayState& state, OptionCells& cells, const PlatformSettings& platform, KGameWindow* window,
                 const GameSettings& settings) {
    applyFullscreenOption(cells, platform, window);
    bool wish = fullscreenWanted(cells, platform);
    int aspect = aspectModeInForce(cells, platform);
    bool changed = false;
    if (wish != state.fullscreen) {
        state.fullscreen = wish;
        changed = true;
    }
    if (aspect != state.aspectMode) {
        state.aspectMode = aspect;
        changed = true;
        if (window)
            window->aspectMode = aspect;
    }
    if (changed && window && window->exists()) {
        window->toggleFullscreen(wish);
        updateDisplayValues(cells, *window, settings);
    }
}

void reassertDisplay(OptionCells& cells, const PlatformSettings& platform, KGameWindow* window,
                     const GameSettings& settings) {
    bool exists = window && window->exists();
    bool wish = fullscreenWanted(cells, platform);
    if (exists && wish &&
        (window->viewportWidth != window->screenWidth || window->viewportHeight != window->screenHeight)) {
        window->toggleFullscreen(false);
        window->toggleFullscreen(true);
        updateDisplayValues(cells, *window, settings);
    }
    applyFullscreenOption(cells, platform, window);
    if (cells.forcedFullscreenMode.isNumber() && cells.forcedFullscreenMode.number > 0.5) {
        if (exists)
            window->toggleFullscreen(fullscreenWanted(cells, platform));
        if (globalScope())
            callGlobalEvent(sym::on_forced_fullscreen_mode(), nullptr);
        if (exists)
            updateDisplayValues(cells, *window, settings);
    }
}

} // namespace glint
