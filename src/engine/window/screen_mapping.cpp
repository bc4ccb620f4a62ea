#include "engine/window/screen_mapping.h"

#include <algorithm>
#include <cmath>

namespace glint {

PointerMapping pointerMappingFor(const AspectResult& view, int gameWidth, int gameHeight) {
    PointerMapping mapping;
    if (!view.scaled || view.viewportWidth <= 0 || view.viewportHeight <= 0)
        return mapping;
    mapping.offsetX = static_cast<float>(view.viewportX);
    // The viewport is placed from the bottom; client pixels count from the top.
    mapping.offsetY = static_cast<float>(view.surfaceHeight - view.viewportY - view.viewportHeight);
    mapping.scaleX = static_cast<float>(gameWidth) / view.viewportWidth;
    mapping.scaleY = static_cast<float>(gameHeight) / view.viewportHeight;
    return mapping;
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
