// glint-tool font bake: descriptor and pages checked from the outside (the
// descriptor parsed here, page sizes by ImageMagick, pixels decoded).
#include "engine/images/image_buffer.h"
#include "engine/images/image_handler.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

using namespace glint;
using namespace glint::test;

namespace {

constexpr const char* kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

struct Line {
    int code, x1, y1, x2, y2, advance, height, page, xOffset, yOffset;
};

struct Descriptor {
    int version = 0, pages = 0, count = 0;
    std::vector<Line> glyphs;
    const Line* find(int code) const {
        for (const Line& line : glyphs)
            if (line.code == code)
                return &line;
        return nullptr;
    }
};

Descriptor readDescriptor(const std::filesystem::path& path) {
    Descriptor d;
    std::istringstream in(readFile(path));
    std::string magic;
    in >> magic >> d.version >> d.pages >> d.count;
    EXPECT_EQ(magic, "FONT");
    Line l;
    while (in >> l.code >> l.x1 >> l.y1 >> l.x2 >> l.y2 >> l.advance >> l.height >> l.page >> l.xOffset >> l.yOffset)
        d.glyphs.push_back(l);
    return d;
}

CommandResult bake(const std::string& arguments) {
    return runCommand(shellQuote(toolPath()) + " font bake " + arguments);
}

std::string prefixIn(const TempDir& dir, const std::string& name = "font_0") { return (dir / name).string(); }

// The page's 0xAARRGGBB pixels as the PNG decoder reads them.
std::vector<uint32_t> pagePixels(const std::filesystem::path& path, int* size) {
    std::string png = readFile(path);
    KImageInfo info;
    if (!imageHandlerForFormat(K_IMAGE_PNG)->decode(png.data(), png.size(), &info, true)) {
        ADD_FAILURE() << "cannot decode " << path;
        return {};
    }
    EXPECT_EQ(info.width, info.height);
    *size = static_cast<int>(info.width);
    return {imagePixelBuffer, imagePixelBuffer + info.width * info.height};
}

std::string identify(const std::filesystem::path& path) {
    return runCommand("identify -format %wx%h " + shellQuote(path.string())).out;
}

} // namespace

TEST(FontBake, DefaultSetOnOnePageWithInkOnlyInTheCells) {
    TempDir dir;
    CommandResult result = bake(shellQuote(kDejaVu) + " 16 " + shellQuote(prefixIn(dir)));
    ASSERT_EQ(result.status, 0) << result.err;
    Descriptor d = readDescriptor(dir / "font_0.font");
    EXPECT_EQ(d.version, 1);
    EXPECT_EQ(d.pages, 1);
    ASSERT_EQ(d.count, 191);
    ASSERT_EQ(d.glyphs.size(), 191u);
    std::vector<int> expected;
    for (int c = 0x20; c <= 0x7E; ++c)
        expected.push_back(c);
    for (int c = 0xA0; c <= 0xFF; ++c)
        expected.push_back(c);
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(d.glyphs[i].code, expected[i]) << "ascending, printable ASCII then Latin-1";
    EXPECT_EQ(identify(dir / "_font_0_0.png"), "512x512");

    int size = 0;
    std::vector<uint32_t> pixels = pagePixels(dir / "_font_0_0.png", &size);
    ASSERT_EQ(size, 512);
    for (const Line& g : d.glyphs) {
        EXPECT_EQ(g.page, 0);
        EXPECT_EQ(g.height, d.glyphs[0].height) << "one cell height";
        EXPECT_TRUE(g.x1 >= 0 && g.y1 >= 0 && g.x2 < 512 && g.y2 < 512 && g.x1 <= g.x2 && g.y1 <= g.y2) << g.code;
        EXPECT_GT(g.advance + g.xOffset, 0) << g.code;
        EXPECT_GE(g.yOffset, 0) << g.code << " starts below the cell top";
        EXPECT_LE(g.yOffset + g.y2 - g.y1 + 1, g.height) << g.code << " ends inside the cell";
    }
    for (size_t i = 0; i < d.glyphs.size(); ++i) {
        for (size_t j = i + 1; j < d.glyphs.size(); ++j) {
            const Line &a = d.glyphs[i], &b = d.glyphs[j];
            EXPECT_FALSE(a.x1 <= b.x2 && b.x1 <= a.x2 && a.y1 <= b.y2 && b.y1 <= a.y2) << a.code << " and " << b.code;
        }
    }
    // Which glyph's cell each texel belongs to (-1: none).
    std::vector<int> owner(static_cast<size_t>(size) * size, -1);
    for (size_t i = 0; i < d.glyphs.size(); ++i) {
        const Line& g = d.glyphs[i];
        for (int y = g.y1; y <= g.y2; ++y)
            std::fill_n(&owner[static_cast<size_t>(y) * size + g.x1], g.x2 - g.x1 + 1, static_cast<int>(i));
    }
    int stray = 0;
    std::vector<int> ink(d.glyphs.size(), 0);
    for (size_t at = 0; at < pixels.size(); ++at) {
        uint32_t alpha = pixels[at] >> 24;
        if (alpha && owner[at] < 0)
            ++stray;
        else if (alpha > 128)
            ++ink[static_cast<size_t>(owner[at])];
    }
    EXPECT_EQ(stray, 0) << "ink outside every glyph cell";
    for (size_t i = 0; i < d.glyphs.size(); ++i) {
        int code = d.glyphs[i].code;
        bool blank = code == ' ' || code == 0xA0 || code == 0xAD;
        EXPECT_TRUE(blank || ink[i] > 0) << "glyph " << code << " has ink";
    }
    const Line* h = d.find('H');
    EXPECT_GE(h->y2 - h->y1 + 1, 10) << "capital height at 16 pixels";
    EXPECT_NE(result.out.find("191 glyphs on 1 page"), std::string::npos) << result.out;
}

