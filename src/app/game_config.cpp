#include "app/game_config.h"

#include "resource/configuration.h"
#include "script/symbol.h"
#include "script/value.h"

namespace glint {

namespace {

// Reads keys of one configuration with the typed lookups.
class SettingReader {
public:
    explicit SettingReader(const MConfiguration& config) : config_(config) {}

    float number(const char* key, float fallback) const { return config_.getFloat(intern(key), fallback); }
    int integer(const char* key, int fallback) const { return config_.getInt(intern(key), fallback); }
    bool flag(const char* key, bool fallback) const { return integer(key, fallback ? 1 : 0) != 0; }
    const char* text(const char* key, const char* fallback) const {
        Symbol* symbol = config_.getString(intern(key), nullptr);
        return symbol ? symbol->text : fallback;
    }
    const char* firstItem(const char* key, const char* fallback) const {
        Symbol* symbol = config_.getFirstItem(intern(key), nullptr);
        return symbol ? symbol->text : fallback;
    }

private:
    const MConfiguration& config_;
};

} // namespace

GameSettings readGameSettings(const MConfiguration& config) {
    SettingReader read(config);
    GameSettings s;
    s.screenW = read.number("BuildScreenW", s.screenW);
    s.windowWidth = static_cast<int>(s.screenW);
    s.centerX = s.screenW * 0.5f;
    s.screenH = read.number("BuildScreenH", s.screenH);
    s.windowHeight = static_cast<int>(s.screenH);
    s.centerY = s.screenH * 0.5f;
    s.isSurvey = read.flag("BuildIsSurvey", s.isSurvey);
    s.forPortals = read.flag("BuildForPortals", s.forPortals);
    s.touchPlatformLevel = read.integer("BuildForTouchPlatform", s.touchPlatformLevel);
    s.texturesExt = read.text("BuildTexturesExt", s.texturesExt);
    s.atlasTexturesExt = read.firstItem("BuildAtlasTexturesExtensions", s.atlasTexturesExt);
    s.fontsTexturesExt = read.firstItem("BuildFontsTexturesExtensions", s.fontsTexturesExt);
    s.soundsExt = read.firstItem("BuildSoundsExtensions", s.soundsExt);
    s.musicExt = read.firstItem("BuildMusicExtensions", s.musicExt);
    s.titleName = read.text("BuildTitleName", s.titleName);
    s.gameName = read.text("BuildGameName", s.gameName);
    s.developerName = read.text("BuildDeveloperName", s.developerName);
    s.touchTooltipOffsetX = read.integer("BuildTouchTooltipOffsetX", s.touchTooltipOffsetX);
    s.touchTooltipOffsetY = read.integer("BuildTouchTooltipOffsetY", s.touchTooltipOffsetY);
    s.profilesListExt = read.text("BuildProfilesListExt", s.profilesListExt);
    s.savegameExt = read.text("BuildSavegameExt", s.savegameExt);
    s.inventoryLocalizationPrefix = read.text("BuildInventoryLocalizationPrefix", s.inventoryLocalizationPrefix);
    s.supportOldStyleScenes = read.flag("BuildSupportOldStyleScenes", s.supportOldStyleScenes);
    s.mergeTextKeyAndText = read.flag("BuildMergeTextKeyAndText", s.mergeTextKeyAndText);
    s.reportNonSerializableVariables =
        read.flag("BuildReportNonSerializableVariables", s.reportNonSerializableVariables);
    s.clickAfterLoading = read.flag("BuildClickAfterLoading", s.clickAfterLoading);
    s.forceAspectRatio = read.integer("BuildForceAspectRatio", s.forceAspectRatio);
    s.useNewVideoPlayer = read.flag("BuildUseNewVideoPlayer", s.useNewVideoPlayer);
    s.videoPlaybackPreload = read.flag("BuildVideoPlaybackPreload", s.videoPlaybackPreload);
    s.fontScaling = read.flag("BuildFontScaling", s.fontScaling);
    s.preloadSounds = read.flag("BuildPreloadSounds", s.preloadSounds);
    s.globalFontScaling = read.number("BuildGlobalFontScaling", s.globalFontScaling);
    s.supportMScene = read.flag("BuildSupportMScene", s.supportMScene);
    s.sceneExt = read.text("BuildSceneExt", s.sceneExt);
    s.supportIngameSaves = read.flag("BuildSupportIngameSaves", s.supportIngameSaves);
    return s;
}

BuildFlags buildFlagsFor(const GameSettings& settings) {
    BuildFlags flags;
    flags.survey = settings.isSurvey;
    flags.portals = settings.forPortals;
    flags.touch = settings.touchPlatformLevel > 0;
    return flags;
}

void loadGameConfiguration(MConfiguration& config) {
    config.load();
    config.loadOverride();
}

std::string buildText(const MConfiguration& config, const BuildFlags& flags) {
    std::string text = flags.survey ? "Survey" : SettingReader(config).text("BuildVersion", "Dev");
    if (flags.streaming)
        text += " Streaming";
    return text;
}

void publishBuildVariables(Scope& global, const MConfiguration& config, const GameSettings& settings,
                           const BuildFlags& flags, const char* language) {
    auto publish = [&global](Symbol* name, const Value& value) {
        *findVariable(global, KindPlain, name, nullptr, true) = value;
    };
    auto number = [&publish](Symbol* name, double x) { publish(name, Value::fromNumber(x)); };
    auto text = [&publish](Symbol* name, const char* t) { publish(name, Value::fromSymbol(intern(t))); };

    number(sym::WIN(), 1);
    if (flags.touch)
        number(sym::TOUCH(), 1);
    int orientation = SettingReader(config).integer("BuildDefaultOrientation", 1);
    number(sym::ORIENTATION(), orientation);
    number(sym::ACTUAL_ORIENTATION(), orientation);
    number(sym::SURVEY(), flags.survey);
    number(sym::SE(), !flags.collectorsEdition);
    number(sym::CE(), flags.collectorsEdition);
    number(sym::PORTAL(), flags.portals);
    text(sym::BUILD(), buildText(config, flags).c_str());
    text(sym::LANGUAGE(), language ? language : "");
    text(sym::BUILD_DEVELOPER_NAME(), settings.developerName);
    text(sym::BUILD_TITLE_NAME(), settings.titleName);
    text(sym::BUILD_GAME_NAME(), settings.gameName);
    text(sym::BUILD_SOUNDS_EXTENSION(), settings.soundsExt);
    number(sym::BUILD_CLICK_AFTER_LOADING(), settings.clickAfterLoading);
}

} // namespace glint
