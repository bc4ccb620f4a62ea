#include "engine/render/texture.h"
#include "engine/system/log.h"
#include "engine/text/text.h"
#include "engine/text/text_encoding.h"
#include "text/font_fixtures.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace glint::test {
namespace {

struct ParseCase {
    const char* name;
    std::string descriptor;
    int pages;  // -1 = refused
    int glyphs;
};

TEST(FontDescriptor, RefusesOrSkipsBadInput) {
    const ParseCase cases[] = {
        {"good", "FONT 1 2 2\n65 0 0 7 15 10 20 0 0 0\r\n\r\n66 8 0 15 15 11 20 1 -1 2\n", 2, 2},
        {"empty", "", -1, 0},
        {"only the magic", "FONT ", -1, 0},
        {"wrong magic", "FONX 1 1 1\n65 0 0 7 15 10 20 0 0 0\n", -1, 0},
        {"no blank after the magic", "FONT1 1 1\n65 0 0 7 15 10 20 0 0 0\n", -1, 0},
        {"version 2", "FONT 2 1 1\n65 0 0 7 15 10 20 0 0 0\n", -1, 0},
        {"header cut short", "FONT 1 1\n65 0 0 7 15 10 20 0 0 0\n", -1, 0},
        {"negative glyph count", "FONT 1 1 -4\n", -1, 0},
        {"fewer lines than counted", "FONT 1 1 1000000000\n65 0 0 7 15 10 20 0 0 0\n", 1, 1},
        {"more lines than counted", "FONT 1 1 1\n65 0 0 7 15 10 20 0 0 0\n66 0 0 7 15 10 20 0 0 0\n", 1, 1},
        {"line of nine numbers", "FONT 1 1 2\n65 0 0 7 15 10 20 0 0\n66 0 0 7 15 10 20 0 0 0\n", 1, 1},
        {"page out of range", "FONT 1 1 2\n65 0 0 7 15 10 20 8 0 0\n66 0 0 7 15 10 20 -1 0 0\n", 1, 0},
        {"rectangle outside 16 bits", "FONT 1 1 1\n65 0 0 70000 15 10 20 0 0 0\n", 1, 0},
        {"huge numbers", "FONT 1 1 1\n99999999999999999999999 0 0 7 15 10 20 0 0 0\n", 1, 0},
        {"code 0 would end the glyphs", "FONT 1 1 2\n0 0 0 7 15 10 20 0 0 0\n65 0 0 7 15 10 20 0 0 0\n", 1, 1},
        {"text instead of numbers", "FONT 1 1 1\nA B C D E F G H I J\n", 1, 0},
        {"ninth page kept for the load to refuse", "FONT 1 40 0\n", 9, 0},
        {"line longer than 255 characters",
         "FONT 1 1 1\n65 0 0 7 15 10 20 0 0" + std::string(250, ' ') + " 0\n", 1, 0},
    };
    for (const ParseCase& c : cases) {
        KText font;
        EXPECT_EQ(font.parseDescriptor(c.descriptor.data(), static_cast<int32_t>(c.descriptor.size())), c.pages)
            << c.name;
        EXPECT_EQ(font.glyphCount(), c.glyphs) << c.name;
        EXPECT_EQ(font.glyphs()[font.glyphCount()].code, 0) << c.name << ": the array ends with code 0";
    }
}

TEST(FontDescriptor, ReadsEveryFieldInOrder) {
    const std::string text = "FONT 1 2 1 trailing words\r\n\n\r66 3 4 9 19 11 21 1 -2 5";
    KText font;
    ASSERT_EQ(font.parseDescriptor(text.data(), static_cast<int32_t>(text.size())), 2);
    const KGlyph* g = font.findGlyph(66);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->x1, 3);
    EXPECT_EQ(g->y1, 4);
    EXPECT_EQ(g->x2, 9);
    EXPECT_EQ(g->y2, 19);
    EXPECT_EQ(g->advance, 11);
    EXPECT_EQ(g->height, 21);
    EXPECT_EQ(g->page, 1);
    EXPECT_EQ(g->xOffset, -2);
    EXPECT_EQ(g->yOffset, 5);
    EXPECT_EQ(font.height(), 21);
}

TEST(FontDescriptor, MutatedDescriptorsNeverCrash) {
    std::vector<FixtureGlyph> glyphs = plainGlyphs();
    glyphs.push_back({0x1F600, 12, 1, 2, 1});
    const std::string good = fixtureDescriptor(glyphs, 2);
    std::mt19937 random(1234);
    const char alphabet[] = "0123456789- \r\n\tFONTx\0";
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = good.substr(0, random() % (good.size() + 1));
        int edits = 1 + static_cast<int>(random() % 8);
        for (int e = 0; e < edits && !bytes.empty(); ++e)
            bytes[random() % bytes.size()] = alphabet[random() % (sizeof alphabet - 1)];
        KText font;
        int pages = font.parseDescriptor(bytes.data(), static_cast<int32_t>(bytes.size()));
        EXPECT_LE(pages, 9);
        for (int i = 0; i < font.glyphCount(); ++i) {
            const KGlyph& g = font.glyphs()[i];
            ASSERT_GE(g.page, 0);
            ASSERT_LT(g.page, 8);
            ASSERT_NE(font.findGlyph(g.code), nullptr);
        }
        font.textWidth("Hello \xE6\x97\xA5", 1, 1, K_TEXT_UTF8);
    }
}

