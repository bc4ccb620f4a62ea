#include "engine/system/clock.h"
#include "engine/system/files.h"
#include "engine/system/log.h"
#include "engine/system/numbers.h"
#include "engine/system/system.h"
#include "engine/system/utf.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <random>
#include <regex>
#include <unistd.h>

using namespace glint;
using glint::test::TempDir;

TEST(Log, LineStartsWithTheLocalTime) {
    char line[64];
    size_t length = formatLogLine(line, sizeof line, 9, 5, 3, "hello");
    EXPECT_EQ(std::string(line, length), "09:05:03: hello\n");

    clearMemoryLog();
    logMessage("Resource: %s %d", "count", 3);
    EXPECT_TRUE(std::regex_match(memoryLog(), std::regex("[0-9]{2}:[0-9]{2}:[0-9]{2}: Resource: count 3\n")));
}

TEST(Log, MemoryKeepsOnlyTheFirst8KiB) {
    clearMemoryLog();
    std::string text(100, 'x');
    for (int i = 0; i < 200; ++i)
        logMessage("%03d %s", i, text.c_str());
    std::string log = memoryLog();
    EXPECT_EQ(log.size(), kMemoryLogSize);
    EXPECT_NE(log.find(": 000 x"), std::string::npos);
    EXPECT_EQ(log.find(": 199 x"), std::string::npos);
}

TEST(Log, DebugTraceReachesTheSinkLineByLine) {
    std::vector<std::string> lines;
    setTraceSink([](const char* line, void* user) { static_cast<std::vector<std::string>*>(user)->push_back(line); },
                 &lines);
    debugTrace("ERROR in script %s: %s\n", "main", "oops");
    setTraceSink(nullptr, nullptr);
    debugTrace("discarded");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "ERROR in script main: oops");
}

TEST(Numbers, ParsersReadTheDecimalForm) {
    const std::map<std::string, float> floats = {
        {"-1.25", -1.25f}, {"3.", 3.0f}, {".5", 0.5f}, {"1e3", 1.0f}, {"", 0.0f}, {" 2", 0.0f}, {"12abc", 12.0f}};
    for (const auto& [text, expected] : floats) {
        EXPECT_FLOAT_EQ(parseFloat(text.c_str()), expected) << text;
        EXPECT_DOUBLE_EQ(static_cast<double>(parseDouble(text.c_str())), expected) << text;
    }
    EXPECT_EQ(parseInt("-42x"), -42);
    EXPECT_EQ(parseInt("7.9"), 7);
    EXPECT_EQ(parseInt("x"), 0);
}

TEST(Numbers, PackColorClampsAndTruncates) {
    EXPECT_EQ(packColor(1, 0.5f, 0, 2), 0xFF007FFFu);
    EXPECT_EQ(packColor(-1, 0, 0, 0), 0u);
    EXPECT_EQ(packColor(NAN, 0, 0, 1), 0xFF000000u);
}

TEST(Numbers, TrigTablesCoverTheCircle) {
    initMathTables();
    EXPECT_FLOAT_EQ(sinTable[0], 0.0f);
    EXPECT_FLOAT_EQ(sinTable[16384], 1.0f);
    EXPECT_FLOAT_EQ(cosTable[32768], -1.0f);
    EXPECT_NEAR(sinTable[8192], std::sqrt(0.5f), 1e-6);
}

TEST(Random, SeededGeneratorIsTheReferenceMersenneTwister) {
    seedRandomWith(5489);
    std::mt19937 reference(5489);
    for (int i = 0; i < 2000; ++i)
        ASSERT_EQ(randomWord(), reference()) << i;
    double value = glint::random();
    EXPECT_GE(value, 0.0);
    EXPECT_LT(value, 1.0);
}

TEST(Clock, NeverDecreases) {
    timerInit();
    int64_t last = clockMs();
    for (int i = 0; i < 100000; ++i) {
        int64_t now = clockMs();
        ASSERT_GE(now, last);
        last = now;
    }
}

TEST(Utf, ConversionsRoundTripAndStopBeforeWhatDoesNotFit) {
    const char* text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"; // a, e-acute, euro sign, an emoji
    char16_t wide[16];
    EXPECT_EQ(utf8ToUtf16(wide, text, 16), 6u); // 1 + 1 + 1 + 2 surrogates + terminator
    char back[16];
    EXPECT_EQ(utf16ToUtf8(back, wide, 16), 11u);
    EXPECT_STREQ(back, text);

    EXPECT_EQ(utf8ToUtf16(wide, text, 5), 4u); // the surrogate pair does not fit
    EXPECT_EQ(wide[3], 0);
    EXPECT_EQ(utf16ToUtf8(back, u"\u00e9\u00e9", 4), 3u);
    EXPECT_STREQ(back, "\xC3\xA9");
    EXPECT_EQ(utf8ToUtf16(wide, "x", 0), 0u);
    EXPECT_EQ(utf8ToUtf16(wide, "\xFF", 4), 2u);
    EXPECT_EQ(wide[0], 0xFFFD);
}

