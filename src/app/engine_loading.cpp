// The loading sequence: one step per frame, so that the loading screen keeps
// moving. Steps that walk the scene list handle at most eleven scenes per
// frame and continue where they stopped.
#include <utility>

#include "app/application.h"
#include "app/engine.h"
#include "scene/scene_sound.h"

#include "app/user_identity.h"
#include "engine/system/clock.h"
#include "engine/window/game_window.h"
#include "extras/strategy_guide.h"
#include "game/inventory.h"
#include "game/picking.h"
#include "game/profiles.h"
#include "game/save_state.h"
#include "game/sound_player.h"
#include "resource/resource_manager.h"
#include "scene/particle_effects.h"
#include "scene/scene.h"
#include "script/compiler.h"
#include "script/declarations.h"
#include "script/interpreter.h"
#include "script/script_system.h"


namespace glint {

namespace {

// The scene's signal "init", when its scripts handle it.
void raiseInit(Scope& scope) {
    Value* cell = findVariable(scope, KindSignal, sym::init(), nullptr, false);
    if (cell && cell->is(ValueType::Signal))
        raiseSignal(cell->as<ScriptSignal>());
}

} // namespace

template <typename Action> bool MEngine::walkScenes(Action action) {
    const std::vector<MScene*>& list = scenes.scenes();
    while (sceneCursor < list.size()) {
        action(*list[sceneCursor++]);
        if (++loadedCount - loadedCountAtStepStart > kScenesPerLoadingStep)
            return sceneCursor >= list.size();
    }
    return true;
}

void MEngine::enterPhase(int32_t next) {
    if (next != phase)
        sceneCursor = 0;
    phase = next;
}

void MEngine::loadingStep() {
    loadedCountAtStepStart = loadedCount;
    switch (phase) {
    case 1:
        releaseSplashTextures();
        loadFonts(fonts, app.settings.fontsTexturesExt);
        enterPhase(2);
        break;
    case 2:
        if (walkScenes([this](MScene& scene) { loadDescription(scene); })) {
            releaseSceneTexts();
            inventory->build(sceneLoadContext());
            picking->findFeedback();
            enterPhase(3);
        }
        break;
    case 3:
        // Keyframe tracks are built as the descriptions are read and clocks
        // start when a scene is prepared; the walk still counts towards the
        // progress the loading bar shows.
        if (walkScenes([](MScene&) {}))
            enterPhase(4);
        break;
    case 4:
        createBuiltInVariables();
        loadStrategyGuide(scenes, languageSuffix());
        enterPhase(5);
        break;
    case 5:
        if (walkScenes([this](MScene& scene) { compileScripts(scene); }))
            enterPhase(6);
        break;
    case 6:
        linkAllScripts();
        enterPhase(7);
        break;
    case 7: {
        // The interface layers stay open for the whole run.
        inventory->attachArrows();
        SceneLoadContext context = sceneLoadContext();
        // The particle systems of the "particles" scene are lent out: to
        // the inventory's hover sparkles, to emit and to picking.
        if (MScene* particles = scenes.particles)
            particles->prepare(context);
        inventory->startHoverParticles();
        for (MScene* scene : scenes.scenes()) {
            if (scene->flags.system && !scene->flags.play)
                scene->acquireResources(context);
        }
        resources.beginLoadingSequence();
        enterPhase(8);
        break;
    }
    case 8: {
        int finished = 0;
        bool done = resources.loadQueued(kScenesPerLoadingStep, &finished);
        loadedCount += finished;
        if (done)
            enterPhase(9);
        break;
    }
    case 9:
        profiles->loadList();
        enterPhase(10);
        break;
    case 10: startPlay(); break;
    case 11:
        if (input.consumeClick())
            finishLoading();
        break;
    default: break;
    }
    clearInputEdges();
}

SceneLoadContext MEngine::sceneLoadContext() {
    SceneLoaderHooks hooks = sceneSoundHooks();
    // A scene opens already updated once: its open handlers read the
    // absolute positions the first frame shows.
    hooks.firstUpdate = [](MScene& scene) {
        scene.clockRuns = true;
        scene.update(false);
    };
    hooks.startParticles = attachParticleInstance;
    return {app,
            resources,
            scenes,
            [this](Symbol* name) -> const SceneText& { return sceneText(name); },
            hotspotSizeIncrement,
            languageSuffix(),
            std::move(hooks)};
}

// The sound lists of scenes: built when a scene loads, held while it is open.
SceneLoaderHooks MEngine::sceneSoundHooks() {
    SceneLoaderHooks hooks;
    SoundListSettings settings{app.settings.musicExt, app.settings.soundsExt, app.settings.preloadSounds};
    MResourceManager* manager = &resources;
    hooks.buildSoundList = [manager, settings](MScene& scene, MConfiguration& list) {
        buildSceneSoundList(scene, list, *manager, settings);
    };
    hooks.holdSounds = [manager, settings](MScene& scene, bool acquire) {
        holdSceneSounds(scene, *manager, settings.preload, acquire);
    };
    return hooks;
}

// Scenes loaded earlier as templates or instances of others return at once.
void MEngine::loadDescription(MScene& scene) { scene.load(sceneLoadContext()); }

void MEngine::compileScripts(MScene& scene) { compileScene(scene.scope); }

// The game scene, whose scope is the global one, is the registry's first.
void MEngine::linkAllScripts() {
    for (MScene* scene : scenes.scenes())
        linkScene(scene->scope);
}

void MEngine::createBuiltInVariables() {
    Scope& global = script_->global();
    publishBuildVariables(global, app.gameConfig, app.settings, app.build, selectedLanguage().c_str());
    app.options.bind(global);
    soundPlayer->bind(global);
    app.platform.publish(global);
    *findVariable(global, KindPlain, sym::OPTIONS_PATH(), nullptr, true) =
        Value::fromSymbol(intern(app.userFolder.c_str()));
    for (int i = 0; i < kCarriedValues; ++i) {
        std::string name = "PARAM" + std::to_string(i);
        declareVariable(global, KindPlain, name.c_str(), &app.carried[i]);
    }
    tickValue = Value::fromNumber(tickCount);
    timeValue = Value::fromNumber(tickCount * 0.01);
    epochTime = Value::fromNumber(wallClockSeconds());
    declareVariable(global, KindPlain, sym::Tick(), &tickValue);
    declareVariable(global, KindPlain, sym::Time(), &timeValue);
    declareVariable(global, KindPlain, sym::EPOCH_TIME(), &epochTime);
    declareVariable(global, KindPlain, sym::Initializing(), &initializing);
    engineSpeed = findVariable(global, KindPlain, sym::engine_speed(), nullptr, true);
    if (engineSpeed->isNone())
        *engineSpeed = Value::fromNumber(1);
    gcEnabled = findVariable(global, KindPlain, sym::GC_ENABLED(), nullptr, true);
    gcTimeout = findVariable(global, KindPlain, sym::GC_TIMEOUT(), nullptr, true);
    navigation->bind(global);
    profiles->bind();
    pointer.bind(global, app.gameConfig);
    inventory->bind(global, sceneLoadContext());
}

void MEngine::startPlay() {
    std::string& handedOver = restartSceneName();
    navigation->gotoScene(findScene(intern(handedOver.empty() ? "startup" : handedOver.c_str())), nullptr, 0);
    handedOver.clear();
    if (KGameWindow* window = app.window())
        window->resetTiming();
    for (MScene* scene : scenes.scenes())
        raiseInit(scene->scope);
    takeSavegameBaseline(scenes, script_->heap);
    script_->heap.engineStarted = true;
    loading = false;
    initializing = Value();
    started = true;
    const Value& forced = app.options.forcedFullscreenMode;
    if (forced.isNumber() && forced.number > 0.5)
        callGlobalEvent(sym::on_forced_fullscreen_mode(), nullptr);
    if (app.settings.clickAfterLoading && loadingScene && loadingScene->findElement(sym::loading_continue()))
        enterPhase(11);
    else
        finishLoading();
}

void MEngine::finishLoading() {
    enterPhase(0);
    if (loadingScene)
        loadingScene->releaseResources(sceneLoadContext());
}

} // namespace glint
