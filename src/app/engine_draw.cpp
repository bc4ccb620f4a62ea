// The three drawing passes of a frame and the start-up screens.
#include "app/application.h"
#include "app/engine.h"

#include "engine/render/quad_batch.h"
#include "engine/system/numbers.h"
#include "engine/render/texture.h"
#include "engine/window/game_window.h"
#include "resource/texture.h"
#include "scene/element.h"

#include <algorithm>

namespace glint {

namespace {

constexpr uint32_t kOpaqueWhite = 0xFFFFFFFF;

uint32_t blackWithOpacity(float opacity) {
    auto alpha = static_cast<uint32_t>(std::clamp(opacity, 0.0f, 1.0f) * 255.0f + 0.5f);
    return alpha << 24;
}

void flushBatch() {
    if (KQuadBatch* batch = KQuadBatch::current())
        batch->flush(false);
}

float numberOr(const Value& value, float fallback) {
    return value.isNumber() ? static_cast<float>(value.number) : fallback;
}

} // namespace

void MEngine::drawGame() {
    if (endRequested && !restartRequested)
        return;
    if (KGameWindow* window = app.window())
        window->resetRenderState();
    if (endRequested)
        fillGameArea(blackWithOpacity(1));
    else if (phase >= kFirstSplashPhase)
        drawSplashScreen();
    else if (phase != 0)
        drawLoadingScreen();
    else if (!switching() && playScene() && navigation->visibility > 0)
        navigation->drawLayers();
    flushBatch();
}

// The transition colour veils the game while a goto fades.
void MEngine::drawOutside() {
    if (phase == 0 && navigation->visibility < 1) {
        float grey = navigation->transitionColour;
        fillGameArea(packColor(grey, grey, grey, 1 - navigation->visibility));
    }
    if (pauseScene && pauseScene->prepared)
        drawLayer(*pauseScene, 1, 0);
    flushBatch();
}

void MEngine::drawTop() {
    drawPointer();
    flushBatch();
}

void MEngine::fillGameArea(uint32_t color) {
    KQuadBatch* batch = KQuadBatch::current();
    if (!batch || !plainWhite)
        return;
    batch->setState(plainWhite, K_BLEND_ALPHA, K_PRIMITIVE_QUADS);
    batch->addRect(0, 0, 1, 1, 0, 0, app.settings.screenW, app.settings.screenH, color);
}

void MEngine::drawSplashScreen() {
    KQuadBatch* batch = KQuadBatch::current();
    MTexture* texture = splash[phase - kFirstSplashPhase];
    if (!batch || !texture || !texture->image)
        return;
    KTexture* image = texture->image;
    auto width = static_cast<float>(image->info.width), height = static_cast<float>(image->info.height);
    if (width <= 0 || height <= 0)
        return;
    float scaleX = app.settings.screenW / width * numberOr(app.options.cameraScaleX, 1);
    float scaleY = app.settings.screenH / height * numberOr(app.options.cameraScaleY, 1);
    batch->setState(image, K_BLEND_ALPHA, K_PRIMITIVE_QUADS);
    batch->addRect(0, 0, width, height, 0, 0, scaleX, scaleY, kOpaqueWhite);
    if (splashTimer < 100)
        fillGameArea(blackWithOpacity(1.0f - static_cast<float>(splashTimer) * 0.01f));
    else if (splashTimer > 300)
        fillGameArea(blackWithOpacity(static_cast<float>(splashTimer - 300) * 0.01f));
}

// The bar is revealed from the left as the progress grows, the glow rides
// on its right end, and the continue button waits for the last phase. The
// loading scene shows them once scenes draw.
void MEngine::drawLoadingScreen() {
    if (!loadingScene)
        return;
    float progress = loadingProgress();
    if (MElement* bar = loadingScene->findElement(sym::bar())) {
        const MTexture* image = bar->visual ? bar->visual->image.texture : nullptr;
        float width = image && image->drawWidth() > 0 ? image->drawWidth() : app.settings.screenW;
        // From phase 9 on the whole bar shows; the glow keeps to the progress.
        float shown = phase >= 9 ? 1 : progress;
        bar->setProperty(sym::crop_offset_x(), Value::fromNumber(-width + width * shown));
        if (MElement* glow = loadingScene->findElement(sym::glow())) {
            glow->channels[kChannelX] = bar->channels[kChannelX] - bar->pivotX * width + width * progress;
            glow->markTransformDirty();
        }
    }
    if (MElement* button = loadingScene->findElement(sym::loading_continue()))
        showElement(*button, phase == 11 && app.settings.clickAfterLoading);
    loadingScene->clockRuns = true;
    loadingScene->update(true);
    drawLayer(*loadingScene, 1, 0);
}

void MEngine::drawLayer(MScene& scene, float opacity, float darkness) {
    scene.collectLayer(opacity, darkness);
    scene.draw();
}

} // namespace glint
