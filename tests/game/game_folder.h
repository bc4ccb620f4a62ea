// A small game written into a temporary folder by a test, for the headless
// player.
#pragma once

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace glint::test {

class GameFolderTest : public ::testing::Test {
protected:
    void file(const std::string& path, const std::string& bytes) { writeFile(game / path, bytes); }
    // "data/PATH/_NAME.scene" and "data/PATH/NAME.script".
    void scene(const std::string& path, const std::string& json, const std::string& script) {
        std::string name = path.substr(path.rfind('/') + 1);
        file("data/" + path + "/_" + name + ".scene", json);
        file("data/" + path + "/" + name + ".script", script);
    }
    // A 4 x 4 picture of one colour, made by ImageMagick.
    void image(const std::string& path, const std::string& colour) {
        ASSERT_EQ(runCommand("convert -size 4x4 xc:'" + colour + "' " + shellQuote((game / path).string())).status, 0);
    }
    // The files every game needs besides its scenes.
    void commonFiles(const std::string& config, const std::string& sceneList) {
        file("data/game.cfg", config);
        file("data/scenes.cfg", sceneList);
        file("data/_interface/loading/_loading.scene", "{}");
        file("data/_interface/game.script", "");
        file("data/_interface/_scripts/common_all.script", "");
        file("data/_interface/_scripts/common_all_post.script", "");
    }
    std::string shot(const char* name) { return (out / (std::string(name) + ".png")).string(); }
    // Runs the headless player for frames frames with the input and the
    // shots (frame, name) into out; the result of the run.
    struct Shot {
        int frame;
        const char* name;
    };
    CommandResult play(int frames, const std::string& input, std::initializer_list<Shot> shots) {
        writeFile(out / "input.txt", input);
        std::string arguments;
        for (const Shot& s : shots)
            arguments += " --shot " + std::to_string(s.frame) + ":" + shellQuote(shot(s.name));
        return runCommand(shellQuote(playerPath()) + " " + shellQuote(game.str()) + " --headless --frames " +
                          std::to_string(frames) + " --input " + shellQuote((out / "input.txt").string()) + arguments);
    }
    std::string expected(const std::string& name) {
        return (sourceDir() / "tests/game/expected" / (name + ".png")).string();
    }

    TempDir game, out;
};

} // namespace glint::test
