// The game's identity and build choices as read from the game
// configuration once per process, with their defaults.
#pragma once

#include <string>

namespace glint {

class MConfiguration;
class Scope;

struct GameSettings {
    float screenW = 640;  // BuildScreenW: width of the game area
    float screenH = 480;  // BuildScreenH
    int windowWidth = 640; // integer parts of the game area
    int windowHeight = 480;
    float centerX = 320;
    float centerY = 240;
    bool isSurvey = false;    // BuildIsSurvey
    bool forPortals = false;  // BuildForPortals
    int touchPlatformLevel = 0; // BuildForTouchPlatform; 2 and 3 choose viewport layouts
    const char* texturesExt = "dds";       // BuildTexturesExt
    const char* atlasTexturesExt = "dds";  // first item of BuildAtlasTexturesExtensions
    const char* fontsTexturesExt = "dds";  // first item of BuildFontsTexturesExtensions
    const char* soundsExt = "ogg";         // first item of BuildSoundsExtensions
    const char* musicExt = "ogg";          // first item of BuildMusicExtensions
    const char* titleName = "Title";       // BuildTitleName
    const char* gameName = "Game";         // BuildGameName
    const char* developerName = "Quorvian"; // BuildDeveloperName
    int touchTooltipOffsetX = 0;           // BuildTouchTooltipOffsetX
    int touchTooltipOffsetY = 0;           // BuildTouchTooltipOffsetY
    const char* profilesListExt = "sav";   // BuildProfilesListExt
    const char* savegameExt = "profile";   // BuildSavegameExt
    const char* inventoryLocalizationPrefix = "item_"; // BuildInventoryLocalizationPrefix
    bool supportOldStyleScenes = false;    // BuildSupportOldStyleScenes
    bool mergeTextKeyAndText = true;       // BuildMergeTextKeyAndText
    bool reportNonSerializableVariables = true; // BuildReportNonSerializableVariables
    bool clickAfterLoading = false;        // BuildClickAfterLoading
    int forceAspectRatio = -1;             // BuildForceAspectRatio; 0 or more forces the option
    bool useNewVideoPlayer = false;        // BuildUseNewVideoPlayer
    bool videoPlaybackPreload = true;      // BuildVideoPlaybackPreload
    bool fontScaling = false;              // BuildFontScaling
    bool preloadSounds = false;            // BuildPreloadSounds
    float globalFontScaling = 1.0f;        // BuildGlobalFontScaling
    bool supportMScene = false;            // BuildSupportMScene
    const char* sceneExt = "scene";        // BuildSceneExt
    bool supportIngameSaves = false;       // BuildSupportIngameSaves: player files keep a ".tmp" backup
};

// Build variants derived from the settings and the command line.
struct BuildFlags {
    bool collectorsEdition = true; // every build is one
    bool survey = false;
    bool portals = false;
    bool touch = false;
    bool streaming = false;        // "-streaming" on the command line
    const char* platformTag = "win";
};

// Reads every setting in the order above; texts point at interned symbols.
GameSettings readGameSettings(const MConfiguration& config);
BuildFlags buildFlagsFor(const GameSettings& settings);

// Loads "data/game.cfg" (the configuration's path) with its override.
void loadGameConfiguration(MConfiguration& config);

// "Survey" for a survey build, else BuildVersion (default "Dev"); then
// " Streaming" for the streaming build.
std::string buildText(const MConfiguration& config, const BuildFlags& flags);

// Creates the global script variables that publish the configuration.
void publishBuildVariables(Scope& global, const MConfiguration& config, const GameSettings& settings,
                           const BuildFlags& flags, const char* language);

} // namespace glint
