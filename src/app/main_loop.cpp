// The main loop: the window is created first; then every frame makes sure
// a resource manager and an engine exist, pumps messages, polls the input,
// advances the engine and lets the window draw the three passes.
#include "app/application.h"
#include "app/engine.h"

#include "engine/render/quad_batch.h"
#include "engine/resources/resource.h"
#include "engine/sound/sound_object.h"
#include "engine/system/files.h"
#include "engine/system/log.h"
#include "engine/window/game_window.h"
#include "resource/cfg_value.h"
#include "scene/activity.h"

#include <cmath>

namespace glint {

namespace {

// The passes draw only while both central objects exist.
MEngine* drawingEngine() { return application() ? application()->engine() : nullptr; }

void drawGamePass(void*) {
    if (MEngine* engine = drawingEngine())
        engine->drawGame();
}

void drawOutsidePass(void*) {
    if (MEngine* engine = drawingEngine())
        engine->drawOutside();
}

void drawTopPass(void*) {
    if (MEngine* engine = drawingEngine())
        engine->drawTop();
}

bool forwardWindowEvent(const KInputEvent& event, void* user) {
    return static_cast<MApplication*>(user)->onWindowEvent(event);
}

struct PresentContext {
    MApplication* app;
    int frame;
};

void framePresented(void* user) {
    auto* context = static_cast<PresentContext*>(user);
    if (context->app->driver && context->app->window())
        context->app->driver->framePresented(context->frame, *context->app->window());
}

} // namespace

bool MApplication::createWindow() {
    gameProperties.load();
    loadOptions(options, platform, userFolder, settings, build.touch);
    logMessage("System: using OpenGL renderer");
    window_ = std::make_unique<KGameWindow>();
    window_->aspectMode = aspectModeInForce(options, platform);
    window_->frameClock = frameClock;
    int gameWidth = static_cast<int>(std::round(settings.screenW));
    int gameHeight = static_cast<int>(std::round(settings.screenH));
    WindowSize size{settings.windowWidth, settings.windowHeight};
    // A driven run uses a window of exactly the game size.
    if (!driver && window_->startVideo())
        size = negotiateDisplayMode(options, platform, settings.windowWidth, settings.windowHeight,
                                    windowFitsWorkArea, window_.get());
    if (!window_->create(size.width, size.height, gameWidth, gameHeight, windowTitle.c_str()))
        return false;
    if (!driver && fullscreenWanted(options, platform))
        window_->toggleFullscreen(true);
    updateDisplayValues(options, *window_, settings);
    window_->eventCallback = forwardWindowEvent;
    window_->eventUser = this;
    window_->maxFrameRate = 0;
    logMessage("setMaxFrameRate: ok");
    return true;
}

bool MApplication::run() {
    if (!createWindow()) {
        window_.reset();
        return false;
    }
    KQuadBatch::setup();
    for (int frame = 1; !window_->quitRequested(); ++frame) {
        runFrame(frame);
        if (driver && driver->finished(frame))
            break;
    }
    if (settings.isSurvey) {
        char url[kCfgValueSize] = {};
        readCfgValue("data/survey.url", "URL", url);
        if (*url)
            openUrl(url);
    }
    shutdown();
    return true;
}

void MApplication::runFrame(int frame) {
    if (!engine_) {
        startEngine();
        engine_->display = {fullscreenWanted(options, platform), aspectModeInForce(options, platform)};
    }
    if (driver)
        driver->beginFrame(frame);
    window_->processMessages();
    pollInput();
    if (MEngine* engine = engine_.get()) {
        engine->resumeAfterFocusLoss();
        engine->advance();
        engine->settleFocusChange();
        engine->processWindowEvents();
        if (engine->endRequested) {
            if (engine->restartRequested)
                stopEngine();
            else
                window_->requestClose();
        }
    }
    PresentContext context{this, frame};
    window_->presentHook = framePresented;
    window_->presentUser = &context;
    // A driven run never waits for the focus: its input comes from the driver.
    bool mayWait = !driver && (!engine_ || engine_->phase == 0);
    window_->frame(mayWait, drawGamePass, drawOutsidePass, drawTopPass, nullptr);
    window_->presentHook = nullptr;
}

void MApplication::shutdown() {
    stopEngine();
    soundShutdown();
    resourceShutdown();
    window_->destroy();
    window_.reset();
    saveOptions(options, userFolder);
}

} // namespace glint