TEST(FontBake, CharsFileAddsCharactersInBlockOrder) {
    TempDir dir;
    writeFile(dir / "chars.txt", "\xEF\xBB\xBF\xE2\x82\xAC \xCE\xA9\xD0\xB6\r\n\xE6\x97\xA5 A\n");
    CommandResult result = bake(shellQuote(kDejaVu) + " 16 " + shellQuote(prefixIn(dir)) + " --chars " +
                                shellQuote((dir / "chars.txt").string()));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find("no glyph for U+65E5"), std::string::npos) << "DejaVu Sans has no Han: " << result.err;
    Descriptor d = readDescriptor(dir / "font_0.font");
    ASSERT_EQ(d.glyphs.size(), 194u);
    EXPECT_EQ(d.glyphs[191].code, 0x3A9);
    EXPECT_EQ(d.glyphs[192].code, 0x436);
    EXPECT_EQ(d.glyphs[193].code, 0x20AC) << "block 4 after block 0";
    EXPECT_EQ(d.find(0xFEFF), nullptr) << "the byte-order mark is no character";
}

TEST(FontBake, OutlineGrowsTheGlyphsAroundTheSamePen) {
    TempDir dir;
    ASSERT_EQ(bake(shellQuote(kDejaVu) + " 16 " + shellQuote(prefixIn(dir, "plain"))).status, 0);
    CommandResult result = bake(shellQuote(kDejaVu) + " 16 " + shellQuote(prefixIn(dir, "outlined")) + " --outline 2");
    ASSERT_EQ(result.status, 0) << result.err;
    Descriptor plain = readDescriptor(dir / "plain.font"), outlined = readDescriptor(dir / "outlined.font");
    for (int code : {'H', 'o', 'W'}) {
        const Line *p = plain.find(code), *o = outlined.find(code);
        EXPECT_NEAR((o->x2 - o->x1) - (p->x2 - p->x1), 4, 1) << code;
        EXPECT_NEAR((o->y2 - o->y1) - (p->y2 - p->y1), 4, 1) << code;
        EXPECT_EQ(o->xOffset, p->xOffset - 2) << code;
        EXPECT_EQ(o->advance + o->xOffset, p->advance + p->xOffset) << "the pen moves as far";
        EXPECT_EQ(o->height, p->height + 4);
    }
    int size = 0;
    std::vector<uint32_t> pixels = pagePixels(dir / "_outlined_0.png", &size);
    const Line* o = outlined.find('H');
    int dark = 0, light = 0;
    for (int y = o->y1; y <= o->y2; ++y) {
        for (int x = o->x1; x <= o->x2; ++x) {
            uint32_t p = pixels[static_cast<size_t>(y) * size + x];
            if ((p >> 24) > 200) {
                uint32_t grey = p & 0xFF;
                dark += grey < 64;
                light += grey > 192;
            }
        }
    }
    EXPECT_GT(dark, 10) << "a dark outline";
    EXPECT_GT(light, 10) << "around a white fill";
}