TEST(Files, ListDirectoryReportsEntriesAndStopsOnRequest) {
    TempDir dir;
    test::writeFile(dir / "a.txt", "a");
    std::filesystem::create_directory(dir / "sub");
    std::map<std::string, bool> seen;
    listDirectory(dir.str().c_str(), [](const char* name, bool isDirectory, void* user) {
        (*static_cast<std::map<std::string, bool>*>(user))[name] = isDirectory;
        return true;
    }, &seen);
    EXPECT_EQ(seen, (std::map<std::string, bool>{{".", true}, {"..", true}, {"a.txt", false}, {"sub", true}}));

    int calls = 0;
    listDirectory(dir.str().c_str(), [](const char*, bool, void* user) { return ++*static_cast<int*>(user) < 2; },
                  &calls);
    EXPECT_EQ(calls, 2);
    listDirectory((dir.str() + "/missing").c_str(), [](const char*, bool, void*) -> bool { throw 1; }, nullptr);
}

TEST(Files, DocumentsFolderFollowsTheUserDirsFile) {
    TempDir home;
    std::string oldHome = getenv("HOME") ? getenv("HOME") : "";
    setenv("HOME", home.str().c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home.str() + "/.config").c_str(), 1);
    EXPECT_EQ(std::string(documentsPath()), home.str());
    test::writeFile(home / ".config/user-dirs.dirs", "# written by the desktop\nXDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n");
    EXPECT_EQ(std::string(documentsPath()), home.str() + "/Papers");
    EXPECT_TRUE(std::filesystem::is_directory(home / "Papers"));
    setenv("HOME", oldHome.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
}

// The handler is whatever "xdg-open" comes first on the PATH: here a
// script that writes down the one argument it got.
TEST(Files, OpenUrlPassesOnlyWebAndMailUrlsAsOneArgument) {
    TempDir bin;
    test::writeFile(bin / "xdg-open", "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.got\"\n");
    std::filesystem::permissions(bin / "xdg-open", std::filesystem::perms::owner_all);
    std::string oldPath = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", (bin.str() + ":" + oldPath).c_str(), 1);
    const std::filesystem::path got = bin / "xdg-open.got";
    auto opened = [&got] {
        for (int i = 0; i < 500 && !std::filesystem::exists(got); ++i) usleep(10000);
        std::string text = std::filesystem::exists(got) ? test::readFile(got) : "";
        std::filesystem::remove(got);
        return text;
    };
    for (const char* url : {"https://example.com/a b?c=$(reboot)", "HTTP://example.com", "mailto:me@example.com"}) {
        EXPECT_TRUE(openUrl(url)) << url;
        EXPECT_EQ(opened(), std::string("1|") + url);
    }
    for (const char* url : {"file:///etc/passwd", "--help", "javascript:alert(1)", "ftp://example.com", ""})
        EXPECT_FALSE(openUrl(url)) << url;
    EXPECT_FALSE(std::filesystem::exists(got));
    setenv("PATH", oldPath.c_str(), 1);
}

TEST(System, DescribesTheOperatingSystem) {
    EXPECT_EQ(describeOs("Linux", "6.1.0", "x86_64", "Debian GNU/Linux 12 (bookworm)"),
              "Linux 6.1.0 x86_64 (Debian GNU/Linux 12 (bookworm))");
    EXPECT_EQ(describeOs("Linux", "6.1.0", "x86_64", ""), "Linux 6.1.0 x86_64");
    EXPECT_EQ(describeOs("Linux", std::string(300, 'r'), "x86_64", "").size(), 255u);
}

TEST(System, StartUpFixesTheDataPathAndLogsIt) {
    TempDir game;
    std::filesystem::path before = std::filesystem::current_path();
    systemResetForTests();
    clearMemoryLog();
    ASSERT_TRUE(systemInit((game.str() + "/").c_str()));
    EXPECT_EQ(std::string(dataPath()), std::filesystem::canonical(game.path()).string());
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(game.path()));
    std::string log = memoryLog();
    EXPECT_NE(log.find(": System: running on "), std::string::npos);
    EXPECT_NE(log.find(": System: data path is " + std::string(dataPath()) + "\n"), std::string::npos);
    EXPECT_TRUE(systemInit("/elsewhere")); // once only
    systemResetForTests();
    EXPECT_FALSE(systemInit((game.str() + "/missing").c_str()));
    std::filesystem::current_path(before);
}
