// Text drawn for real on the headless display and read back: every glyph's
// texels must land on the pixels the font's metrics give, and nothing else
// may be lit.
#include "engine/images/image_buffer.h"
#include "engine/images/image_handler.h"
#include "engine/render/quad_batch.h"
#include "engine/text/text.h"
#include "engine/text/text_encoding.h"
#include "text/font_fixtures.h"
#include "support/gl_test_support.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace glint::test {
namespace {

struct Box {
    int x, y, width, height;
    const KGlyph* glyph;
    bool contains(int px, int py) const { return px >= x && py >= y && px < x + width && py < y + height; }
};

class TextRenderTest : public GlWindowTest {
protected:
    void SetUp() override {
        open(kWidth, kHeight, kWidth, kHeight);
        const FontFiles& files = bakedDejaVu();
        ASSERT_TRUE(font.loadFont(files.descriptor.c_str(), files.page0.c_str()));
        // The page as the image decoder sees it, independent of any drawing.
        std::string png = readFile(files.page0);
        KImageInfo info;
        ASSERT_TRUE(imageHandlerForFormat(K_IMAGE_PNG)->decode(png.data(), png.size(), &info, true));
        pageWidth = static_cast<int>(info.width);
        page.assign(imagePixelBuffer, imagePixelBuffer + info.width * info.height);
    }

    // Where the metrics put each glyph of an ASCII line drawn from (x, y).
    std::vector<Box> boxesOf(const char* text, int x, int y) const {
        std::vector<Box> boxes;
        for (const char* c = text; *c; ++c) {
            const KGlyph* g = font.findGlyph(static_cast<unsigned char>(*c));
            if (c != text)
                x += g->xOffset;
            boxes.push_back({x, y + g->yOffset, g->x2 - g->x1 + 1, g->y2 - g->y1 + 1, g});
            x += g->advance;
        }
        return boxes;
    }

    uint32_t texelAlpha(const KGlyph& g, int dx, int dy) const {
        return page[static_cast<size_t>(g.y1 + dy) * pageWidth + g.x1 + dx] >> 24;
    }

    static constexpr int kWidth = 160, kHeight = 64;
    KText font;
    std::vector<uint32_t> page;
    int pageWidth = 0;
};

TEST_F(TextRenderTest, GlyphTexelsLandOnTheirPixelsAndNothingElseIsLit) {
    const char* text = "Hjg!yT";
    font.setColor(rgba(255, 0, 0));
    Readback frame = drawFrame([&] { font.drawLeft(text, 10, 12, 0, 1, 1, K_TEXT_UTF8); });
    std::vector<Box> boxes = boxesOf(text, 10, 12);
    std::vector<int> ink(boxes.size(), 0);
    int wrong = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            uint32_t pixel = frame.at(x, y);
            // Glyphs of a line may overlap (kerning-free bearings); the last drawn wins.
            const Box* owner = nullptr;
            for (const Box& box : boxes)
                owner = box.contains(x, y) ? &box : owner;
            if (!owner) {
                wrong += pixel != 0;
                EXPECT_EQ(pixel, 0u) << "lit outside every glyph box at " << x << "," << y;
                continue;
            }
            EXPECT_EQ(pixel & 0x00FFFF, 0u) << "the colour is red only, at " << x << "," << y;
            uint32_t alpha = texelAlpha(*owner->glyph, x - owner->x, y - owner->y);
            bool overlapped = false;
            for (const Box& box : boxes)
                overlapped = overlapped || (&box != owner && box.contains(x, y));
            if (!overlapped) {
                EXPECT_NEAR(static_cast<int>(pixel >> 16), static_cast<int>(alpha), 2) << "at " << x << "," << y;
            }
            ink[static_cast<size_t>(owner - boxes.data())] += (pixel >> 16) > 128;
        }
        if (wrong > 20)
            break;
    }
    for (size_t i = 0; i < boxes.size(); ++i)
        EXPECT_GT(ink[i], 4) << "glyph " << static_cast<char>(boxes[i].glyph->code) << " is drawn";
    EXPECT_GT(boxes[1].y + boxes[1].height, boxes[0].y + boxes[0].height) << "j descends below H";
}

TEST_F(TextRenderTest, WrappedBoxPutsEachLineInItsBand) {
    // Two lines, centred in the box from 20 to 70, 20 units apart.
    const float lineHeight = 20;
    Readback frame = drawFrame([&] {
        font.drawTextBox("HIH HIH", -1, 20, 70, 4, K_ALIGN_CENTER, lineHeight, 1, 1);
    });
    ASSERT_GT(font.textWidth("HIH HIH", 0, 1, K_TEXT_UTF8), 50) << "the text must need two lines";
    for (int line = 0; line < 2; ++line) {
        int top = 4 + line * static_cast<int>(lineHeight);
        std::vector<Box> boxes = boxesOf("HIH", 0, top);
        int width = boxes.back().x + boxes.back().width;
        float left = 20 + (50 - font.textWidth("HIH", 0, 1, K_TEXT_UTF8)) * 0.5f;
        int minX = kWidth, maxX = -1, minY = kHeight, maxY = -1;
        for (int y = top; y < top + static_cast<int>(lineHeight); ++y) {
            for (int x = 0; x < kWidth; ++x) {
                if ((frame.at(x, y) & 0xFF) < 128)
                    continue;
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
        }
        ASSERT_GE(maxX, 0) << "line " << line << " has ink";
        EXPECT_NEAR(minX, left, 1.5) << "line " << line;
        EXPECT_NEAR(maxX + 1, left + width, 1.5) << "line " << line;
        EXPECT_EQ(minY, top + boxes[0].glyph->yOffset) << "H's top at its yOffset below the line top";
        EXPECT_EQ(maxY, top + boxes[0].glyph->yOffset + boxes[0].height - 1);
    }
}

} // namespace
} // namespace glint::test
