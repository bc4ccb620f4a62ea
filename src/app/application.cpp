#include "app/application.h"

#include "app/engine.h"
#include "app/user_identity.h"
#include "engine/resources/resource.h"
#include "engine/system/memory.h"
#include "engine/window/game_window.h"
#include "game/game_property_file.h"
#include "resource/resource_manager.h"
#include "script/symbol.h"

namespace glint {

namespace {
MApplication* current = nullptr;

// "game." and the profile-list extension, beside the profile list.
std::string gamePropertyPath(const MApplication& app) {
    return app.userFolder + "/game." + app.settings.profilesListExt;
}

void loadGameProperties(GameProperties& store) {
    if (const MApplication* app = application())
        loadGamePropertyFile(store, gamePropertyPath(*app), app->settings.supportIngameSaves);
}

void saveGameProperties(GameProperties& store) {
    if (const MApplication* app = application())
        saveGamePropertyFile(store, gamePropertyPath(*app), app->settings.supportIngameSaves);
}

} // namespace

MApplication* application() { return current; }

MApplication::MApplication() {
    current = this;
    initSymbols();
    reloadConfigurations();
    settings = readGameSettings(gameConfig);
    build = buildFlagsFor(settings);
    gameProperties.loadFile = loadGameProperties;
    gameProperties.saveFile = saveGameProperties;
}

MApplication::~MApplication() {
    engine_.reset();
    resources_.reset();
    if (current == this)
        current = nullptr;
}

void MApplication::reloadConfigurations() {
    loadGameConfiguration(gameConfig);
    atlasConfig.load();
}

std::string MApplication::buildText() const { return glint::buildText(gameConfig, build); }

void MApplication::chooseSplashImages() {
    if (settings.forPortals)
        platform.splash[0] = "data/portal_logo.png";
    platform.splash[1] = "data/_interface/splash/_lumo.png";
    platform.splash[2] = "data/_interface/splash/_developer.png";
}

void MApplication::chooseIdentity() {
    userFolder = userFolderForGame(settings, build.streaming);
    chooseSplashImages();
    if (build.streaming)
        readStreamingConfig(platform, resolveDataPath("streaming_config.xml"));
    LanguageChoice language = languageForGame(gameConfig);
    windowTitle = windowTitleForGame(settings, language.suffix);
}

void MApplication::startEngine() {
    if (!resources_)
        resources_ = std::make_unique<MResourceManager>(settings.useNewVideoPlayer);
    if (engine_)
        return;
    reloadConfigurations();
    for (Value& value : carried) {
        if (!value.isNumber() && !value.isNone())
            value = Value();
    }
    engine_ = std::make_unique<MEngine>(*this, *resources_);
    engine_->initialize();
}

void MApplication::stopEngine() {
    engine_.reset();
    resources_.reset();
    // A restart builds the whole game anew on top of what this one freed.
    releaseFreeMemory();
}

void MApplication::pollInput() {
    applyInputReading(input, engine_ ? &engine_->input : nullptr, readPlatformInput(window_.get()));
}

} // namespace glint