TEST(FontDescriptor, LooksGlyphsUpByBlock) {
    // Blocks 0, 12 (0x6000-0x67FF), 0x3E (0x1F000-...), then block 0 again.
    const std::string text = "FONT 1 1 5\n"
                             "65 0 0 7 15 10 20 0 0 0\n"
                             "26085 8 0 15 15 16 20 0 0 0\n"
                             "26412 16 0 23 15 16 20 0 0 0\n"
                             "128512 24 0 31 15 18 20 0 0 0\n"
                             "66 32 0 39 15 11 20 0 0 0\n";
    KText font;
    ASSERT_EQ(font.parseDescriptor(text.data(), static_cast<int32_t>(text.size())), 1);
    for (int32_t code : {65, 26085, 26412, 128512, 66})
        EXPECT_TRUE(font.hasChar(code)) << code;
    for (int32_t code : {0, 67, 26086, 65 + 2048, 128513, -65})
        EXPECT_FALSE(font.hasChar(code)) << code;
    EXPECT_EQ(font.charWidth(66, 0), 11) << "a block met again still finds its glyphs";
    EXPECT_EQ(font.charWidth(26412, 2), 18);
    EXPECT_EQ(font.charWidth(67, 2), 0) << "a missing glyph adds nothing";
}

// A full Latin block keeps its table; 3000 glyphs one per block over the
// whole code range cost a few bytes each, not a table each.
TEST(FontDescriptor, SpreadCodesCostMemoryInProportionToTheirGlyphs) {
    std::string text = "FONT 1 1 " + std::to_string(128 + 3000 + 1) + "\n";
    auto line = [&text](int32_t code, int advance) {
        text += std::to_string(code) + " 0 0 7 15 " + std::to_string(advance) + " 20 0 0 0\n";
    };
    for (int32_t code = 32; code < 160; ++code) line(code, 10);
    for (int32_t i = 1; i <= 3000; ++i) line(i * 700001, 12);
    line(2 * 700001, 13); // given again: the last one counts
    KText font;
    ASSERT_EQ(font.parseDescriptor(text.data(), static_cast<int32_t>(text.size())), 1);
    EXPECT_LT(font.glyphIndexBytes(), 9u * 1024 + 3000u * 16);
    for (int32_t code : {32, 159, 700001, 3000 * 700001}) EXPECT_TRUE(font.hasChar(code)) << code;
    for (int32_t code : {160, 700002, 3001 * 700001, -700001}) EXPECT_FALSE(font.hasChar(code)) << code;
    EXPECT_EQ(font.charWidth(65, 0), 10);
    EXPECT_EQ(font.charWidth(700001, 0), 12);
    EXPECT_EQ(font.charWidth(2 * 700001, 0), 13);
}

TEST(FontDescriptor, NextPagePath) {
    const std::pair<const char*, const char*> cases[] = {
        {"data/_interface/fonts/_font_3_0.png", "data/_interface/fonts/_font_3_1.png"},
        {"fonts/_font_3_9.dds", "fonts/_font_3_10.dds"},
        {"fonts/_font_3_199.dds", "fonts/_font_3_200.dds"},
        {"fonts/page.png", "fonts/page2.png"},
        {"fonts/page", "fonts/page2"},
        {"dir.v2/page", "dir.v2/page2"},
        {"dir/page7", "dir/page8"},
    };
    for (const auto& [from, to] : cases) {
        char out[kFontPathLimit + 1];
        ASSERT_TRUE(nextFontPagePath(from, out)) << from;
        EXPECT_STREQ(out, to);
    }
    char out[kFontPathLimit + 1];
    EXPECT_TRUE(nextFontPagePath((std::string(kFontPathLimit - 5, 'a') + "8.png").c_str(), out));
    EXPECT_FALSE(nextFontPagePath((std::string(kFontPathLimit - 5, 'a') + "9.png").c_str(), out))
        << "the longer number would pass the path limit";
}

TEST(FontDescriptor, LoadsPagesByTheirNumbers) {
    TempDir dir;
    std::vector<FixtureGlyph> glyphs = {{'A'}, {'B', 10, 0, 0, 1}};
    FontFiles files = writeFixtureFont(dir.path(), "font_0", glyphs, 2);
    KText font;
    ASSERT_TRUE(font.loadFont(files.descriptor.c_str(), files.page0.c_str()));
    ASSERT_NE(font.page(0), nullptr);
    ASSERT_NE(font.page(1), nullptr) << "read from _font_0_1.png";
    EXPECT_EQ(font.page(2), nullptr);
    EXPECT_EQ(font.page(0)->filter, GL_LINEAR);
    EXPECT_EQ(font.page(1)->info.width, 256u);

    std::filesystem::remove(dir / "_font_0_1.png");
    clearMemoryLog();
    KText partial;
    EXPECT_FALSE(partial.loadFont(files.descriptor.c_str(), files.page0.c_str()));
    EXPECT_NE(partial.page(0), nullptr) << "pages before the failing one stay";
    EXPECT_EQ(partial.glyphCount(), 2) << "and so do the glyphs";
    EXPECT_NE(memoryLog().find("_font_0_1.png, ERROR"), std::string::npos) << memoryLog();

    KText missing;
    EXPECT_FALSE(missing.loadFont((dir / "nothing.font").string().c_str(), files.page0.c_str()));
    EXPECT_EQ(missing.glyphCount(), 0);
    EXPECT_EQ(missing.textWidth("AB", 0, 1, K_TEXT_UTF8), 0);
}

TEST(FontDescriptor, NinthPageFailsTheLoad) {
    TempDir dir;
    FontFiles files = writeFixtureFont(dir.path(), "font_0", {{'A'}}, 9);
    KText font;
    EXPECT_FALSE(font.loadFont(files.descriptor.c_str(), files.page0.c_str()));
    EXPECT_NE(font.page(7), nullptr);
    EXPECT_EQ(font.glyphCount(), 1);
}

} // namespace
} // namespace glint::test
