// Lines, alignment and reveal of text boxes, on DejaVu Sans as the tool
// bakes it and on hand-made fonts whose metrics make positions exact.
#include "engine/text/text.h"
#include "engine/text/text_encoding.h"
#include "text/font_fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <sstream>

namespace glint::test {
namespace {

std::u32string u32(const std::string& ascii) { return std::u32string(ascii.begin(), ascii.end()); }

std::vector<std::u32string> textsOf(const std::vector<DrawnLine>& lines) {
    std::vector<std::u32string> texts;
    for (const DrawnLine& line : lines)
        texts.push_back(line.text);
    return texts;
}

class LayoutTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new TempDir();
        const FontFiles& baked = bakedDejaVu();
        dejaVu = new KText();
        ASSERT_TRUE(dejaVu->loadFont(baked.descriptor.c_str(), baked.page0.c_str()));
        std::vector<FixtureGlyph> glyphs = plainGlyphs();
        for (FixtureGlyph& g : glyphs) {
            if (g.code == 'x')
                g.xOffset = 3;
            if (g.code == 'y')
                g.xOffset = -2;
            if (g.code == 'B')
                g.page = 1;
        }
        FontFiles files = writeFixtureFont(dir->path(), "plain", glyphs, 2);
        plain = new KText();
        ASSERT_TRUE(plain->loadFont(files.descriptor.c_str(), files.page0.c_str()));
    }
    static void TearDownTestSuite() {
        delete dejaVu;
        delete plain;
        delete dir;
    }
    void TearDown() override { plain->lineSpacing = 0; }

    // Width of an ASCII text on DejaVu.
    static float width(const std::string& text) { return dejaVu->textWidth(text.c_str(), 0, 1, K_TEXT_UTF8); }

    // Lines filled word by word while they fit, an over-long word alone.
    static std::vector<std::u32string> greedyLines(const std::string& paragraph, float box) {
        std::vector<std::u32string> lines;
        std::istringstream words(paragraph);
        std::string line, word;
        while (words >> word) {
            std::string candidate = line.empty() ? word : line + " " + word;
            if (line.empty() || std::trunc(width(candidate) * 100) <= std::trunc(box * 100 + 0.5f)) {
                line = candidate;
            } else {
                lines.push_back(u32(line));
                line = word;
            }
        }
        lines.push_back(u32(line));
        return lines;
    }

    static std::vector<DrawnLine> drawBox(KText& font, const std::string& text, float x1, float x2, int alignment,
                                          int maxChars = -1, float scaleX = 1) {
        QuadRecorder recorder;
        font.drawTextBox(text.c_str(), maxChars, x1, x2, 50, alignment, -1, scaleX, 1);
        return linesOf(font, recorder.finish());
    }

    static TempDir* dir;
    static KText* dejaVu;
    static KText* plain;
};

TempDir* LayoutTest::dir = nullptr;
KText* LayoutTest::dejaVu = nullptr;
KText* LayoutTest::plain = nullptr;

const std::string kFox = "the quick brown fox jumps over the lazy dog and keeps running far away";

TEST_F(LayoutTest, WrapsAtTheBoxWidth) {
    for (float box : {60.0f, 100.0f, 151.5f}) {
        SCOPED_TRACE(box);
        std::vector<std::u32string> expected = greedyLines(kFox, box);
        ASSERT_GT(expected.size(), 2u);
        std::vector<DrawnLine> lines = drawBox(*dejaVu, kFox, 10, 10 + box, K_ALIGN_LEFT);
        EXPECT_EQ(textsOf(lines), expected);
        float widest = 0;
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_FLOAT_EQ(lines[i].x.front(), 10) << "line " << i << " starts at x1";
            EXPECT_FLOAT_EQ(lines[i].y, 50 + static_cast<float>(i * dejaVu->height()));
            std::string ascii(expected[i].begin(), expected[i].end());
            EXPECT_LE(width(ascii), box);
            widest = std::max(widest, width(ascii));
        }
        KTextBoxSize size = dejaVu->measureTextBox(kFox.c_str(), box, -1, 1, 1);
        EXPECT_FLOAT_EQ(size.width, widest);
        EXPECT_FLOAT_EQ(size.height, static_cast<float>(expected.size() * dejaVu->height()));
    }
}

