// Saved games in the headless player: a game state saved after things were
// found and used, loaded into a fresh run of the same game, shows and
// holds exactly those changes.
#include "inventory_game.h"

#include "game/profile_file.h"
#include "support/image_compare.h"

using namespace glint;
using namespace glint::test;

namespace {

class SavePlayTest : public InventoryGameTest {
protected:
    void SetUp() override {
        InventoryGameTest::SetUp();
        // The room of the inventory game, with variables the finds change.
        file("data/startup/startup.script",
             "action find_coin hand $coin ? {\n  do {\n    hide $coin\n    pick_item ^item_coin 3\n"
             "    set #coins 3\n    set #Coins 3\n    move $chest 40 60\n    disable @find_note\n  }\n}\n"
             "action find_key hand $key ? {\n  do {\n    hide $key\n    pick_item ^item_key\n"
             "    set #found[2] \"key\"\n    call_fx 30 &later 7\n    signal !ring 40\n"
             "    rotate $chest_open 30\n    set &later.calls 2\n    new #lamp -lamp\n    set #lamp.next #lamp.on\n"
             "  }\n}\n"
             "class lamp {\n  fun on {\n  }\n}\n"
             "fun later %n {\n  set #late %n\n}\n"
             "on !ring {\n  add #rung 1\n}\n"
             "action find_note hand $note ? {\n  do {\n    hide $note\n    pick_item ^item_letter\n  }\n}\n"
             "action open_chest hand $chest ^item_key {\n  do {\n    use\n    hide $chest\n    show $chest_open\n"
             "  }\n}\n"
             "init {\n  set #Is_serializable 1\n  hide $chest_open\n  enable @find_coin\n  enable @find_key\n  enable @find_note\n"
             "  enable @open_chest\n}\n");
    }
    std::string saved(const char* name) { return (out / name).string(); }
    // The music record at the start of a saved game: "scene.sound".
    std::string musicOf(const char* name) {
        std::string bytes = readFile(saved(name));
        SaveStream s;
        int32_t info = 0;
        Symbol *scene = nullptr, *sound = nullptr;
        if (s.openBytes(std::vector<uint8_t>(bytes.begin(), bytes.end())) != kSaveOpened || !s.wordField(info) ||
            !s.checkpoint() || !s.nameField(scene) || !s.nameField(sound))
            return "unreadable";
        return std::string(scene ? scene->text : "") + "." + (sound ? sound->text : "");
    }
};

TEST_F(SavePlayTest, AGameStateSurvivesASaveAndALoadExactly) {
    CommandResult first = play(160,
                               "80 click 60 80\n"  // the coin: hidden, three in the panel, the chest moves
                               "85 click 160 60\n" // the key
                               "150 save " + saved("first.profile") + "\n",
                               {{150, "saved"}});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.err.find("Save: 1 method values not saved, the first in 'next'"), std::string::npos)
        << first.err;

    // A fresh run loads it once the room is shown, and saves again at once:
    // the same state gives the same bytes (the header's random words
    // aside); then the panel has settled.
    CommandResult second = play(160,
                                "80 load " + saved("first.profile") + "\n"
                                "80 save " + saved("again.profile") + "\n",
                                {{150, "loaded"}});
    ASSERT_EQ(second.status, 0) << second.err;
    std::string a = readFile(saved("first.profile")), b = readFile(saved("again.profile"));
    ASSERT_GT(a.size(), 24u);
    EXPECT_EQ(a.substr(16), b.substr(16));
    expectPngMatches(readFile(shot("loaded")), shot("saved"), 0);

    // Every single-byte change of the file is found by a probing read.
    for (size_t i = 0; i < a.size(); ++i) {
        std::vector<uint8_t> bytes(a.begin(), a.end());
        bytes[i] ^= 0x01;
        SaveStream s;
        bool read = s.openBytes(bytes) == kSaveOpened;
        if (read) {
            s.probe = true;
            SaveWorld world;
            ProfileOffsets offsets;
            read = readProfileContent(s, world, nullptr, true, nullptr, offsets);
        }
        EXPECT_FALSE(read) << "byte " << i;
    }

    // The listing names what changed, and only that.
    CommandResult dump = runCommand(shellQuote(toolPath()) + " save dump " + shellQuote(saved("first.profile")));
    ASSERT_EQ(dump.status, 0) << dump.err;
    for (const char* text : {"\"kind\":\"profile\"", "\"coins\":3", "\"name\":\"coin\"", "\"name\":\"chest\"",
                             "\"name\":\"item_coin\",\"count\":3",
                             "\"found[]\":{\"2\":\"key\"}", "\"find_note\":{\"state\":\"disabled\"",
                             "\"name\":\"chest_open\"", "\"function\":\"startup.later\"",
                             "\"functions\":{\"later\":{\"calls\":2}}", "\"ring\":{\"countdown\":"})
        EXPECT_NE(dump.out.find(text), std::string::npos) << text << " in " << dump.out;
    for (const char* text : {"Coins", "\"name\":\"note\""})
        EXPECT_EQ(dump.out.find(text), std::string::npos) << text << " in " << dump.out;
}

