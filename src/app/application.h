// The process object: created once, before the window, and kept until the
// process ends. It owns the two configurations and the settings read from
// the game configuration; the engine of each run of the game reads them.
#pragma once

#include "app/game_config.h"
#include "resource/configuration.h"

#include <string>

namespace glint {

constexpr const char* kGameConfigPath = "data/game.cfg";
constexpr const char* kAtlasConfigPath = "data/atlases.cfg";

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

    MConfiguration gameConfig{kGameConfigPath};
    MConfiguration atlasConfig{kAtlasConfigPath};
    GameSettings settings;
    BuildFlags build;
};

// The application object while it exists, else null.
MApplication* application();

} // namespace glint
