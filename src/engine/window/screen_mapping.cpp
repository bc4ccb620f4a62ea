#include "engine/window/screen_mapping.h"

#include <algorithm>
#include <cmath>

namespace glint {

namespace {

// Window coordinates per drawable pixel on each axis; 1 when the window
// counts in drawable pixels.
struct Density {
    double x = 1, y = 1;
};

Density densityOf(const AspectResult& view, const WindowExtent& window) {
    if (!window.known() || view.surfaceWidth <= 0 || view.surfaceHeight <= 0)
        return {};
    return {static_cast<double>(window.width) / view.surfaceWidth,
            static_cast<double>(window.height) / view.surfaceHeight};
}

// The viewport's top edge counted from the top of the surface: the
// viewport is placed from the bottom, client pixels count from the top.
int viewportTop(const AspectResult& view) { return view.surfaceHeight - view.viewportY - view.viewportHeight; }

} // namespace

PointerMapping pointerMappingFor(const AspectResult& view, int gameWidth, int gameHeight, const WindowExtent& window) {
    PointerMapping mapping;
    Density density = densityOf(view, window);
    bool samePixels = density.x == 1 && density.y == 1;
    if ((!view.scaled && samePixels) || view.viewportWidth <= 0 || view.viewportHeight <= 0)
        return mapping;
    mapping.offsetX = static_cast<float>(view.viewportX * density.x);
    mapping.offsetY = static_cast<float>(viewportTop(view) * density.y);
    mapping.scaleX = static_cast<float>(gameWidth / (view.viewportWidth * density.x));
    mapping.scaleY = static_cast<float>(gameHeight / (view.viewportHeight * density.y));
    return mapping;
}

WindowView viewForWindow(const AspectInput& asked, const WindowExtent& real) {
    AspectInput input = asked;
    if (real.known()) {
        // What the window got decides, whatever mode was asked for.
        input.fullscreen = false;
        input.windowWidth = real.pixelWidth;
        input.windowHeight = real.pixelHeight;
    }
    WindowView view;
    view.picture = computeAspect(input);
    view.pointer = pointerMappingFor(view.picture, asked.gameWidth, asked.gameHeight, real);
    return view;
}

WindowRect pictureInWindow(const AspectResult& view, const WindowExtent& window) {
    Density density = densityOf(view, window);
    int width = window.known() ? window.width : view.surfaceWidth;
    int height = window.known() ? window.height : view.surfaceHeight;
    WindowRect whole{0, 0, width, height};
    if (!view.scaled)
        return whole;
    auto at = [](double value) { return static_cast<int>(std::lround(value)); };
    int left = std::max(0, at(view.viewportX * density.x));
    int top = std::max(0, at(viewportTop(view) * density.y));
    int right = std::min(width, at((view.viewportX + view.viewportWidth) * density.x));
    int bottom = std::min(height, at((viewportTop(view) + view.viewportHeight) * density.y));
    if (right <= left || bottom <= top)
        return whole;
    return {left, top, right - left, bottom - top};
}

int gameXForClient(const PointerMapping& mapping, int clientX) {
    return static_cast<int>((clientX + 0.5f - mapping.offsetX) * mapping.scaleX);
}

int gameYForClient(const PointerMapping& mapping, int clientY) {
    return static_cast<int>((clientY + 0.5f - mapping.offsetY) * mapping.scaleY);
}

int clientXForGame(const PointerMapping& mapping, int gameX) {
    return static_cast<int>(std::lround(gameX / mapping.scaleX + mapping.offsetX));
}

int clientYForGame(const PointerMapping& mapping, int gameY) {
    return static_cast<int>(std::lround(gameY / mapping.scaleY + mapping.offsetY));
}

namespace {

int clampedUnit(float value, int limit) {
    return static_cast<int>(std::clamp(value, 0.0f, static_cast<float>(limit)));
}

} // namespace

ScissorBox scissorForClip(const AspectResult& view, int gameWidth, int gameHeight, float x1, float y1, float x2,
                          float y2) {
    int left = view.viewportWidth * clampedUnit(x1, gameWidth) / gameWidth;
    int right = view.viewportWidth * clampedUnit(x2, gameWidth) / gameWidth;
    int top = view.viewportHeight * clampedUnit(y1, gameHeight) / gameHeight;
    int bottom = view.viewportHeight * clampedUnit(y2, gameHeight) / gameHeight;
    right = std::max(right, left);
    bottom = std::max(bottom, top);
    return {left + view.viewportX, view.viewportY + view.viewportHeight - bottom, right - left, bottom - top};
}

} // namespace glint
