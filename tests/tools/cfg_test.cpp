#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>

using namespace glint::test;

namespace {

CommandResult cfgGet(const std::string& gameDir, const std::string& key) {
    return runCommand(shellQuote(toolPath()) + " cfg get " + shellQuote(gameDir) + " " + shellQuote(key));
}

std::string utf16le(const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

} // namespace

TEST(CfgGet, AnswersAsTheEngineReads) {
    TempDir game;
    writeFile(game / "data" / "game.cfg", "BuildScreenW=800\r\nBuildTitleName=Mystery\r\nfirst=1\r\nfirst=2\r\n"
                                          ";hidden=1\r\nquoted=\"12\"\r\nsmall=0.1\r\nhalf=2.5\r\nover=1\r\n"
                                          "spaced = 5\r\nlist=png,dds\r\nempty=\r\n");
    writeFile(game / "data_override" / "game.cfg", "over=3\nover=4\nonly_here=yes\n");
    struct Case {
        const char* key;
        const char* out;
        int status;
    };
    const Case cases[] = {
        {"BuildScreenW", "number 800\n", 0},  {"BuildTitleName", "string Mystery\n", 0},
        {"first", "number 1\n", 0},           {"over", "number 4\n", 0},
        {"only_here", "string yes\n", 0},     {"quoted", "string 12\n", 0},
        {"small", "number 0.10\n", 0},        {"half", "number 2.50\n", 0},
        {"spaced ", "string  5\n", 0},        {"list", "string png,dds\n", 0},
        {"empty", "string \n", 0},            {"spaced", "missing\n", 1},
        {";hidden", "missing\n", 1},          {"buildscreenw", "missing\n", 1},
        {"NoSuchKey", "missing\n", 1},
    };
    for (const Case& c : cases) {
        CommandResult result = cfgGet(game.str(), c.key);
        EXPECT_EQ(result.out, c.out) << c.key << ": " << result.err;
        EXPECT_EQ(result.status, c.status) << c.key;
    }
}

TEST(CfgGet, ReadsUtf16AndTheArchive) {
    TempDir game;
    writeFile(game / "data" / "game.cfg", utf16le("BuildGameName=Wide\r\n"));
    CommandResult result = cfgGet(game.str(), "BuildGameName");
    EXPECT_EQ(result.out, "string Wide\n") << result.err;

    TempDir packed;
    writeFile(packed / "staging" / "data" / "game.cfg", "BuildScreenH=720\r\n");
    CommandResult zip = runCommand("cd " + shellQuote((packed / "staging").string()) + " && zip -q -r " +
                                   shellQuote((packed / "data.pak").string()) + " data");
    ASSERT_EQ(zip.status, 0) << zip.err;
    result = cfgGet(packed.str(), "BuildScreenH");
    EXPECT_EQ(result.out, "number 720\n") << result.err;

    // Text files are read through a stream, which prefers the loose copy.
    writeFile(packed / "data" / "game.cfg", "BuildScreenH=600\r\n");
    result = cfgGet(packed.str(), "BuildScreenH");
    EXPECT_EQ(result.out, "number 600\n") << result.err;
}

TEST(CfgGet, WithoutConfigurationEveryKeyIsMissing) {
    TempDir game;
    CommandResult result = cfgGet(game.str(), "BuildScreenW");
    EXPECT_EQ(result.out, "missing\n");
    EXPECT_EQ(result.status, 1);
}

TEST(CfgGet, Errors) {
    TempDir scratch;
    std::string missing = (scratch / "no-such-game").string();
    CommandResult result = cfgGet(missing, "BuildScreenW");
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("game folder '" + missing + "' does not exist"), std::string::npos) << result.err;

    writeFile(scratch / "plain-file", "");
    result = cfgGet((scratch / "plain-file").string(), "BuildScreenW");
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("is not a folder"), std::string::npos) << result.err;

    result = runCommand(shellQuote(toolPath()) + " cfg get " + shellQuote(scratch.str()));
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("usage: glint-tool cfg get GAME_DIR KEY"), std::string::npos) << result.err;
    result = runCommand(shellQuote(toolPath()) + " cfg set " + shellQuote(scratch.str()) + " a");
    EXPECT_EQ(result.status, 2);
}
