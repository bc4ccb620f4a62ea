#include "app/game_config.h"
#include "resource/configuration.h"
#include "script/script_system.h"
#include "script/value.h"

#include <gtest/gtest.h>

#include <string>

using namespace glint;

namespace {

struct Config {
    explicit Config(const std::string& main, const std::string& override = "") {
        config.addMainText(textOf(main));
        if (!override.empty())
            config.addOverrideText(textOf(override));
    }
    static MTextFile textOf(const std::string& bytes) {
        MTextFile file;
        file.assignText(bytes.data(), static_cast<int32_t>(bytes.size()), "game.cfg");
        return file;
    }
    MConfiguration config{"data/game.cfg"};
};

} // namespace

TEST(GameSettings, DefaultsOfAnEmptyConfiguration) {
    Config empty("");
    GameSettings s = readGameSettings(empty.config);
    EXPECT_EQ(s.screenW, 640);
    EXPECT_EQ(s.screenH, 480);
    EXPECT_EQ(s.windowWidth, 640);
    EXPECT_EQ(s.windowHeight, 480);
    EXPECT_EQ(s.centerX, 320);
    EXPECT_EQ(s.centerY, 240);
    EXPECT_FALSE(s.isSurvey);
    EXPECT_FALSE(s.forPortals);
    EXPECT_EQ(s.touchPlatformLevel, 0);
    EXPECT_STREQ(s.texturesExt, "dds");
    EXPECT_STREQ(s.atlasTexturesExt, "dds");
    EXPECT_STREQ(s.fontsTexturesExt, "dds");
    EXPECT_STREQ(s.soundsExt, "ogg");
    EXPECT_STREQ(s.musicExt, "ogg");
    EXPECT_STREQ(s.titleName, "Title");
    EXPECT_STREQ(s.gameName, "Game");
    EXPECT_STREQ(s.developerName, "Quorvian");
    EXPECT_EQ(s.touchTooltipOffsetX, 0);
    EXPECT_EQ(s.touchTooltipOffsetY, 0);
    EXPECT_STREQ(s.profilesListExt, "sav");
    EXPECT_STREQ(s.savegameExt, "profile");
    EXPECT_STREQ(s.inventoryLocalizationPrefix, "item_");
    EXPECT_FALSE(s.supportOldStyleScenes);
    EXPECT_TRUE(s.mergeTextKeyAndText);
    EXPECT_TRUE(s.reportNonSerializableVariables);
    EXPECT_FALSE(s.clickAfterLoading);
    EXPECT_EQ(s.forceAspectRatio, -1);
    EXPECT_FALSE(s.useNewVideoPlayer);
    EXPECT_TRUE(s.videoPlaybackPreload);
    EXPECT_FALSE(s.fontScaling);
    EXPECT_FALSE(s.preloadSounds);
    EXPECT_EQ(s.globalFontScaling, 1.0f);
    EXPECT_FALSE(s.supportMScene);
    EXPECT_STREQ(s.sceneExt, "scene");

    BuildFlags flags = buildFlagsFor(s);
    EXPECT_TRUE(flags.collectorsEdition);
    EXPECT_FALSE(flags.survey);
    EXPECT_FALSE(flags.portals);
    EXPECT_FALSE(flags.touch);
    EXPECT_FALSE(flags.streaming);
    EXPECT_STREQ(flags.platformTag, "win");
    EXPECT_EQ(buildText(empty.config, flags), "Dev");
}

TEST(GameSettings, EveryKeyIsRead) {
    Config c("BuildScreenW=1366.5\nBuildScreenH=768\nBuildIsSurvey=1\nBuildForPortals=2\n"
             "BuildForTouchPlatform=3\nBuildTexturesExt=png\nBuildAtlasTexturesExtensions=png,dds\n"
             "BuildFontsTexturesExtensions=tga,dds\nBuildSoundsExtensions=wav,ogg\nBuildMusicExtensions=mp3\n"
             "BuildTitleName=Mystery\nBuildGameName=Lighthouse\nBuildDeveloperName=Studio\n"
             "BuildTouchTooltipOffsetX=-12\nBuildTouchTooltipOffsetY=7.5\nBuildProfilesListExt=lst\n"
             "BuildSavegameExt=save\nBuildInventoryLocalizationPrefix=inv_\nBuildSupportOldStyleScenes=1\n"
             "BuildMergeTextKeyAndText=0\nBuildReportNonSerializableVariables=0\nBuildClickAfterLoading=1\n"
             "BuildForceAspectRatio=1.5\nBuildUseNewVideoPlayer=1\nBuildVideoPlaybackPreload=0\n"
             "BuildFontScaling=1\nBuildPreloadSounds=1\nBuildGlobalFontScaling=1.25\nBuildSupportMScene=1\n"
             "BuildSceneExt=json\n");
    GameSettings s = readGameSettings(c.config);
    EXPECT_EQ(s.screenW, 1366.5f);
    EXPECT_EQ(s.windowWidth, 1366);
    EXPECT_EQ(s.centerX, 683.25f);
    EXPECT_EQ(s.screenH, 768);
    EXPECT_EQ(s.centerY, 384);
    EXPECT_TRUE(s.isSurvey);
    EXPECT_TRUE(s.forPortals);
    EXPECT_EQ(s.touchPlatformLevel, 3);
    EXPECT_STREQ(s.texturesExt, "png");
    EXPECT_STREQ(s.atlasTexturesExt, "png");
    EXPECT_STREQ(s.fontsTexturesExt, "tga");
    EXPECT_STREQ(s.soundsExt, "wav");
    EXPECT_STREQ(s.musicExt, "mp3");
    EXPECT_STREQ(s.titleName, "Mystery");
    EXPECT_STREQ(s.gameName, "Lighthouse");
    EXPECT_STREQ(s.developerName, "Studio");
    EXPECT_EQ(s.touchTooltipOffsetX, -12);
    EXPECT_EQ(s.touchTooltipOffsetY, 8);
    EXPECT_STREQ(s.profilesListExt, "lst");
    EXPECT_STREQ(s.savegameExt, "save");
    EXPECT_STREQ(s.inventoryLocalizationPrefix, "inv_");
    EXPECT_TRUE(s.supportOldStyleScenes);
    EXPECT_FALSE(s.mergeTextKeyAndText);
    EXPECT_FALSE(s.reportNonSerializableVariables);
    EXPECT_TRUE(s.clickAfterLoading);
    EXPECT_EQ(s.forceAspectRatio, 2);
    EXPECT_TRUE(s.useNewVideoPlayer);
    EXPECT_FALSE(s.videoPlaybackPreload);
    EXPECT_TRUE(s.fontScaling);
    EXPECT_TRUE(s.preloadSounds);
    EXPECT_EQ(s.globalFontScaling, 1.25f);
    EXPECT_TRUE(s.supportMScene);
    EXPECT_STREQ(s.sceneExt, "json");

    BuildFlags flags = buildFlagsFor(s);
    EXPECT_TRUE(flags.survey);
    EXPECT_TRUE(flags.portals);
    EXPECT_TRUE(flags.touch);
    EXPECT_EQ(buildText(c.config, flags), "Survey");
    flags.streaming = true;
    EXPECT_EQ(buildText(c.config, flags), "Survey Streaming");
}