TEST(FontBake, SpreadsOverNumberedPages) {
    TempDir dir;
    CommandResult result = bake(shellQuote(kDejaVu) + " 16 " + shellQuote(prefixIn(dir)) + " --page 128");
    ASSERT_EQ(result.status, 0) << result.err;
    Descriptor d = readDescriptor(dir / "font_0.font");
    ASSERT_GT(d.pages, 1);
    ASSERT_LE(d.pages, 8);
    for (int page = 0; page < d.pages; ++page)
        EXPECT_EQ(identify(dir / ("_font_0_" + std::to_string(page) + ".png")), "128x128") << page;
    EXPECT_FALSE(std::filesystem::exists(dir / ("_font_0_" + std::to_string(d.pages) + ".png")));
    int lastPage = 0;
    for (const Line& g : d.glyphs) {
        EXPECT_GE(g.page, lastPage) << "pages fill in code order";
        lastPage = g.page;
        EXPECT_LT(g.page, d.pages);
        EXPECT_LT(g.x2, 128);
        EXPECT_LT(g.y2, 128);
    }
    EXPECT_EQ(lastPage, d.pages - 1);
}

TEST(FontBake, ClearErrors) {
    TempDir dir;
    writeFile(dir / "not_a_font.ttf", "plain text");
    const std::string font = shellQuote(kDejaVu), out = shellQuote(prefixIn(dir));
    struct Case {
        std::string arguments;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {shellQuote((dir / "missing.ttf").string()) + " 16 " + out, 1, "cannot open font file"},
        {shellQuote((dir / "not_a_font.ttf").string()) + " 16 " + out, 1, "not a font"},
        {font + " abc " + out, 2, "PIXELS must be a whole number"},
        {font + " 0 " + out, 2, "PIXELS must be"},
        {font + " 12x " + out, 2, "PIXELS must be"},
        {font + " 5000 " + out, 2, "PIXELS must be"},
        {font + " 16 " + out + " --outline -1", 2, "--outline must be"},
        {font + " 16 " + out + " --outline two", 2, "--outline must be"},
        {font + " 16 " + out + " --page 8", 2, "--page must be"},
        {font + " 16 " + out + " --page 4096", 2, "--page must be"},
        {font + " 16 " + out + " --chars", 2, "--chars needs a value"},
        {font + " 16 " + out + " --bold 1", 2, "unknown option"},
        {font + " 16", 2, "usage"},
        {font + " 16 " + out + " --chars " + shellQuote((dir / "none.txt").string()), 1, "cannot read the characters"},
        {font + " 40 " + out + " --page 16", 1, "larger than a page"},
        {font + " 16 " + out + " --page 32", 1, "more than 8 pages"},
        {font + " 16 " + shellQuote((dir / "no" / "such" / "font_0").string()), 1, "cannot write"},
    };
    for (const Case& c : cases) {
        CommandResult result = bake(c.arguments);
        EXPECT_EQ(result.status, c.status) << c.arguments << "\n" << result.err;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << c.arguments << "\n" << result.err;
    }
    CommandResult wrong = runCommand(shellQuote(toolPath()) + " font render " + font + " 16 " + out);
    EXPECT_EQ(wrong.status, 2);
    EXPECT_FALSE(std::filesystem::exists(dir / "font_0.font")) << "a failed bake writes no descriptor";
}
