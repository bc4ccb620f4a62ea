#include "app/application.h"
#include "engine/resources/resource.h"
#include "engine/system/system.h"
#include "script/symbol.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace glint;
using namespace glint::test;

TEST(Application, ReadsTheGameFolderOnceAndReloadsOnRequest) {
    TempDir game;
    writeFile(game / "data" / "game.cfg", "BuildScreenW=800\r\nBuildGameName=Lighthouse\r\nBuildVersion=Gold\r\n");
    writeFile(game / "data_override" / "game.cfg", "BuildScreenW=1024\r\n");
    writeFile(game / "data" / "atlases.cfg", "atlas_count=3\r\n");
    systemResetForTests();
    ASSERT_TRUE(systemInit(game.str().c_str()));
    resourceInit();
    {
        MApplication app;
        EXPECT_EQ(application(), &app);
        EXPECT_EQ(app.settings.screenW, 1024) << "the override wins";
        EXPECT_EQ(app.settings.windowWidth, 1024);
        EXPECT_EQ(app.settings.screenH, 480);
        EXPECT_STREQ(app.settings.gameName, "Lighthouse");
        EXPECT_EQ(app.atlasConfig.getInt(intern("atlas_count"), 0), 3);
        EXPECT_EQ(app.gameConfig.getInt(intern("atlas_count"), 0), 0);
        EXPECT_EQ(app.buildText(), "Gold");
        app.build.streaming = true;
        EXPECT_EQ(app.buildText(), "Gold Streaming");

        writeFile(game / "data" / "game.cfg", "BuildGameName=Harbour\r\nhotspot_size_increment=4\r\n");
        app.reloadConfigurations();
        EXPECT_EQ(app.gameConfig.getInt(intern("hotspot_size_increment"), 0), 4);
        EXPECT_EQ(app.gameConfig.getString(intern("BuildGameName"), nullptr), intern("Harbour"));
        EXPECT_STREQ(app.settings.gameName, "Lighthouse") << "settings keep the values read at start";
        EXPECT_EQ(app.gameConfig.getInt(intern("BuildScreenW"), 0), 1024) << "the override is applied again";
    }
    EXPECT_EQ(application(), nullptr);
}
