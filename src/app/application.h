// The process object: created once, before the window, and kept until the
// process ends. It owns the configurations and settings read from the game
// configuration, the per-user folder, the options, the input levels and
// the window, and runs the main loop that creates an engine for each run
// of the game.
#pragma once

#include "app/game_config.h"
#include "app/input_state.h"
#include "app/options.h"
#include "game/game_properties.h"
#include "resource/configuration.h"

#include <memory>
#include <string>

namespace glint {

class FrameClock;
class KGameWindow;
class MEngine;
class MResourceManager;
struct KInputEvent;

constexpr const char* kGameConfigPath = "data/game.cfg";
constexpr const char* kAtlasConfigPath = "data/atlases.cfg";
constexpr int kWindowIconId = 160;
constexpr int kCarriedValues = 10;

// What a driver (the headless runner) adds to the main loop.
class LoopDriver {
public:
    virtual ~LoopDriver() = default;
    // Before the platform messages of each frame (frames count from 1).
    virtual void beginFrame(int frame) = 0;
    // After the drawing passes, before the picture is presented.
    virtual void framePresented(int frame, KGameWindow& window) = 0;
    // True when the run should end after this frame.
    virtual bool finished(int frame) = 0;
};

class MApplication {
public:
    // Loads the game configuration with its override and the atlas
    // configuration, then reads the settings. The data path must be set.
    MApplication();
    ~MApplication();
    MApplication(const MApplication&) = delete;
    MApplication& operator=(const MApplication&) = delete;

    // A restart reloads the files so that keys looked up by the new engine
    // see edits; the settings keep the values read at process start.
    void reloadConfigurations();
    // What the script variable "BUILD" holds.
    std::string buildText() const;

    // The per-user folder, the splash slots, the language and the title.
    void chooseIdentity();
    // The images of the splash slots (streaming settings may change them).
    void chooseSplashImages();
    // Creates the window, runs frames until it closes, shuts down. False
    // when the window could not be created (nothing else ran).
    bool run();
    // Once per frame, after the window has pumped its messages.
    void pollInput();
    // The window's event callback: scripts see wheel, characters and focus.
    bool onWindowEvent(const KInputEvent& event);
    // The engine and the resource manager of the current run, when there is one.
    MEngine* engine() const { return engine_.get(); }
    KGameWindow* window() const { return window_.get(); }
    // Builds the resource manager and the engine of a new run, as the main
    // loop does when none exists (tests drive it without a window).
    void startEngine();
    void stopEngine();

    MConfiguration gameConfig{kGameConfigPath};
    MConfiguration atlasConfig{kAtlasConfigPath};
    GameSettings settings;
    BuildFlags build;

    std::string userFolder;
    std::string windowTitle;
    OptionCells options;
    GameProperties gameProperties;
    PlatformSettings platform;
    // PARAM0 to PARAM9: numbers (or none) survive a restart.
    Value carried[kCarriedValues];
    InputLevels input;
    bool firstStart = true;
    // The driver and the virtual clock of a headless run, else null.
    LoopDriver* driver = nullptr;
    FrameClock* frameClock = nullptr;

private:
    bool createWindow();
    void runFrame(int frame);
    void shutdown();

    std::unique_ptr<KGameWindow> window_;
    std::unique_ptr<MResourceManager> resources_;
    std::unique_ptr<MEngine> engine_;
};

// The application object while it exists, else null.
MApplication* application();

} // namespace glint
