#include "app/command_line.h"
#include "app/headless.h"

#include <gtest/gtest.h>

using namespace glint;

namespace {

bool parse(std::vector<std::string> arguments, PlayerOptions& options, std::string& error) {
    return parsePlayerArguments(arguments, options, error);
}

TEST(CommandLine, ReadsTheGameFolderAndTheHeadlessOptions) {
    PlayerOptions options;
    std::string error;
    ASSERT_TRUE(parse({"games/demo", "--headless", "--frames", "120", "--frame-ms", "16", "--shot", "60:a.png",
                       "--shot", "70:b:c.png", "-streaming"},
                      options, error))
        << error;
    EXPECT_EQ(options.gameDir, "games/demo");
    EXPECT_TRUE(options.headless);
    EXPECT_TRUE(options.streaming);
    EXPECT_EQ(options.frames, 120);
    EXPECT_EQ(options.frameMs, 16);
    ASSERT_EQ(options.shots.size(), 2u);
    EXPECT_EQ(options.shots[1].path, "b:c.png");
}

TEST(CommandLine, RefusesWhatItCannotUse) {
    const std::vector<std::vector<std::string>> bad = {
        {"a", "b"}, {"--frames", "10"}, {"--headless", "--frames"}, {"--headless", "--frames", "0"},
        {"--headless", "--frame-ms", "x"}, {"--headless", "--shot", "60"}, {"--headless", "--shot", "0:a.png"},
        {"--fast"},
    };
    for (const auto& arguments : bad) {
        PlayerOptions options;
        std::string error;
        EXPECT_FALSE(parse(arguments, options, error)) << arguments[0];
        EXPECT_FALSE(error.empty());
    }
}

TEST(InputScript, ExpandsClicksAndKeysIntoPressAndRelease) {
    std::vector<ScriptedInput> inputs;
    std::string error;
    ASSERT_TRUE(parseInputScript("# a comment\n5 click 100 200\n\n7 key f12  # save\n9 text hello world\n"
                                 "10 focus lost\n11 shot out.png\n12 quit\n",
                                 inputs, error))
        << error;
    std::vector<std::pair<int, std::string>> got;
    for (const ScriptedInput& input : inputs)
        got.emplace_back(input.frame, input.verb);
    const std::vector<std::pair<int, std::string>> expected = {
        {5, "move"}, {5, "down"}, {6, "up"}, {7, "keydown"}, {8, "keyup"},
        {9, "text"}, {10, "focus"}, {11, "shot"}, {12, "quit"}};
    EXPECT_EQ(got, expected);
    EXPECT_EQ(inputs[0].x, 100);
    EXPECT_EQ(inputs[5].text, "hello world");
}

TEST(InputScript, NamesTheLineOfAnError) {
    const char* const bad[] = {"0 quit", "1 jump", "1 move 10", "1 down middle", "1 key enter", "1 focus away",
                               "1 quit now", "x quit", "1"};
    for (const char* line : bad) {
        std::vector<ScriptedInput> inputs;
        std::string error;
        EXPECT_FALSE(parseInputScript(std::string("2 quit\n") + line + "\n", inputs, error)) << line;
        EXPECT_EQ(error.rfind("line 2: ", 0), 0u) << error;
    }
}

TEST(InputScript, KeyNamesMapToTheEngineKeys) {
    int virtualKey = 0, sdlKey = 0;
    for (const char* name : {"escape", "space", "return", "tab", "backspace", "left", "right", "up", "down", "a",
                             "z", "0", "9", "f1", "f12"})
        EXPECT_TRUE(scriptedKey(name, virtualKey, sdlKey)) << name;
    for (const char* name : {"f13", "f0", "f01", "A", "enter", ""})
        EXPECT_FALSE(scriptedKey(name, virtualKey, sdlKey)) << name;
}

} // namespace