TEST(GameSettings, WrongKindsAndRoundingFallBack) {
    Config c("BuildScreenW=\"800\"\nBuildTitleName=12\nBuildForceAspectRatio=-0.5\nBuildIsSurvey=0.4\n"
             "BuildForTouchPlatform=-1\nBuildGameName=\nBuildVersion=1.2\n");
    GameSettings s = readGameSettings(c.config);
    EXPECT_EQ(s.screenW, 640) << "a quoted number is a string";
    EXPECT_STREQ(s.titleName, "Title") << "a bare number is not a string";
    EXPECT_EQ(s.forceAspectRatio, -1);
    EXPECT_FALSE(s.isSurvey) << "0.4 rounds to 0";
    EXPECT_EQ(s.touchPlatformLevel, -1);
    EXPECT_FALSE(buildFlagsFor(s).touch);
    EXPECT_STREQ(s.gameName, "") << "an empty value is the empty string";
    EXPECT_EQ(buildText(c.config, buildFlagsFor(s)), "Dev") << "a bare version number reads as a number";
}

TEST(GameSettings, BuildTextFromTheVersionAndTheOverride) {
    Config c("BuildVersion=Gold\nBuildScreenW=800\n", "BuildScreenW=1024\nBuildVersion=\"1.2\"\n");
    GameSettings s = readGameSettings(c.config);
    EXPECT_EQ(s.screenW, 1024);
    BuildFlags flags = buildFlagsFor(s);
    EXPECT_EQ(buildText(c.config, flags), "1.2");
    flags.streaming = true;
    EXPECT_EQ(buildText(c.config, flags), "1.2 Streaming");
}

namespace {

std::string published(Scope& global, const char* name) {
    Value* cell = findVariable(global, KindPlain, intern(name), nullptr, false);
    return cell ? valueText(*cell) + (cell->isString() ? " (string)" : "") : "<absent>";
}

} // namespace

TEST(GameSettings, PublishedScriptVariables) {
    struct Case {
        const char* name;
        const char* defaults;
        const char* configured;
    };
    const Case cases[] = {
        {"WIN", "1", "1"},
        {"TOUCH", "<absent>", "1"},
        {"ORIENTATION", "1", "3"},
        {"ACTUAL_ORIENTATION", "1", "3"},
        {"SURVEY", "0", "1"},
        {"SE", "0", "0"},
        {"CE", "1", "1"},
        {"PORTAL", "0", "1"},
        {"BUILD", "Dev (string)", "Survey Streaming (string)"},
        {"LANGUAGE", " (string)", "de (string)"},
        {"BUILD_DEVELOPER_NAME", "Quorvian (string)", "Studio (string)"},
        {"BUILD_TITLE_NAME", "Title (string)", "Mystery (string)"},
        {"BUILD_GAME_NAME", "Game (string)", "Lighthouse (string)"},
        {"BUILD_SOUNDS_EXTENSION", "ogg (string)", "wav (string)"},
        {"BUILD_CLICK_AFTER_LOADING", "0", "1"},
    };
    Config defaults("");
    Config configured("BuildForTouchPlatform=1\nBuildDefaultOrientation=2.6\nBuildIsSurvey=1\nBuildForPortals=1\n"
                      "BuildDeveloperName=Studio\nBuildTitleName=Mystery\nBuildGameName=Lighthouse\n"
                      "BuildSoundsExtensions=wav,ogg\nBuildClickAfterLoading=1\n");
    ScriptSystem plain;
    GameSettings s = readGameSettings(defaults.config);
    publishBuildVariables(plain.global(), defaults.config, s, buildFlagsFor(s), nullptr);
    ScriptSystem built;
    s = readGameSettings(configured.config);
    BuildFlags flags = buildFlagsFor(s);
    flags.streaming = true;
    publishBuildVariables(built.global(), configured.config, s, flags, "de");
    for (const Case& c : cases) {
        EXPECT_EQ(published(plain.global(), c.name), c.defaults) << c.name;
        EXPECT_EQ(published(built.global(), c.name), c.configured) << c.name;
    }
}
