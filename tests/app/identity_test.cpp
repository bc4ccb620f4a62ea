#include "app/game_config.h"
#include "app/user_identity.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace glint;
using namespace glint::test;

namespace {

struct Names {
    const char* title;
    const char* game;
    bool streaming;
    const char* folder;
    const char* windowTitle;
};

TEST(Identity, FolderAndTitleFromTheNames) {
    const Names cases[] = {
        {"Title", "Game", false, "Title - Game - CE", "Title: Game Collector's Edition"},
        {"", "", false, "Game - CE", "Game Collector's Edition"},
        {"Lighthouse", "", true, "Lighthouse - Streaming - CE", "Lighthouse Collector's Edition"},
        {"", "Harbour", false, "Harbour - CE", "Harbour Collector's Edition"},
    };
    TempDir base;
    for (const Names& c : cases) {
        GameSettings settings;
        settings.titleName = c.title;
        settings.gameName = c.game;
        std::string folder = composeUserFolder(base.str(), settings, c.streaming);
        EXPECT_EQ(folder, base.str() + "/Quorvian/" + c.folder);
        EXPECT_TRUE(std::filesystem::is_directory(folder)) << folder;
        EXPECT_EQ(composeWindowTitle("", settings), c.windowTitle);
    }
    EXPECT_EQ(composeWindowTitle("The Keeper", GameSettings{}), "The Keeper") << "the title file wins";
}

TEST(Identity, OnlyListedLanguagesAreKept) {
    EXPECT_EQ(chooseLanguage("de", "en,de").suffix, "_de");
    EXPECT_EQ(chooseLanguage("DE", "en,de").language, "");
    EXPECT_EQ(chooseLanguage("de", "").suffix, "");
    EXPECT_EQ(chooseLanguage("", "en,de").language, "");
    EXPECT_EQ(chooseLanguage("e", "en,de").language, "") << "whole items only";
}

} // namespace
