// Player files on disk: a writer killed at any step leaves the old file or
// the new one, whole; a write that cannot finish keeps the old file; with
// backups, the ".tmp" copy restores a damaged file.
#include "support/test_support.h"

#include "engine/system/durable_file.h"
#include "game/profile_file.h"
#include "game/save_stream.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

using namespace glint;
using namespace glint::test;

namespace {

// A file of n ints after the header, each section of 100 closed by a
// checkpoint.
bool writeSaveFile(const std::string& path, int32_t n, int32_t seed, bool backups = false) {
    SaveStream s;
    s.backups = backups;
    if (!s.beginWrite(path, 114))
        return false;
    for (int32_t i = 0; i < n; ++i) {
        int32_t v = seed + i;
        if (!s.intField(v) || (i % 100 == 99 && !s.checkpoint()))
            return false;
    }
    return s.checkpoint() && s.commit();
}

// The seed of a whole file of n ints, or -1.
int32_t readSaveFile(const std::string& path, int32_t n) {
    SaveStream s;
    if (s.openRead(path) != kSaveOpened)
        return -1;
    int32_t first = 0, v = 0;
    for (int32_t i = 0; i < n; ++i) {
        if (!s.intField(v) || (i % 100 == 99 && !s.checkpoint()))
            return -1;
        if (i == 0)
            first = v;
        else if (v != first + i)
            return -1;
    }
    return s.checkpoint() && static_cast<size_t>(s.position()) == s.size() ? first : -1;
}

int stepsToSurvive = 0;

void dieAtStep(DurableStep) {
    if (--stepsToSurvive < 0)
        _exit(0);
}

TEST(SaveFileTest, AWriterKilledAtAnyStepLeavesAWholeFile) {
    TempDir dir;
    std::string path = (dir / "profile.profile").string();
    constexpr int32_t kInts = 20000; // about 60 KiB: many chunks
    ASSERT_TRUE(writeSaveFile(path, kInts, 1000));
    bool sawOld = false, sawNew = false;
    for (int steps = 0; steps < 40; ++steps) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            stepsToSurvive = steps;
            setDurableStepObserver(dieAtStep);
            writeSaveFile(path, kInts, steps % 2 ? 5000 : 1000 + steps);
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        int32_t seed = readSaveFile(path, kInts);
        ASSERT_GE(seed, 0) << "killed after " << steps << " steps";
        sawOld = sawOld || seed == 1000;
        sawNew = sawNew || seed != 1000;
        if (seed != 1000) {
            ASSERT_TRUE(writeSaveFile(path, kInts, 1000));
        }
    }
    EXPECT_TRUE(sawOld && sawNew);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

TEST(SaveFileTest, AWriteThatCannotFinishKeepsTheOldFile) {
    TempDir dir;
    std::string path = (dir / "game.sav").string();
    ASSERT_TRUE(writeSaveFile(path, 10, 7));
    // The side file cannot be made: a folder holds its name.
    std::filesystem::create_directory(path + ".part");
    EXPECT_FALSE(writeSaveFile(path, 10, 8));
    EXPECT_EQ(readSaveFile(path, 10), 7);
    std::filesystem::remove(path + ".part");

    // Content that fails is never committed.
    SaveStream s;
    ASSERT_TRUE(s.beginWrite(path, 114));
    std::vector<char> big(kMaxSaveBlock + 1);
    EXPECT_FALSE(s.blockField(big.data(), kMaxSaveBlock + 1));
    EXPECT_FALSE(s.commit());
    EXPECT_EQ(readSaveFile(path, 10), 7);
    EXPECT_FALSE(writeSaveFile((dir / "missing/x.sav").string(), 10, 1));
}

TEST(SaveFileTest, BackupsRestoreADamagedFile) {
    TempDir dir;
    std::string path = (dir / "anna.profile").string();
    ASSERT_TRUE(writeSaveFile(path, 300, 1, true));
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp")) << "no good file to keep yet";
    ASSERT_TRUE(writeSaveFile(path, 300, 2, true));
    EXPECT_EQ(readFile(path), readFile(path + ".tmp"));

    // The header's second random word no longer matches the first.
    std::string bytes = readFile(path);
    bytes[5] = static_cast<char>(bytes[5] ^ 1);
    writeFile(path, bytes);
    SaveStream s;
    s.backups = true;
    ASSERT_EQ(s.openReadWithBackup(path), kSaveOpened);
    EXPECT_EQ(readSaveFile(path, 300), 2);

    // Without backups a damaged file is deleted.
    writeFile(path, bytes.substr(0, 10));
    SaveStream plain;
    EXPECT_EQ(plain.openReadWithBackup(path), kSaveDamaged);
    EXPECT_FALSE(std::filesystem::exists(path));
}

} // namespace

namespace {

// The listing of the two small kinds: the profile list and the game
// properties (a profile is listed by the play test).
TEST(SaveFileTest, TheListingShowsTheProfileListAndTheGameProperties) {
    TempDir dir;
    std::string list = (dir / "profiles.sav").string(), properties = (dir / "game.sav").string();
    {
        SaveStream s;
        ASSERT_TRUE(s.beginWrite(list, 114));
        int32_t current = 2;
        Value names[kProfileSlots] = {Value::fromSymbol(intern("Anna")), Value::fromSymbol(intern("Bo \"B\""))};
        ASSERT_TRUE(profileListRecord(s, current, names) && s.commit());
    }
    {
        SaveStream s;
        ASSERT_TRUE(s.beginWrite(properties, 114));
        std::vector<GamePropertyRecord> entries = {{intern("volume"), 0.5, nullptr},
                                                   {intern("player"), 0, intern("Anna")}};
        ASSERT_TRUE(gamePropertiesRecord(s, entries) && s.commit());
    }
    CommandResult shown = runCommand(shellQuote(toolPath()) + " save dump " + shellQuote(list));
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(shown.out, "{\"format_version\":114,\"data_version\":114,\"kind\":\"profile_list\",\"current_slot\":2,"
                         "\"names\":[\"Anna\",\"Bo \\\"B\\\"\",null,null,null]}\n");
    shown = runCommand(shellQuote(toolPath()) + " save dump " + shellQuote(properties));
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(shown.out, "{\"format_version\":114,\"data_version\":114,\"kind\":\"game_properties\","
                         "\"entries\":{\"volume\":0.5,\"player\":\"Anna\"}}\n");

    CommandResult usage = runCommand(shellQuote(toolPath()) + " save dump");
    EXPECT_EQ(usage.status, 2);
    CommandResult missing = runCommand(shellQuote(toolPath()) + " save dump " + shellQuote(list + "x"));
    EXPECT_EQ(missing.status, 1);
    std::string bytes = readFile(list);
    writeFile(list, bytes.substr(0, 14));
    CommandResult cut = runCommand(shellQuote(toolPath()) + " save dump " + shellQuote(list));
    EXPECT_EQ(cut.status, 1);
    EXPECT_NE(cut.err.find("byte 0 "), std::string::npos) << cut.err;
}

} // namespace
