// The object of one run of the game: created by the main loop (after the
// resource manager) and destroyed at the end of the run or by a restart.
// It owns the scenes, the script system, the fonts and the input edges, and
// drives the run through its phases: splash screens (100 to 109), the
// loading sequence (1 to 11) and play (0), where the game logic runs in
// fixed 10 ms ticks of scaled game time.
#pragma once

#include <deque>
#include <memory>
#include <string>

#include "app/input_state.h"
#include "app/options.h"
#include "app/pointer_cursors.h"
#include "game/navigation.h"
#include "game/save_state.h"
#include "game/pointer.h"
#include "game/pulse_curve.h"
#include "scene/scene_loader.h"
#include "scene/scene_registry.h"
#include "scene/scene_text_cache.h"
#include "script/file_paths.h"
#include "text/font_list.h"

namespace glint {

class KTexture;
class MApplication;
class MHints;
class MInventory;
class MPicking;
class MProfiles;
class MSoundPlayer;
class MResourceManager;
class MTexture;
class ScriptSystem;

constexpr int32_t kFirstSplashPhase = 100;
constexpr int32_t kLastSplashPhase = 109;
constexpr int32_t kSplashTicks = 400;      // 1 s fade in, 2 s shown, 1 s fade out
constexpr int32_t kScenesPerLoadingStep = 10;

// Window event codes the engine queues for the main loop.
enum WindowEventCode : int32_t {
    kEventActivated = 13,
    kEventDeactivated = 14,
    kEventPauseRequest = 16,
    kEventResumeRequest = 17,
};

class MEngine {
public:
    // Both must outlive the engine. The script system is built around the
    // game scene, whose scope is the global scope.
    MEngine(MApplication& app, MResourceManager& resources);
    ~MEngine();
    MEngine(const MEngine&) = delete;
    MEngine& operator=(const MEngine&) = delete;

    // Once, after construction: the registry, atlases, localization, the
    // system scenes and splash textures, the commands; then the first phase.
    void initialize();
    // Once per frame: time, then a splash step, a loading step or the ticks.
    void advance();
    // The same with the frame time given (the window's last frame time).
    void advanceBy(double windowDeltaMs);
    void gameTick();
    void loadingStep();
    void splashStep();

    // The work of the loading steps that read the game's text: a scene's
    // description, the built-in variables, compiling and linking every
    // scene's scripts. glint check runs them without a window.
    void loadDescription(MScene& scene);
    void createBuiltInVariables();
    void compileScripts(MScene& scene);
    void linkAllScripts();

    void pause();
    void resume();
    // Main loop: the click (or the loading phases) that ends a pause caused
    // by focus loss, and the focus change the window events announced.
    void resumeAfterFocusLoss();
    void settleFocusChange();
    void focusGained();
    void queueWindowEvent(int32_t code) { windowEvents.push_back(code); }
    void processWindowEvents();
    // quit (restart false) and restart: acted on by the main loop after the
    // frame's engine step.
    void requestEnd(bool restart, const char* restartScene, const char* restartLoadingScene);

    // The three passes of a frame.
    void drawGame();
    void drawOutside();
    void drawTop();

    // Once, during initialisation: after the game configuration, before the
    // atlases and the localization tables.
    void buildSceneRegistry();
    MScene* registerScene(Symbol* folder, MScene* parent, Symbol* name) {
        return scenes.registerScene(sceneContext(), folder, parent, name);
    }
    MScene* findScene(Symbol* name) const { return scenes.find(name); }
    // The scene parsers' view of content files; see SceneTextCache.
    const SceneText& sceneText(Symbol* name);
    void releaseSceneTexts() { sceneTexts_.release(); }

    SceneContext sceneContext() const { return {app, resources}; }
    // What loading, preparing and opening scenes read of this run.
    SceneLoadContext sceneLoadContext();
    SceneLoaderHooks sceneSoundHooks();
    ScriptSystem& scriptSystem() { return *script_; }
    bool paused() const { return pauseCount > 0; }
    // Not paused, no scene switch and not waiting for the end.
    bool active() const { return !paused() && !switching(); }
    bool switching() const { return navigation && navigation->switching; }
    bool inForeground() const;
    // Scripts still wait for something in the scene (its activity records).
    bool sceneIsBusy(const MScene* scene) const;
    // The progress the loading screen shows, 0 to 1.
    float loadingProgress() const;
    MScene* playScene() const { return navigation ? navigation->playScene : nullptr; }
    // The saved-game view of this run (engine_saves.cpp): what a game state
    // is written from and read into, and a profile file's content written
    // to or read from path. readProfileFile gives 0, -1 (no file) or -2
    // (damaged; the file stays).
    SaveWorld saveWorld();
    bool writeProfileFile(const std::string& path);
    int readProfileFile(const std::string& path, bool full);
    // The scene that receives input and scene events; navigation sets it.
    MScene* activeScene() const {
        return navigation && navigation->activeScene ? navigation->activeScene : playScene();
    }

