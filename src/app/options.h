// The player's options and the platform settings: the cells that scripts
// see as global variables, "options.cfg" in the per-user folder, the
// streaming configuration, and the display logic that turns the options
// into the window's state.
#pragma once

#include "script/value.h"

#include <string>

namespace glint {

class KGameWindow;
class Scope;
struct GameSettings;

// The cells bound to the global variables of the same names; a script write
// changes the option at once.
struct OptionCells {
    Value fullscreenMode = Value::fromNumber(1);        // Option_fullscreen_mode
    Value forcedFullscreenMode = Value::fromNumber(0);  // Forced_fullscreen_mode
    Value aspectRatio = Value::fromNumber(0);           // Option_aspect_ratio
    Value hardwareCursor = Value::fromNumber(0);        // Option_hardware_cursor
    Value musicVolume = Value::fromNumber(0.7f);        // Option_music_volume
    Value ambientVolume = Value::fromNumber(0.7f);      // Option_ambient_volume
    Value soundVolume = Value::fromNumber(0.7f);        // Option_sound_volume
    Value voiceVolume = Value::fromNumber(0.7f);        // Option_voice_volume
    Value screenWidth, screenHeight;                    // Screen_width, Screen_height
    Value actualScreenWidth, actualScreenHeight;        // Actual_screen_width, _height
    Value desktopWidth, desktopHeight;                  // Desktop_width, Desktop_height
    Value cameraScaleX = Value::fromNumber(1);          // Global_camera_scale_x
    Value cameraScaleY = Value::fromNumber(1);          // Global_camera_scale_y
    Value buildType;                                    // Build_type: "DEV"

    OptionCells();
    // Binds every cell to its global variable, in the order above.
    void bind(Scope& global);
};

struct PointerShapeSetting {
    Symbol* name = nullptr;
    bool visible = false;
};

constexpr int kPointerShapeSlots = 32;
constexpr int kSplashSlots = 10;

struct PlatformSettings {
    // What the options menu may offer.
    bool optionsMenuButton = true, fullScreenEnabled = true, aspectRatioEnabled = true,
         hardwareCursorEnabled = true, musicVolumeEnabled = true, ambientVolumeEnabled = true,
         soundVolumeEnabled = true, voiceVolumeEnabled = true, externalLinksEnabled = true;
    // -1: not forced.
    int32_t forceFullScreen = -1, forceAspectRatio = -1, forceCustomCursor = -1;
    PointerShapeSetting pointerShapes[kPointerShapeSlots];
    // Images shown before loading, slot 1 first; empty slots are skipped.
    std::string splash[kSplashSlots];

    // Creates the availability variables (numbers 1 or 0).
    void publish(Scope& global) const;
};

// Reads "<folder>/options.cfg": known keys set their options when the
// option is available; then the forced settings apply.
void loadOptions(OptionCells& cells, PlatformSettings& platform, const std::string& folder,
                 const GameSettings& settings, bool touch);
// Writes the seven option lines; nothing happens when the file cannot be made.
void saveOptions(const OptionCells& cells, const std::string& folder);
// Reads the streaming configuration at path into the platform settings
// (the availability flags, forced settings, pointer shapes and splash
// slots); a missing file or another root element leaves them alone.
void readStreamingConfig(PlatformSettings& platform, const char* path);

// The derived settings.
bool fullscreenWanted(const OptionCells& cells, const PlatformSettings& platform);
int aspectModeInForce(const OptionCells& cells, const PlatformSettings& platform);
bool systemCursorUsed(const OptionCells& cells, const PlatformSettings& platform);

// Chooses the window size before it opens: the game size when it fits,
// else the first fitting size of 800, 768, ... 480 rows, else full screen
// (or the game size when full screen is forced off).
struct WindowSize {
    int width = 0, height = 0;
};
using FitsWorkArea = bool (*)(int width, int height, void* user);
// The real test: user is the KGameWindow.
bool windowFitsWorkArea(int width, int height, void* window);
WindowSize negotiateDisplayMode(OptionCells& cells, const PlatformSettings& platform, int gameWidth, int gameHeight,
                                FitsWorkArea fits, void* user);

// Every tick, on focus gain and on request: keeps "Option_fullscreen_mode"
// in line with the forced setting and with what fits.
void applyFullscreenOption(OptionCells& cells, const PlatformSettings& platform, const KGameWindow* window);
// Publishes the window's sizes and the camera scales of touch layouts.
void updateDisplayValues(OptionCells& cells, const KGameWindow& window, const GameSettings& settings);

// The state last handed to the window, and the two display passes.
struct DisplayState {
    bool fullscreen = false;
    int aspectMode = 0;
};
void syncDisplay(DisplayState& state, OptionCells& cells, const PlatformSettings& platform, KGameWindow* window,
                 const GameSettings& settings);
// After focus returns; calls the scripts' on_forced_fullscreen_mode when the
// window had to go to full screen.
void reassertDisplay(OptionCells& cells, const PlatformSettings& platform, KGameWindow* window,
                     const GameSettings& settings);

} // namespace glint
