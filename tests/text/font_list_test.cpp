#include "engine/resources/resource.h"
#include "engine/system/system.h"
#include "engine/text/text_encoding.h"
#include "text/font_fixtures.h"
#include "text/font_list.h"
#include "text/typed_chars.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace glint::test {
namespace {

// A game folder whose fonts folder the tests fill, used as the data path.
class GameFolderTest : public testing::Test {
protected:
    void TearDown() override { std::filesystem::current_path(std::filesystem::temp_directory_path()); }

    std::filesystem::path fonts() const { return game / "data" / "_interface" / "fonts"; }
    void addFont(int number, int pages = 1) {
        writeFixtureFont(fonts(), "font_" + std::to_string(number), plainGlyphs(), pages);
    }
    void start() {
        systemResetForTests();
        ASSERT_TRUE(systemInit(game.str().c_str()));
        resourceInit();
    }

    TempDir game;
};

using FontListTest = GameFolderTest;

TEST_F(FontListTest, FindsFontsByNumberUpToTheFirstGap) {
    const std::pair<std::set<int>, std::set<int>> cases[] = {
        {{1, 2}, {1, 2}},       // a missing font 0 is passed over
        {{0, 2}, {0}},          // any other gap ends the search
        {{0, 1, 2}, {0, 1, 2}},
        {{3}, {}},
        {{}, {}},
    };
    for (const auto& [present, listed] : cases) {
        std::filesystem::remove_all(fonts());
        std::filesystem::create_directories(fonts());
        for (int number : present)
            addFont(number);
        start();
        MFontList list;
        EXPECT_EQ(loadFonts(list, "png"), static_cast<int>(listed.size()));
        for (int number = 0; number < 5; ++number)
            EXPECT_EQ(list.font(number) != nullptr, listed.count(number) == 1) << "font " << number;
        EXPECT_EQ(list.count(), listed.empty() ? 0 : *listed.rbegin() + 1);
    }
}

TEST_F(FontListTest, NeedsDescriptorAndPageOfTheBuildExtension) {
    addFont(0);
    addFont(1);
    std::filesystem::remove(fonts() / "font_1.font");
    start();
    MFontList list;
    EXPECT_EQ(loadFonts(list, "dds"), 0) << "the pages are PNG";
    EXPECT_EQ(loadFonts(list, "png"), 1);
    EXPECT_EQ(list.font(1), nullptr) << "a page without its descriptor is no font";
}

TEST_F(FontListTest, LineSpacingFromFontsCfg) {
    for (int number = 0; number < 4; ++number)
        addFont(number, number == 0 ? 2 : 1);
    writeFile(fonts() / "fonts.cfg",
              "font_03_line_spacing=4\r\nfont_01_line_spacing=-1.5\r\nfont_00_line_spacing=\r\n"
              "font_2_line_spacing=9\r\n");
    start();
    MFontList list;
    ASSERT_EQ(loadFonts(list, "png"), 4);
    EXPECT_FLOAT_EQ(list.font(0)->lineSpacing, 0);
    EXPECT_FLOAT_EQ(list.font(1)->lineSpacing, -1.5f);
    EXPECT_FLOAT_EQ(list.font(2)->lineSpacing, 0) << "the key has two digits";
    EXPECT_FLOAT_EQ(list.font(3)->lineSpacing, 4);
    EXPECT_NE(list.font(0)->page(1), nullptr) << "the second page comes from _font_0_1";

    KText& font = *list.font(3);
    EXPECT_FLOAT_EQ(font.measureTextBox("aaaa bbbb", 45, 20, 1, 2).height, 2 * (20 + 4) * 2 - 4);
    QuadRecorder recorder;
    font.drawTextBox("aaaa bbbb", -1, 0, 45, 0, K_ALIGN_LEFT, 20, 1, 2);
    const std::vector<DrawnQuad>& quads = recorder.finish();
    ASSERT_EQ(quads.size(), 8u);
    EXPECT_FLOAT_EQ(quads[4].top - quads[0].top, (20 + 4) * 2) << "each line steps (lineHeight + 4) x scaleY";
}

TEST_F(FontListTest, FontsThatFailToLoadAreStillListed) {
    addFont(0);
    addFont(1);
    writeFile(fonts() / "_font_0_0.png", "not a PNG");
    writeFile(fonts() / "font_1.font", "FONT 2 1 1\n65 0 0 7 15 10 20 0 0 0\n");
    start();
    MFontList list;
    ASSERT_EQ(loadFonts(list, "png"), 2);
    ASSERT_NE(list.font(0), nullptr);
    EXPECT_EQ(list.font(0)->page(0), nullptr);
    EXPECT_FLOAT_EQ(list.font(0)->textWidth("ab", 0, 1, K_TEXT_UTF8), 20) << "its glyphs still measure";
    ASSERT_NE(list.font(1), nullptr);
    EXPECT_EQ(list.font(1)->glyphCount(), 0) << "version 2 loads no glyphs";
    EXPECT_FLOAT_EQ(list.font(1)->measureTextBox("ab", 100, 20, 1, 1).width, 0);
}

using TypedCharsTest = GameFolderTest;

TEST_F(TypedCharsTest, AsciiAndTheListedCharacters) {
    writeFile(fonts() / "characters.cfg",
              "; accented letters\r\n"
              "\xC3\xA9\xC3\xBC\r\n"
              "\t\xE2\x82\xAC\r\n"
              ";\xC3\x9F is commented out\n"
              "\r\n"
              "\xE6\x97\xA5\xF0\x90\x90\x80\xF0\x9F\x98\x80\n");
    start();
    loadCharacterTable();
    struct Case {
        int32_t code;
        bool allowed;
    };
    const Case cases[] = {
        {' ', true}, {'~', true}, {'a', true}, {0x1F, false}, {0x7F, false}, {'\t', false},
        {0xE9, true}, {0xFC, true}, {0x20AC, true}, {0xDF, false}, {0x65E5, true},
        {0x10400, true},   // below 0x11000
        {0x1F600, false},  // beyond the table
        {0xE8, false}, {-1, false}, {0x110000, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(typedCharAllowed(c.code), c.allowed) << std::hex << c.code;

    std::filesystem::remove(fonts() / "characters.cfg");
    loadCharacterTable();
    EXPECT_TRUE(typedCharAllowed('A'));
    EXPECT_FALSE(typedCharAllowed(0xE9)) << "without the file only ASCII";
}

} // namespace
} // namespace glint::test
