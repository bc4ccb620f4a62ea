#include "engine/window/viewport_fit.h"

#include "engine/system/log.h"

#include <cmath>

namespace glint {

namespace {

// Ratios closer than this count as the same shape.
constexpr double kRatioTolerance = 0.01;

// floor(ratio x size) of the exact ratio: the axis that the picture fits
// must come out as the whole target, which float rounding could miss by one.
int scaledSize(int target, int game, int size) {
    return static_cast<int>(std::floor(static_cast<double>(target) * size / game + 1e-9));
}

} // namespace

AspectResult computeAspect(const AspectInput& input) {
    int targetWidth = input.fullscreen ? input.desktopWidth : input.windowWidth;
    int targetHeight = input.fullscreen ? input.desktopHeight : input.windowHeight;
    if (input.fullscreen && (targetWidth <= 0 || targetHeight <= 0)) {
        // The desktop size could not be read: a full screen of nothing would
        // show nothing, so the picture keeps the window's size.
        logMessage("OpenGL: WARNING: desktop size unknown, using the window size %dx%d", input.windowWidth,
                   input.windowHeight);
        targetWidth = input.windowWidth;
        targetHeight = input.windowHeight;
    }
    AspectResult result;
    result.viewportWidth = input.windowWidth;
    result.viewportHeight = input.windowHeight;
    result.surfaceWidth = targetWidth;
    result.surfaceHeight = targetHeight;
    logMessage("OpenGL: game screen size: %dx%d", input.gameWidth, input.gameHeight);
    logMessage("OpenGL: desktop size: %dx%d", targetWidth, targetHeight);

    double gameRatio = static_cast<double>(input.gameWidth) / input.gameHeight;
    double targetRatio = targetHeight > 0 ? static_cast<double>(targetWidth) / targetHeight : gameRatio;
    if (input.aspectMode != K_ASPECT_STRETCH && std::fabs(targetRatio - gameRatio) >= kRatioTolerance) {
        bool wider = targetRatio > gameRatio;
        if (wider != (input.aspectMode == K_ASPECT_FIT)) {
            logMessage("OpenGL: desktop is narrow compared to game window");
            result.scaleX = result.scaleY = static_cast<float>(targetWidth) / input.gameWidth;
            result.viewportWidth = scaledSize(targetWidth, input.gameWidth, input.gameWidth);
            result.viewportHeight = scaledSize(targetWidth, input.gameWidth, input.gameHeight);
            result.viewportX = 0;
            result.viewportY = (targetHeight - result.viewportHeight) / 2;
        } else {
            logMessage("OpenGL: desktop is widescreen compared to game window");
            result.scaleX = result.scaleY = static_cast<float>(targetHeight) / input.gameHeight;
            result.viewportWidth = scaledSize(targetHeight, input.gameHeight, input.gameWidth);
            result.viewportHeight = scaledSize(targetHeight, input.gameHeight, input.gameHeight);
            result.viewportX = (targetWidth - result.viewportWidth) / 2;
            result.viewportY = 0;
        }
        result.scaled = true;
        logMessage("OpenGL: enabling aspect correction, actual game window resized to %dx%d", result.viewportWidth,
                   result.viewportHeight);
        return result;
    }

    logMessage("OpenGL: desktop and game window are in the same aspect ratio");
    result.viewportX = result.viewportY = 0;
    result.viewportWidth = targetWidth;
    result.viewportHeight = targetHeight;
    result.scaleX = static_cast<float>(targetWidth) / input.gameWidth;
    result.scaleY = static_cast<float>(targetHeight) / input.gameHeight;
    result.scaled = targetWidth != input.gameWidth || targetHeight != input.gameHeight;
    logMessage("OpenGL: disabling aspect correction, actual game window resized to %dx%d", targetWidth, targetHeight);
    return result;
}

} // namespace glint