TEST_F(LayoutTest, AlignsEachLine) {
    const std::string text = "left right and centre";
    const float box = width("left right") + 2;
    std::vector<std::u32string> expected = greedyLines(text, box);
    for (int alignment : {K_ALIGN_LEFT, K_ALIGN_RIGHT, K_ALIGN_CENTER}) {
        std::vector<DrawnLine> lines = drawBox(*dejaVu, text, 20, 20 + box, alignment);
        ASSERT_EQ(textsOf(lines), expected);
        for (size_t i = 0; i < lines.size(); ++i) {
            float w = width(std::string(expected[i].begin(), expected[i].end()));
            float x = alignment == K_ALIGN_LEFT ? 20 : alignment == K_ALIGN_RIGHT ? 20 + box - w : 20 + (box - w) / 2;
            EXPECT_FLOAT_EQ(lines[i].x.front(), x) << "alignment " << alignment << " line " << i;
        }
    }
}

TEST_F(LayoutTest, OverLongWordIsNotBroken) {
    const std::string text = "go supercalifragilisticexpialidocious now";
    const float box = 80;
    ASSERT_GT(width("supercalifragilisticexpialidocious"), box);
    std::vector<DrawnLine> lines = drawBox(*dejaVu, text, 0, box, K_ALIGN_JUSTIFY);
    EXPECT_EQ(textsOf(lines), (std::vector<std::u32string>{U"go", U"supercalifragilisticexpialidocious", U"now"}));
    EXPECT_FLOAT_EQ(dejaVu->measureTextBox(text.c_str(), box, -1, 1, 1).width,
                    width("supercalifragilisticexpialidocious"));
}

TEST_F(LayoutTest, JustifiesAllButTheLastLineOfEachParagraph) {
    const std::string first = "the quick brown fox jumps over the lazy dog again";
    const std::string second = "a second paragraph that is longer than one line";
    const std::string text = first + "\n" + second;
    for (float scale : {1.0f, 2.0f}) {
        SCOPED_TRACE(scale);
        const float box = 130 * scale;
        std::vector<std::u32string> expected = greedyLines(first, 130);
        const size_t firstCount = expected.size();
        for (const std::u32string& line : greedyLines(second, 130))
            expected.push_back(line);
        std::vector<DrawnLine> justified = drawBox(*dejaVu, text, 5, 5 + box, K_ALIGN_JUSTIFY, -1, scale);
        std::vector<DrawnLine> left = drawBox(*dejaVu, text, 5, 5 + box, K_ALIGN_LEFT, -1, scale);
        ASSERT_EQ(textsOf(justified), expected);
        ASSERT_EQ(textsOf(left), expected);
        for (size_t i = 0; i < expected.size(); ++i) {
            bool last = i + 1 == firstCount || i + 1 == expected.size();
            if (last) {
                EXPECT_EQ(justified[i].x, left[i].x) << "line " << i << " keeps its natural spacing";
                continue;
            }
            EXPECT_FLOAT_EQ(justified[i].x.front(), 5);
            const KGlyph* end = dejaVu->findGlyph(static_cast<int32_t>(expected[i].back()));
            EXPECT_NEAR(justified[i].x.back() + end->advance * scale, 5 + box, 0.02) << "line " << i << " is full";
        }
    }
}

