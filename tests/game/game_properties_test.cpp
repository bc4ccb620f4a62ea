// get_game_property and set_game_property on the application's store.
#include "game/game_properties.h"
#include "game/game_property_commands.h"
#include "game/game_property_file.h"
#include "script/script_fixture.h"
#include "support/test_support.h"

#include <filesystem>

using namespace glint;
using glint::test::ScriptFixture;
using glint::test::TempDir;

namespace {

int saves = 0;

struct GamePropertiesTest : ScriptFixture {
    GamePropertiesTest() {
        saves = 0;
        store.saveFile = [](GameProperties&) { ++saves; };
        registerGamePropertyCommands(&store);
    }
    ~GamePropertiesTest() override { registerGamePropertyCommands(nullptr); }

    GameProperties store;
};

TEST_F(GamePropertiesTest, KeysHoldATextOrANumberAndEverySetSaves) {
    load("init {\n"
         "  set #fresh 5\n  get_game_property first_run #fresh\n"
         "  set_game_property player Anna\n  get_game_property player #player\n"
         "  set_game_property player 2.5\n  get_game_property player #player_number\n"
         "  set_game_property volume #nothing\n  get_game_property volume #volume\n"
         "  set #no_key 5\n  get_game_property 12 #no_key\n  set_game_property 12 7\n"
         "}\n");
    EXPECT_EQ(number("fresh"), 0); // a key never set reads 0 ...
    EXPECT_EQ(text("player"), "Anna");
    EXPECT_EQ(number("player_number"), 2.5); // a number clears the text
    EXPECT_EQ(number("volume"), 0);           // neither text nor number: 0
    EXPECT_TRUE(value("no_key").isNone());    // keys are texts
    ASSERT_EQ(store.entries().size(), 3u);    // ... and is added, in order
    EXPECT_EQ(store.entries()[0].key, intern("first_run"));
    EXPECT_EQ(store.entries()[1].key, intern("player"));
    EXPECT_EQ(store.entries()[1].text, nullptr);
    EXPECT_EQ(saves, 3); // each set, and nothing else
}

// The file keeps the entries in order, texts and numbers; one that cannot
// be read leaves the store empty and is kept aside.
TEST_F(GamePropertiesTest, TheFileKeepsTheStoreAndADamagedOneLeavesItEmpty) {
    TempDir folder;
    std::string path = (folder / "game.sav").string();
    store.lookup(intern("player")).text = intern("Anna");
    store.lookup(intern("volume")).number = 0.25;
    ASSERT_TRUE(saveGamePropertyFile(store, path, false));

    GameProperties read;
    read.lookup(intern("stale")).number = 1;
    loadGamePropertyFile(read, path, false);
    ASSERT_EQ(read.entries().size(), 2u);
    EXPECT_EQ(read.entries()[0].key, intern("player"));
    EXPECT_EQ(read.entries()[0].text, intern("Anna"));
    EXPECT_EQ(read.entries()[1].number, 0.25);
    EXPECT_EQ(read.entries()[1].text, nullptr);

    std::string bytes = glint::test::readFile(path);
    bytes[5] = static_cast<char>(bytes[5] ^ 0x04); // the second random word
    glint::test::writeFile(path, bytes);
    loadGamePropertyFile(read, path, false);
    EXPECT_TRUE(read.entries().empty());
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(glint::test::readFile(path + ".damaged"), bytes);
}

} // namespace
