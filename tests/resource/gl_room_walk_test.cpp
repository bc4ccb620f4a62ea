// A game played headless in this process through its rooms and back: what
// the resource manager holds in each room must not depend on the rooms
// visited before, so every texture, image and sound of a room left behind
// has been given back.
#include "app/application.h"
#include "app/engine.h"
#include "app/headless.h"
#include "engine/resources/resource.h"
#include "engine/system/system.h"
#include "game/navigation.h"
#include "scene/scene.h"
#include "resource/resource_manager.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>

using namespace glint;
using namespace glint::test;

namespace {

// Records what is loaded at chosen frames.
class CountingDriver : public HeadlessDriver {
public:
    CountingDriver(const PlayerOptions& options, std::vector<ScriptedInput> inputs, std::map<int, std::string> points)
        : HeadlessDriver(options, std::move(inputs)), points_(std::move(points)) {}

    void framePresented(int frame, KGameWindow& window) override {
        HeadlessDriver::framePresented(frame, window);
        auto point = points_.find(frame);
        MEngine* engine = app ? app->engine() : nullptr;
        if (point != points_.end() && engine) {
            loaded[point->second] = engine->resources.loaded();
            MScene* active = engine->navigation->activeScene;
            scenes += (scenes.empty() ? "" : " ") + std::string(active ? active->name->text : "-");
        }
    }

    std::map<std::string, LoadedResources> loaded;
    std::string scenes; // the active scene at each point

private:
    std::map<int, std::string> points_;
};

std::string countsText(const LoadedResources& c) {
    return std::to_string(c.textures) + " textures, " + std::to_string(c.images) + " images, " +
           std::to_string(c.sounds) + " sounds";
}

// Sets an environment variable for the life of the object, so that tests
// run after this one in the same process see the environment they had.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old, had_ = true;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() { had_ ? setenv(name_, old_.c_str(), 1) : unsetenv(name_); }

private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

struct RoomWalk : ::testing::Test {
    TempDir game, home;

    void copy(const std::string& from, const std::string& to) {
        writeFile(game / to, readFile(sourceDir() / "games/demo/data" / from));
    }

    // A room with a background, doors that lead on, its music and an
    // effect: images and sounds of its own.
    void room(const std::string& folder, const std::string& name, const std::string& background,
              const std::map<std::string, std::pair<int, std::string>>& doors) {
        std::string scene = "{\"elements\": {\"background\": {\"I\": [\"bg.png\"], \"D\": [1024, 768], \"Z\": 100}";
        std::string script, enable;
        for (const auto& [door, target] : doors) {
            scene += ", \"" + door + "\": {\"I\": [\"door.png\"], \"D\": [100, 100], \"X\": " +
                     std::to_string(target.first) + ", \"Z\": 10, \"Hs\": [[[-50, -50], [50, -50], [50, 50], [-50, 50]]]}";
            script += "action " + door + " hand $" + door + " ? {\n  do {\n    sound *chime\n    goto +" + target.second +
                      "\n  }\n}\n";
            enable += "  enable @" + door + "\n";
        }
        writeFile(game / folder / ("_" + name + ".scene"), scene + "}}");
        // The music changes at once, so that no room's music is still
        // fading out when the next room is counted.
        writeFile(game / folder / (name + ".script"),
                  script + "on !open {\n  music *m_" + name + " 0\n}\ninit {\n" + enable + "}\n");
        copy(background, folder + "/bg.png");
        copy("_interface/hud/frame.png", folder + "/door.png");
        writeFile(game / folder / "_sounds/_sounds.cfg", "m_" + name + "=0.8 LX\nchime=0.5\n");
        copy("rooms/study/_sounds/m_cottage.ogg", folder + "/_sounds/m_" + name + ".ogg");
        copy("_interface/_sounds/click.ogg", folder + "/_sounds/chime.ogg");
    }

    void makeGame() {
        writeFile(game / "data/game.cfg", "BuildScreenW=1024\nBuildScreenH=768\nBuildSupportMScene=1\n");
        writeFile(game / "data/scenes.cfg", "data/_interface/loading\ndata/startup\ndata/hall\ndata/attic\n");
        writeFile(game / "data/_interface/loading/_loading.scene", "{}");
        writeFile(game / "data/_interface/game.script", "");
        room("data/startup", "startup", "_interface/loading/_background.png", {{"door", {0, "hall"}}});
        room("data/hall", "hall", "startup/_startup_00.png",
             {{"door_attic", {-300, "attic"}}, {"door_back", {300, "startup"}}});
        room("data/attic", "attic", "rooms/study/_study_00.png", {{"door_down", {0, "hall"}}});
    }
};

TEST_F(RoomWalk, EachRoomHoldsTheSameResourcesWhateverWasVisitedBefore) {
    makeGame();
    // Each room settles for 120 frames (its fade-in and the chime of the
    // door that led there are over) before it is counted and left.
    const std::string walk = "110 click 512 384\n" // startup: to the hall
                             "240 click 212 384\n" // hall: up to the attic
                             "370 click 512 384\n" // attic: down to the hall
                             "500 click 812 384\n" // hall: back to the start
                             "631 quit\n";
    std::vector<ScriptedInput> inputs;
    std::string error;
    ASSERT_TRUE(parseInputScript(walk, inputs, error)) << error;
    ScopedEnv video("SDL_VIDEODRIVER", "offscreen"), data("XDG_DATA_HOME", home.str());
    PlayerOptions options;
    options.gameDir = game.str();
    options.headless = true;
    options.frames = 700;
    CountingDriver driver(options, inputs,
                          {{100, "startup"}, {230, "hall"}, {360, "attic"}, {490, "hall again"}, {620, "startup again"}});
    systemResetForTests();
    ASSERT_TRUE(systemInit(options.gameDir.c_str()));
    ASSERT_TRUE(runDriven(driver)) << "the offscreen window could not be created";
    ASSERT_EQ(driver.loaded.size(), 5u);
    const LoadedResources& start = driver.loaded["startup"];
    const LoadedResources& hall = driver.loaded["hall"];
    EXPECT_GT(start.images, 0);
    EXPECT_GT(start.sounds, 0);
    ASSERT_EQ(driver.scenes, "startup hall attic hall startup");
    EXPECT_EQ(countsText(driver.loaded["hall again"]), countsText(hall));
    EXPECT_EQ(countsText(driver.loaded["startup again"]), countsText(start));
}

} // namespace