TEST_F(LayoutTest, CjkBreaksBetweenAnyTwoCharacters) {
    const std::string text = "日本語の文章です";
    std::vector<DrawnLine> left = drawBox(*plain, text, 0, 35, K_ALIGN_LEFT);
    EXPECT_EQ(textsOf(left), (std::vector<std::u32string>{U"日本語", U"の文章", U"です"}));
    EXPECT_EQ(left[0].x, (std::vector<float>{0, 10, 20}));

    std::vector<DrawnLine> justified = drawBox(*plain, text, 0, 35, K_ALIGN_JUSTIFY);
    ASSERT_EQ(justified.size(), 3u);
    EXPECT_EQ(justified[0].x, (std::vector<float>{0, 12.5f, 25})) << "stretched by letter spacing";
    EXPECT_EQ(justified[1].x, (std::vector<float>{0, 12.5f, 25}));
    EXPECT_EQ(justified[2].x, (std::vector<float>{0, 10})) << "the last line is not stretched";

    EXPECT_EQ(textsOf(drawBox(*plain, "日abcdefghijkl", 0, 35, K_ALIGN_LEFT)),
              (std::vector<std::u32string>{U"日", U"abcdefghijkl"}))
        << "a CJK character before an over-long word stands alone";
    EXPECT_EQ(textsOf(drawBox(*plain, "ab 日本語は", 0, 35, K_ALIGN_LEFT)),
              (std::vector<std::u32string>{U"ab", U"日本語", U"は"}));
}

TEST_F(LayoutTest, MaxCharsRevealsTheFirstCharacters) {
    const std::string text = "Hello wonderful world";
    const float box = width("wonderful") + 1;
    ASSERT_EQ(greedyLines(text, box).size(), 3u);
    const std::pair<int, std::u32string> cases[] = {
        {5, U"Hello"}, {7, U"Hellow"}, {0, U""}, {-1, U"Hellowonderfulworld"}, {500, U"Hellowonderfulworld"}};
    for (const auto& [maxChars, shown] : cases) {
        std::vector<DrawnLine> lines = drawBox(*dejaVu, text, 0, box, K_ALIGN_CENTER, maxChars);
        std::u32string drawn;
        for (const DrawnLine& line : lines)
            drawn += line.text;
        EXPECT_EQ(drawn, shown) << "maxChars " << maxChars;
        if (maxChars == 5) {
            ASSERT_EQ(lines.size(), 1u) << "later lines are not drawn at all";
            EXPECT_FLOAT_EQ(lines[0].x.front(), (box - width("Hello")) / 2) << "placed as the whole line";
        }
    }
    std::vector<DrawnLine> lines = drawBox(*plain, "ab\ncd", 0, 100, K_ALIGN_LEFT, 4);
    EXPECT_EQ(textsOf(lines), (std::vector<std::u32string>{U"ab", U"c"})) << "the line feed counts as a character";
}

TEST_F(LayoutTest, LineHeightAndSpacing) {
    plain->lineSpacing = 4;
    EXPECT_FLOAT_EQ(plain->measureTextBox("aaaa bbbb", 45, 20, 1, 1.5f).height, 2 * (20 + 4) * 1.5f - 4);
    EXPECT_FLOAT_EQ(plain->measureTextBox("aaaa bbbb", 45, -1, 1, 1.5f).height, 2 * (20 + 4) * 1.5f - 4)
        << "a negative line height is the font's";
    EXPECT_FLOAT_EQ(plain->measureTextBox("aaaa bbbb", 45, 20, 1, 1).width, 40);
    EXPECT_FLOAT_EQ(plain->measureTextBox("", 45, 20, 1, 1).height, 20) << "empty text is one line";
    EXPECT_FLOAT_EQ(plain->measureTextBox("a\n\nb", 45, 20, 1, 1).height, 3 * 24 - 4) << "an empty paragraph";
    EXPECT_FLOAT_EQ(plain->measureTextBox("a\r\nb\xEF\xBB\xBF", 45, 20, 1, 1).height, 2 * 24 - 4)
        << "CR and the byte-order mark are dropped";

    QuadRecorder recorder;
    plain->drawTextBox("aaaa bbbb", -1, 0, 45, 10, K_ALIGN_LEFT, 20, 1, 1.5f);
    const std::vector<DrawnQuad>& quads = recorder.finish();
    ASSERT_EQ(quads.size(), 8u);
    EXPECT_FLOAT_EQ(quads[0].top, 10);
    EXPECT_FLOAT_EQ(quads[4].top, 10 + 24 * 1.5f);
    EXPECT_FLOAT_EQ(quads[4].bottom - quads[4].top, 16 * 1.5f);
}