    MApplication& app;
    MResourceManager& resources;
    MSceneRegistry scenes;
    MFontList fonts;
    InputEdges input;

    int32_t phase = 1;
    bool loading = false;
    bool started = false;
    Value initializing; // "Initializing": 1 until play starts
    int32_t splashTimer = 0;
    int32_t loadedCount = 0;
    int32_t loadedCountAtStepStart = 0;
    int32_t loadTotal = 0;
    size_t sceneCursor = 0; // next scene of a walk over the registry
    int32_t pauseCount = 0;
    bool focused = true, wasFocused = true, pausedByFocus = false, focusChangePending = false;
    // Navigation has something in progress, or the end was requested:
    // no clicks, escape or window events are served.
    bool waiting = false;
    bool endRequested = false, restartRequested = false;
    bool mainMenuRequested = false; // served by the tick as "goto_main_menu"
    double gameTimeMs = 0;
    double frameDeltaMs = 0;
    uint32_t frameCounter = 0;
    uint32_t tickCount = 0;
    Value tickValue, timeValue, epochTime; // "Tick", "Time", "EPOCH_TIME"
    Value* engineSpeed = nullptr;          // null until loading step 4
    Value* gcEnabled = nullptr;
    Value* gcTimeout = nullptr;
    uint32_t collectorTicks = 0;
    float hotspotSizeIncrement = 0; // hotspot polygons grow by it
    MScene* loadingScene = nullptr;
    MScene* pauseScene = nullptr;
    std::unique_ptr<MNavigation> navigation; // from initialisation on
    MPointer pointer;
    std::unique_ptr<MInventory> inventory; // from initialisation on
    std::unique_ptr<MPicking> picking;     // from initialisation on
    std::unique_ptr<MHints> hints;             // from initialisation on
    std::unique_ptr<MSoundPlayer> soundPlayer; // from initialisation on
    std::unique_ptr<MProfiles> profiles;       // from initialisation on
    PulseCurve pulseCurve; // found objects pulse by it
    MTexture* splash[kSplashSlots] = {};
    KTexture* plainWhite = nullptr; // solid fills before the interface images exist
    std::deque<int32_t> windowEvents;
    DisplayState display;
    PointerCursors pointerCursors; // destroys the cursor handles with the engine
    ScriptFolders fileFolders;     // where the scripts' file commands may act

private:
    void setUpSystemScenes();
    void createNavigation();
    // What scene drawing reads of the game settings and the fonts.
    void shareDrawingSettings();
    void setUpPlainTextures(const SceneLoadContext& context);
    void createSplashTextures();
    void releaseSplashTextures();
    void clearInputEdges() { input.clearEdges(); }
    void enterPhase(int32_t next);
    // Handles the next scenes of a walk; true when the walk is complete.
    template <typename Action> bool walkScenes(Action action);
    void startPlay();
    void finishLoading();
    void runTickPasses();
    // The pointer's part of the tick: its state and the click dispatch
    // before the script passes, unhandled clicks and the tooltip after.
    void updatePointer();
    void finishPointerTick();
    void serveMainMenuRequest();
    // The profiles with their commands, and the save request of tick step
    // 2 with the rest an autosave waits for (engine_profiles.cpp).
    void createProfiles();
    void serveSaveRequest();
    bool autosaveAllowed() const;
    // The oldest alert scripts queued, shown and answered.
    void presentAlert();
    void publishLook(Symbol* look);
    void drawPointer();
    void collectGarbage();
    void drawLoadingScreen();
    // "paused" and "paused_text" of the pause scene show while paused.
    void updatePauseOverlay();
    void drawSplashScreen();
    void drawLayer(MScene& scene, float opacity, float darkness);
    void fillGameArea(uint32_t color);

public:
    // The look of this frame; drawPointer publishes it to the pointer scene
    // and draws it with the carried item and the tooltip (draw pass 3).
    Symbol* currentLook() const;

private:

    std::unique_ptr<ScriptSystem> script_;
    std::unique_ptr<NavigationHost> navigationHost_;
    SceneTextCache sceneTexts_;
    std::unique_ptr<KTexture> ownWhite_;
};

class MElement;
// Shows or hides an element the engine drives (loading and pause screens)
// when it is not so already.
void showElement(MElement& element, bool shown);

// The engine while one exists, else null.
MEngine* engine();

// The hand-over texts of a restart: the scene to start at and the loading
// scene to show; both are taken (and cleared) by the next engine.
std::string& restartSceneName();
std::string& restartLoadingSceneName();

// The number of 10 ms boundaries between two game times.
int ticksBetween(double oldTimeMs, double newTimeMs);

} // namespace glint
