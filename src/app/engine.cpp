#include "app/engine.h"
#include "game/sound_commands.h"
#include "game/sound_player.h"

#include "app/application.h"
#include "app/option_commands.h"
#include "app/user_identity.h"
#include "engine/render/texture.h"
#include "engine/resources/resource.h"
#include "engine/system/system.h"
#include "engine/window/cursor_mode.h"
#include "engine/window/game_window.h"
#include "engine/window/system_cursor.h"
#include "resource/resource_manager.h"
#include "resource/texture.h"
#include "game/game_property_commands.h"
#include "game/hint_commands.h"
#include "game/hints.h"
#include "game/inventory.h"
#include "game/inventory_commands.h"
#include "game/inventory_particles.h"
#include "game/navigation_commands.h"
#include "game/picking.h"
#include "game/profile_commands.h"
#include "game/profiles.h"
#include "game/pointer_commands.h"
#include "scene/activity.h"
#include "scene/element.h"
#include "scene/render_commands.h"
#include "scene/element_commands.h"
#include "scene/particle_effects.h"
#include "scene/scene_engine_state.h"
#include "script/commands.h"
#include "script/file_commands.h"
#include "script/script_system.h"
#include "text/localization.h"
#include "text/typed_chars.h"

#include <cmath>

namespace glint {

namespace {

MEngine* current = nullptr;

// #!key in scripts: the game configuration, read and written in place.
bool readConfiguration(Symbol* key, Value& out) {
    const Value* value = application() ? application()->gameConfig.find(key) : nullptr;
    if (value)
        out = *value;
    return value != nullptr;
}

bool writeConfiguration(Symbol* key, const Value& value) {
    return application() && application()->gameConfig.replace(key, value);
}

void endRun(bool restart, const char* scene, const char* loadingScene) {
    if (MEngine* running = engine())
        running->requestEnd(restart, scene, loadingScene);
}

} // namespace

MEngine* engine() { return current; }

std::string& restartSceneName() {
    static std::string name;
    return name;
}

std::string& restartLoadingSceneName() {
    static std::string name;
    return name;
}

MEngine::MEngine(MApplication& application, MResourceManager& resourceManager)
    : app(application), resources(resourceManager),
      script_(std::make_unique<ScriptSystem>(scenes.gameScene)) {
    current = this;
    script_->configuration = {readConfiguration, writeConfiguration};
    script_->endRequest = endRun;
    script_->reportNonSerializable = app.settings.reportNonSerializableVariables;
    script_->downloads.waitForTransfers = app.driver != nullptr; // headless runs repeat exactly
}

MEngine::~MEngine() {
    releaseSplashTextures();
    if (picking) {
        picking->cancel();
        bindPicking(nullptr, inventory.get());
    }
    if (inventory)
        releaseInventoryParticles(*inventory);
    releaseFreeEffects();
    if (sceneEngineState().fonts == &fonts)
        sceneEngineState().fonts = nullptr;
    registerNavigationCommands(nullptr);
    registerProfileCommands(nullptr, nullptr);
    registerSoundCommands(nullptr);
    soundPlayer.reset(); // stops every sound and the music
    registerPointerCommands(nullptr, nullptr);
    registerInventoryCommands(nullptr);
    registerHintCommands(nullptr);
    registerGamePropertyCommands(nullptr);
    registerOptionCommands(nullptr);
    registerFileCommands(nullptr);
    if (current == this)
        current = nullptr;
}

void MEngine::initialize() {
    loading = true;
    initializing = Value::fromNumber(1);
    resources.setMode(kLoadModeStartup);
    // The drawn pointer until a look asks for the system cursor.
    if (!drawnCursorMode()) {
        hideSystemCursor();
        setDrawnCursorMode(true);
    }
    loadCharacterTable();
    input.clearAll();
    hotspotSizeIncrement = app.gameConfig.getFloat(sym::hotspot_size_increment(), 0);
    sceneEngineState() = SceneEngineState{};
    readSceneConfiguration(sceneEngineState(), app.gameConfig);
    shareDrawingSettings();
    setVideoPlaybackPreload(app.settings.videoPlaybackPreload);

    buildSceneRegistry();
    scenes.loadAtlases(sceneContext());
    loadLocalization(app.gameConfig, languageSuffix().c_str());
    setUpSystemScenes();
    createNavigation();
    soundPlayer = std::make_unique<MSoundPlayer>(resources, app.options, app.gameConfig, *navigation);
    inventory = std::make_unique<MInventory>(app, scenes, resources, *navigation, pointer, fonts);
    pointer.inventory = inventory.get();
    hints = std::make_unique<MHints>(scenes, *navigation, *inventory);
    installInventoryParticles(*inventory);
    loadPointerCursors(pointerCursors, scenes, sceneLoadContext());
    registerBuiltinCommands();
    registerRenderCommands();
    registerNavigationCommands(navigation.get());
    registerSoundCommands(soundPlayer.get());
    pulseCurve = PulseCurve::fromConfiguration(app.gameConfig);
    registerPointerCommands(&pointer, &pulseCurve);
    registerInventoryCommands(inventory.get());
    picking = std::make_unique<MPicking>(app.gameConfig, scenes, *inventory, pulseCurve);
    bindPicking(picking.get(), inventory.get());
    registerHintCommands(hints.get());
    registerElementCommands();
    registerParticleCommands();
    registerGamePropertyCommands(&app.gameProperties);
    registerOptionCommands(&app);
    fileFolders = {dataPath(), app.userFolder};
    registerFileCommands(&fileFolders);
    createProfiles();

    if (KGameWindow* window = app.window())
        window->clearTiming();
    focused = wasFocused = true;
    phase = 1;
    if (app.firstStart) {
        app.firstStart = false;
        phase = kFirstSplashPhase;
    }
    if (std::lround(app.gameConfig.getFloat(sym::BuildForLUMO(), 0)) != 0)
        phase = 1;
    loadTotal = 8 * static_cast<int32_t>(scenes.scenes().size());
    splashTimer = loadedCount = loadedCountAtStepStart = 0;
    resources.setMode(kLoadModeQueue);
}

void MEngine::setUpSystemScenes() {
    std::string& handedOver = restartLoadingSceneName();
    loadingScene = findScene(intern(handedOver.empty() ? "loading" : handedOver.c_str()));
    handedOver.clear();
    pauseScene = findScene(intern("pause"));
    // The loading screen is up before anything else loads.
    SceneLoadContext context = sceneLoadContext();
    for (MScene* scene : {loadingScene, pauseScene}) {
        if (scene) {
            scene->load(context);
            scene->prepare(context);
            scene->acquireResources(context);
        }
    }
    // Solid fills (splash fades, the restart frame) need a texture to tint;
    // without a window nothing is drawn.
    const uint32_t white = 0xFFFFFFFF;
    if (app.window()) {
        ownWhite_ = std::make_unique<KTexture>();
        if (ownWhite_->createFromPixels(&white, 1, 1, 0, 0, false))
            plainWhite = ownWhite_.get();
    }
    setUpPlainTextures(context);
    if (app.window())
        createSplashTextures();
}

void MEngine::shareDrawingSettings() {
    SceneEngineState& state = sceneEngineState();
    state.screenW = app.settings.screenW;
    state.screenH = app.settings.screenH;
    state.fonts = &fonts;
    state.mergeTextKeyAndText = app.settings.mergeTextKeyAndText;
    state.fontScaling = app.settings.fontScaling;
    state.globalFontScaling = app.settings.globalFontScaling;
}

// The "white" and "black" of the scene "images" are the plain textures:
// flat colours tint the white one, and both count as opaque.
void MEngine::setUpPlainTextures(const SceneLoadContext& context) {
    SceneEngineState& state = sceneEngineState();
    if (MScene* images = findScene(sym::images())) {
        images->load(context);
        images->prepare(context);
        images->acquireResources(context);
        auto textureOf = [images](Symbol* name) -> const MTexture* {
            MElement* element = images->findElement(name);
            return element && element->visual ? element->visual->image.texture : nullptr;
        };
        state.plainWhite = textureOf(sym::white());
        state.plainBlack = textureOf(sym::black());
    }
    const MTexture* white = state.plainWhite;
    state.fillTexture = white && white->page()->image ? white->page()->image : plainWhite;
}

void MEngine::createSplashTextures() {
    for (int slot = 0; slot < kSplashSlots; ++slot) {
        const std::string& path = app.platform.splash[slot];
        KResourceEntryInfo info;
        if (path.empty() ||
            (!resources.find(path.c_str()) && !resourceGetInfo(resolveDataPath(path.c_str()), &info)))
            continue;
        splash[slot] = resources.texture(path.c_str(), true, true);
    }
}

void MEngine::releaseSplashTextures() {
    for (MTexture*& texture : splash) {
        if (texture)
            resources.release(texture);
        texture = nullptr;
    }
}

bool MEngine::inForeground() const {
    KGameWindow* window = app.window();
    return !window || !window->exists() || window->isForeground;
}

bool MEngine::sceneIsBusy(const MScene* scene) const { return sceneActivity().busy(scene); }

float MEngine::loadingProgress() const {
    if (loadTotal <= 0)
        return 1;
    float progress = static_cast<float>(loadedCount) / static_cast<float>(loadTotal);
    return progress < 0 ? 0 : progress > 1 ? 1 : progress;
}

void MEngine::buildSceneRegistry() { scenes.build(sceneContext()); }

const SceneText& MEngine::sceneText(Symbol* name) {
    return sceneTexts_.text(scenes, app.settings.sceneExt, name);
}

} // namespace glint