TEST_F(LayoutTest, FirstCharacterXOffsetIsNeverApplied) {
    // x moves the pen by 3 and y by -2 before themselves.
    EXPECT_FLOAT_EQ(plain->textWidth("xyx", 0, 1, K_TEXT_UTF8), 10 + 8 + 13);
    EXPECT_FLOAT_EQ(plain->textWidth("xyx", 1, 2, K_TEXT_UTF8), (11 + 9 + 14) * 2);
    EXPECT_FLOAT_EQ(plain->charWidth('x', 1), 14);
    EXPECT_FLOAT_EQ(plain->measureTextBox("xyx", 1000, -1, 1, 1).width, 31);
    struct Case {
        const char* name;
        std::function<void()> draw;
        std::vector<float> x;
    };
    const Case cases[] = {
        {"left", [] { plain->drawLeft("xyx", 100, 0, 0, 1, 1, K_TEXT_UTF8); }, {100, 108, 121}},
        {"right", [] { plain->drawRight("xyx", 200, 0, 0, 1, 1, K_TEXT_UTF8); }, {169, 177, 190}},
        {"centred", [] { plain->drawCentered("xyx", 0, 0, 41, 0, 1, 1, K_TEXT_UTF8); }, {5, 13, 26}},
        {"box", [] { plain->drawTextBox("xyx xyx", -1, 0, 35, 0, K_ALIGN_LEFT, -1, 1, 1); }, {0, 0, 8, 8, 21, 21}},
        {"scaled", [] { plain->drawLeft("xyx", 0, 0, 0, 2, 1, K_TEXT_UTF8); }, {0, 16, 42}},
    };
    for (const Case& c : cases) {
        QuadRecorder recorder;
        c.draw();
        std::vector<float> x;
        for (const DrawnQuad& quad : recorder.finish())
            x.push_back(quad.left);
        std::sort(x.begin(), x.end());
        EXPECT_EQ(x, c.x) << c.name;
    }
}

TEST_F(LayoutTest, DrawingWalksEveryEncoding) {
    const char16_t wide[] = u"ab日";
    const int32_t codes[] = {'a', 'b', 0x65E5, 0};
    const char be[] = {0, 'a', 0, 'b', 0x65, static_cast<char>(0xE5), 0, 0};
    const std::pair<const void*, int> texts[] = {
        {"ab\xE6\x97\xA5", K_TEXT_UTF8}, {wide, K_TEXT_UTF16}, {be, K_TEXT_UTF16BE}, {codes, K_TEXT_CODEPOINTS}};
    for (const auto& [text, encoding] : texts) {
        EXPECT_FLOAT_EQ(plain->textWidth(text, 0, 1, encoding), 30) << encoding;
        QuadRecorder recorder;
        plain->drawRight(text, 100, 0, 0, 1, 1, encoding);
        EXPECT_EQ(textsOf(linesOf(*plain, recorder.finish())), std::vector<std::u32string>{U"日ba"})
            << "drawn from the end, encoding " << encoding;
    }
}

TEST_F(LayoutTest, OneDrawCallPerPageChangeAndMissingGlyphsSkipped) {
    const std::pair<const char*, int> cases[] = {{"AABB", 2}, {"ABAB", 4}, {"A#A", 1}};
    for (const auto& [text, calls] : cases) {
        QuadRecorder recorder;
        plain->drawLeft(text, 0, 0, 0, 1, 1, K_TEXT_UTF8);
        const std::vector<DrawnQuad>& quads = recorder.finish();
        EXPECT_EQ(recorder.drawCalls(), calls) << text;
        if (std::string(text) == "A#A") {
            ASSERT_EQ(quads.size(), 2u);
            EXPECT_FLOAT_EQ(quads[1].left, 10) << "a character without a glyph does not move the pen";
        }
    }
}

} // namespace
} // namespace glint::test
