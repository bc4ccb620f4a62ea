// Profiles in a running game: which slots have files, the current slot,
// the start-up check of the list, damaged files, information saves and
// key lookups, and the save requests served by the scene switch and the
// tick.
#include "app/engine_fixture.h"

#include "engine/system/log.h"
#include "game/navigation.h"
#include "game/profiles.h"
#include "script/interpreter.h"
#include "script/script_system.h"

#include <filesystem>
#include <set>

using namespace glint;
using namespace glint::test;

namespace fs = std::filesystem;

namespace {

struct ProfilesTest : EngineFixture {
    MEngine* engine = nullptr;
    MProfiles* profiles = nullptr;

    // Two gameplay rooms; the global script keeps profile information and
    // counts "load" signals.
    void makeRooms(const std::string& config = "") {
        makeGame("BuildSupportMScene=1\r\n" + config,
                 "init {\n  set #Is_serializable 1\n}\n"
                 "fun change {\n  set #progress 2\n}\n"
                 "fun hold {\n  take $lamp\n}\n"
                 "fun fly {\n  start_picking_anim $lamp $lamp\n}\n",
                 "on !load {\n  add #loads 1\n}\n");
        file("data/scenes.cfg", "data/_interface/loading\r\ndata/startup\r\ndata/hall\r\n");
        file("data/startup/_startup.scene", R"({"elements": {"lamp": {"D": [10, 10]}}})");
        file("data/hall/_hall.scene", "{}");
        file("data/hall/hall.script", "");
    }
    // A new process: the engine starts on the same per-user folder.
    void begin() {
        engine = &start();
        profiles = engine->profiles.get();
        loadUntilPlay(*engine);
    }
    fs::path user(const std::string& name) { return game / "user" / name; }
    Value& global(const char* name) {
        return *findVariable(engine->scriptSystem().global(), KindPlain, intern(name), nullptr, true);
    }
    void name(int slot, const char* text) { profiles->names[slot - 1] = Value::fromSymbol(intern(text)); }
    std::string nameOf(int slot) {
        const Value& v = profiles->names[slot - 1];
        return v.isString() ? v.symbol()->text : v.isNone() ? "(none)" : "(other)";
    }
    // Runs script lines as the body of a global function.
    void script(const std::string& lines) {
        file("data/_interface/game.script", "on !load {\n  add #loads 1\n}\nfun run {\n" + lines + "}\n");
        begin();
    }
    void call(const char* function, Scope* scope = nullptr) {
        ASSERT_TRUE(callScopeFunction(scope ? *scope : engine->scriptSystem().global(), intern(function), nullptr, 0));
    }
    Scope& startup() { return engine->findScene(intern("startup"))->scope; }
    void ticks(int count) {
        for (int i = 0; i < count; ++i)
            engine->advanceBy(10);
    }
    // Three named slots with files, the third current, and the list.
    void threeProfiles() {
        for (int slot = 1; slot <= 3; ++slot) {
            name(slot, slot == 1 ? "Anna" : slot == 2 ? "Ben" : "Cleo");
            ASSERT_TRUE(profiles->saveProfile(slot));
        }
        profiles->index = Value::fromNumber(3);
        ASSERT_TRUE(profiles->saveList());
    }
};

TEST_F(ProfilesTest, OnlyNamesOfAsciiLettersAndDigitsHaveFiles) {
    makeRooms();
    begin();
    struct Case {
        const char* label;
        Value name;
        const char* file; // null: the slot has no file
    } cases[] = {
        {"letters and digits", Value::fromSymbol(intern("Anna2")), "Anna2.profile"},
        {"empty", Value::fromSymbol(intern("")), ".profile"},
        {"underscore", Value::fromSymbol(intern("Anna_2")), nullptr},
        {"non-ASCII", Value::fromSymbol(intern("Zo\xc3\xab")), nullptr},
        {"number", Value::fromNumber(7), nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        profiles->names[0] = c.name;
        EXPECT_EQ(profiles->saveProfile(1), c.file != nullptr);
        EXPECT_EQ(fs::exists(user(c.file ? c.file : "Anna_2.profile")), c.file != nullptr);
        profiles->loadProfileAndSignal(1, true, nullptr, nullptr);
        EXPECT_EQ(profiles->loadResult.number, c.file ? 0 : -1);
        profiles->deleteProfileFiles(1);
        EXPECT_FALSE(c.file && fs::exists(user(c.file)));
    }
    EXPECT_EQ(global("loads").number, 5); // every load signals, found or not
    EXPECT_EQ(std::distance(fs::directory_iterator(game / "user"), fs::directory_iterator()), 0);
}

TEST_F(ProfilesTest, TheCurrentSlotIsProfileIndexRoundedHalfAwayFromZero) {
    makeRooms();
    script("  set #Profile_names[2] Bea\n  set #Profile_names[3] Cleo\n  set #Profile_index 2.5\n"
           "  save_profile_info\n");
    call("run");
    EXPECT_TRUE(fs::exists(user("Cleo.profile")));
    EXPECT_FALSE(fs::exists(user("Bea.profile")));
    EXPECT_EQ(profiles->version.number, 114);
    EXPECT_EQ(nameOf(3), "Cleo"); // the scripts write the engine's cells
}

TEST_F(ProfilesTest, StartUpDropsASlotWhoseFileIsMissingAndSavesTheList) {
    makeRooms();
    begin();
    EXPECT_EQ(profiles->loadProfilesResult.number, -1); // no list yet
    threeProfiles();
    fs::remove(user("Ben.profile"));

    begin();
    EXPECT_EQ(profiles->loadProfilesResult.number, kProfileDropped);
    EXPECT_EQ(nameOf(1), "Anna");
    EXPECT_EQ(nameOf(2), "Cleo");
    for (int slot = 3; slot <= 5; ++slot)
        EXPECT_EQ(nameOf(slot), "(none)");
    EXPECT_EQ(profiles->index.number, 2); // Cleo stays current
    EXPECT_FALSE(fs::exists(user("Ben.profile.damaged"))); // nothing was there to keep

    begin(); // the list was written again
    EXPECT_EQ(profiles->loadProfilesResult.number, 0);
    EXPECT_EQ(nameOf(2), "Cleo");
    EXPECT_EQ(profiles->index.number, 2);
}

TEST_F(ProfilesTest, ResetProfilesLeavesNoCopyThatWouldBringThemBack) {
    makeRooms("BuildSupportIngameSaves=1\r\n");
    script("  reset_profiles\n");
    threeProfiles();
    threeProfiles(); // a save over a good file keeps it as ".tmp"
    ASSERT_TRUE(fs::exists(user("Anna.profile.tmp")));
    ASSERT_TRUE(fs::exists(user("profiles.sav.tmp")));
    writeFile(user("notes.txt"), "kept");
    writeFile(user("Anna.profile.damaged"), "kept");

    call("run");
    EXPECT_EQ(nameOf(1), "Anna"); // the names in memory stay
    std::set<std::string> left;
    for (const auto& entry : fs::directory_iterator(game / "user"))
        left.insert(entry.path().filename().string());
    EXPECT_EQ(left, (std::set<std::string>{"notes.txt", "Anna.profile.damaged"}));
    begin();
    EXPECT_EQ(profiles->loadProfilesResult.number, -1);
}

struct Damage {
    const char* label;
    size_t offset;
};

void PrintTo(const Damage& damage, std::ostream* out) { *out << damage.label; }

struct DamagedProfileTest : ProfilesTest, ::testing::WithParamInterface<Damage> {};

// The header's random word, and the music record of the game state.
INSTANTIATE_TEST_SUITE_P(Places, DamagedProfileTest,
                         ::testing::Values(Damage{"header", 5}, Damage{"game_state", 24}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_P(DamagedProfileTest, ADamagedFileIsKeptBesideItsPlaceAndItsSlotDropped) {
    makeRooms();
    begin();
    threeProfiles();
    std::string bytes = readFile(user("Anna.profile"));
    bytes[GetParam().offset] = static_cast<char>(bytes[GetParam().offset] ^ 0x20);
    writeFile(user("Anna.profile"), bytes);
    writeFile(user("Anna.profile.damaged"), "an older copy");

    clearMemoryLog();
    begin();
    EXPECT_EQ(profiles->loadProfilesResult.number, kProfileDropped);
    EXPECT_EQ(nameOf(1), "Ben");
    EXPECT_EQ(profiles->index.number, 2);
    EXPECT_FALSE(fs::exists(user("Anna.profile")));
    EXPECT_EQ(readFile(user("Anna.profile.damaged")), bytes);
    std::string line = "System: damaged file " + user("Anna.profile").string() + " kept as " +
                       user("Anna.profile.damaged").string() + ", WARNING";
    EXPECT_NE(memoryLog().find(line), std::string::npos) << memoryLog();
}

TEST_F(ProfilesTest, ASavedGameThatFailsToLoadIsKeptAsideAndReported) {
    makeRooms();
    script("  load_profile_state\n  goto +hall\n");
    name(1, "Anna");
    profiles->index = Value::fromNumber(1);
    ASSERT_TRUE(profiles->saveProfile(1));
    std::string bytes = readFile(user("Anna.profile"));
    bytes[24] = static_cast<char>(bytes[24] ^ 0x20);
    writeFile(user("Anna.profile"), bytes);

    call("run");
    ticks(200);
    EXPECT_EQ(profiles->loadResult.number, -2);
    EXPECT_EQ(global("loads").number, 1);
    EXPECT_FALSE(fs::exists(user("Anna.profile")));
    EXPECT_EQ(readFile(user("Anna.profile.damaged")), bytes);
}

TEST_F(ProfilesTest, GetProfileInfoReadsOneValueAndAppliesNothing) {
    makeRooms();
    script("  get_profile_info #absent 1 missing\n  get_profile_info #score 1 score\n");
    name(1, "Anna");
    global("?score") = Value::fromNumber(5);
    ASSERT_TRUE(profiles->saveProfile(1));
    global("?score") = Value::fromNumber(7);
    global("absent") = Value::fromNumber(1);

    call("run");
    EXPECT_TRUE(global("absent").isNone());
    EXPECT_EQ(global("score").number, 5);
    EXPECT_EQ(global("?score").number, 7);
    EXPECT_EQ(profiles->loadResult.number, 0);
    EXPECT_EQ(global("loads").number, 2);
    EXPECT_EQ(profiles->version.number, 114); // key lookups leave it
}

TEST_F(ProfilesTest, AnInformationSaveLeavesTheGameStateBytesAsTheyWere) {
    makeRooms();
    begin();
    name(1, "Anna");
    profiles->index = Value::fromNumber(1);
    global("?score") = Value::fromNumber(5);
    ASSERT_TRUE(profiles->saveProfile(1));
    std::string full = readFile(user("Anna.profile"));
    int32_t infoOffset = profiles->offsets.info;

    call("change", &startup()); // the game moves on: a full save would differ here
    global("?score") = Value::fromNumber(8);
    global("?title") = Value::fromSymbol(intern("Master"));
    ASSERT_TRUE(profiles->saveProfileInfo(1));
    std::string info = readFile(user("Anna.profile"));
    ASSERT_GT(infoOffset, 24);
    EXPECT_EQ(info.substr(16, infoOffset - 16), full.substr(16, infoOffset - 16));
    EXPECT_NE(info.substr(infoOffset), full.substr(infoOffset));
    name(2, "Ben"); // what a full save would have written
    ASSERT_TRUE(profiles->saveProfile(2));
    EXPECT_NE(readFile(user("Ben.profile")).substr(16, infoOffset - 16), full.substr(16, infoOffset - 16));

    begin(); // both sections read back: the new information, the old state
    profiles->index = Value::fromNumber(1);
    name(1, "Anna");
    profiles->clearProfileInfo();
    EXPECT_EQ(profiles->loadProfile(1, true, nullptr, nullptr), 0);
    EXPECT_EQ(global("?score").number, 8);
    EXPECT_EQ(std::string(global("?title").symbol()->text), "Master");
    EXPECT_TRUE(findVariable(startup(), KindPlain, intern("progress"), nullptr, true)->isNone());
}

TEST_F(ProfilesTest, ASaveRequestDuringAGotoIsServedByTheSwitch) {
    makeRooms(); // without BuildSupportIngameSaves: the tick would drop it
    script("  goto +hall\n  save_profile_state\n");
    name(1, "Anna");
    profiles->index = Value::fromNumber(1);
    call("run");
    while (!engine->switching()) {
        ticks(1);
        ASSERT_FALSE(fs::exists(user("Anna.profile")));
    }
    while (engine->switching())
        ticks(1);
    EXPECT_TRUE(fs::exists(user("Anna.profile")));
    EXPECT_EQ(profiles->saveRequest, kNoSaveRequest);
}

struct TickRequest {
    const char* label;
    const char* command;
    const char* hold; // what the startup scene does first, if anything
    bool saved;
};

void PrintTo(const TickRequest& request, std::ostream* out) { *out << request.label; }

struct TickRequestTest : ProfilesTest, ::testing::WithParamInterface<TickRequest> {};

INSTANTIATE_TEST_SUITE_P(Requests, TickRequestTest,
                         ::testing::Values(TickRequest{"autosave_at_rest", "save_profile_state", nullptr, true},
                                           TickRequest{"autosave_while_taken", "save_profile_state", "hold", false},
                                           TickRequest{"autosave_while_flying", "save_profile_state", "fly", false},
                                           TickRequest{"new_profile_while_taken", "save_new_profile", "hold", true}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_P(TickRequestTest, TheTickSavesOnlyAtRestUnlessTheScriptsInsist) {
    makeRooms("BuildSupportIngameSaves=1\r\n");
    script(std::string("  ") + GetParam().command + "\n");
    name(1, "Anna");
    profiles->index = Value::fromNumber(1);
    if (GetParam().hold)
        call(GetParam().hold, &startup());
    call("run");
    ticks(1);
    EXPECT_EQ(fs::exists(user("Anna.profile")), GetParam().saved);
    EXPECT_EQ(profiles->saveRequest, kNoSaveRequest); // served or dropped, never kept
}

} // namespace
