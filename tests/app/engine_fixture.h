// A game folder with a few scenes and scripts, and an application whose
// engine runs without a window: the loop's arithmetic is driven by hand.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/application.h"
#include "app/engine.h"
#include "engine/resources/resource.h"
#include "engine/system/system.h"
#include "support/test_support.h"

namespace glint::test {

struct EngineFixture : ::testing::Test {
    TempDir game;
    std::unique_ptr<MApplication> app;

    ~EngineFixture() override { app.reset(); }

    void file(const std::string& path, const std::string& bytes) { writeFile(game / path, bytes); }

    // A game with the scenes "loading" and "startup"; startupScript is the
    // play scene's script, gameScript the global one.
    void makeGame(const std::string& config = "", const std::string& startupScript = "",
                  const std::string& gameScript = "") {
        file("data/game.cfg", "BuildScreenW=1024\r\nBuildScreenH=768\r\n" + config);
        file("data/scenes.cfg", "data/_interface/loading\r\ndata/startup\r\n");
        file("data/_interface/loading/_loading.scene", "{}");
        file("data/startup/_startup.scene", "{}");
        file("data/startup/startup.script", startupScript);
        file("data/_interface/game.script", gameScript);
        file("data/_interface/_scripts/common_all.script", "");
        file("data/_interface/_scripts/common_all_post.script", "");
    }

    // A new application and a started engine on the game folder.
    MEngine& start() {
        app.reset();
        systemResetForTests();
        EXPECT_TRUE(systemInit(game.str().c_str()));
        resourceInit();
        app = std::make_unique<MApplication>();
        app->userFolder = (game / "user").string();
        app->startEngine();
        return *app->engine();
    }

    // Frames of 10 ms until play begins and the first scene has faded in,
    // so that input is served (or give up).
    void loadUntilPlay(MEngine& engine) {
        for (int frame = 0; frame < 100 && engine.phase != 0; ++frame)
            engine.advanceBy(10);
        ASSERT_EQ(engine.phase, 0);
        for (int tick = 0; tick < 200 && (engine.navigation->transitionState != kTransitionNone || engine.waiting);
             ++tick)
            engine.advanceBy(10);
        ASSERT_FALSE(engine.waiting);
    }
};

} // namespace glint::test