// A close-up open in the item slot when the game was saved is open again,
// fully shown, after the load.
TEST_F(SavePlayTest, TheCloseUpInTheItemSlotComesBack) {
    std::string script = readFile((game / "data/startup/startup.script").string());
    script.replace(script.find("pick_item ^item_letter\n"), 23, "pick_item ^item_letter\n    open +item_letter\n");
    file("data/startup/startup.script", script);
    CommandResult first = play(260,
                               "90 click 260 80\n" // the note: the letter, and its close-up opens
                               "250 save " + saved("open.profile") + "\n",
                               {{85, "closed"}, {250, "open"}});
    ASSERT_EQ(first.status, 0) << first.err;
    ASSERT_TRUE(readFile(shot("closed")) != readFile(shot("open"))) << "the close-up did not open";

    CommandResult second = play(260,
                                "80 load " + saved("open.profile") + "\n"
                                "80 save " + saved("again.profile") + "\n",
                                {{250, "loaded"}});
    ASSERT_EQ(second.status, 0) << second.err;
    expectPngMatches(readFile(shot("loaded")), shot("open"), 0);
    EXPECT_EQ(readFile(saved("open.profile")).substr(16), readFile(saved("again.profile")).substr(16));
}

// A profile saved with "?reset_state" at 1 starts its game afresh: the load
// restores the music it was saved with and nothing else.
TEST_F(SavePlayTest, AResetStateLoadRestoresOnlyTheMusic) {
    file("data/startup/_sounds/_sounds.cfg", "m_theme=L\r\n");
    ASSERT_EQ(runCommand("sox -n -r 22050 -c 1 " + shellQuote((game / "data/startup/_sounds/m_theme.ogg").string()) +
                         " synth 1 sine 440 vol 0.5")
                  .status,
              0);
    // The note asks for the reset instead of being found.
    std::string script = readFile((game / "data/startup/startup.script").string());
    script.replace(script.find("enable @find_note"), 17, "enable @restart");
    file("data/startup/startup.script",
         script + "action restart hand $note ? {\n  do {\n    music *m_theme\n    set #?reset_state 1\n  }\n}\n");
    CommandResult first = play(260,
                               "80 click 60 80\n"  // the coin
                               "85 click 160 60\n" // the key
                               "90 click 260 80\n" // the note: music, and the reset asked for
                               "150 save " + saved("reset.profile") + "\n",
                               {});
    ASSERT_EQ(first.status, 0) << first.err;
    ASSERT_EQ(musicOf("reset.profile"), "startup.m_theme");

    CommandResult fresh = play(160, "150 save " + saved("fresh.profile") + "\n", {{150, "fresh"}});
    ASSERT_EQ(fresh.status, 0) << fresh.err;
    ASSERT_EQ(musicOf("fresh.profile"), ".");
    CommandResult second = play(160,
                                "80 load " + saved("reset.profile") + "\n"
                                "150 save " + saved("after.profile") + "\n",
                                {{150, "after"}});
    ASSERT_EQ(second.status, 0) << second.err;
    expectPngMatches(readFile(shot("after")), shot("fresh"), 0);
    EXPECT_EQ(musicOf("after.profile"), "startup.m_theme");
    CommandResult dump = runCommand(shellQuote(toolPath()) + " save dump " + shellQuote(saved("after.profile")));
    ASSERT_EQ(dump.status, 0) << dump.err;
    for (const char* text : {"coins", "\"count\":3", "\"name\":\"coin\"", "later"})
        EXPECT_EQ(dump.out.find(text), std::string::npos) << text << " in " << dump.out;
}

TEST_F(SavePlayTest, ADamagedFileIsRefusedAndNamesItsSection) {
    ASSERT_EQ(play(100, "90 save " + saved("game.profile") + "\n", {}).status, 0);
    std::string bytes = readFile(saved("game.profile"));
    // The game state begins at 24 with the music: two absent names, then
    // the section's check in bytes 26 to 29.
    bytes[27] = static_cast<char>(bytes[27] ^ 0x10);
    writeFile(saved("broken.profile"), bytes);
    CommandResult loaded = play(100, "90 load " + saved("broken.profile") + "\n", {});
    EXPECT_EQ(loaded.status, 1);
    EXPECT_NE(loaded.err.find("load"), std::string::npos) << loaded.err;

    CommandResult dump = runCommand(shellQuote(toolPath()) + " save dump " + shellQuote(saved("broken.profile")));
    EXPECT_EQ(dump.status, 1);
    EXPECT_EQ(dump.out, "");
    EXPECT_NE(dump.err.find("byte 24 "), std::string::npos) << dump.err;
}

} // namespace
