// The bitmap font: glyph rectangles on up to eight page textures, read from
// a ".font" descriptor, drawn as quads through the quad batch.
//
// Glyphs of well-filled blocks of 2048 code points (code >> 11) are found
// through one 2048-entry table per block, so a lookup is a short scan of the
// block list and one table read. Glyphs of thinly filled blocks go into one
// sorted list instead: a font whose codes are spread over the whole range
// costs memory in proportion to its glyphs.
#pragma once

#include "engine/text/glyph.h"
#include "engine/text/text_face.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace glint {

class KTexture;

enum KTextAlignment : int {
    K_ALIGN_LEFT = 0,
    K_ALIGN_RIGHT = 1,
    K_ALIGN_CENTER = 2,
    K_ALIGN_JUSTIFY = 3,
};

struct KTextBoxSize {
    float width = 0;  // the widest line
    float height = 0; // from the first line's top to the last line's bottom
};

// Longest page path, in bytes without the terminator.
constexpr size_t kFontPathLimit = 259;
constexpr int kFontMaxPages = 8;

// The path of the page after the one at path: the decimal number just
// before the extension increased by one, or "2" inserted there when there is
// none ("_font_3_0.png" gives "_font_3_1.png", "page.png" gives
// "page2.png"). False when the result would pass kFontPathLimit; out holds
// kFontPathLimit + 1 bytes.
bool nextFontPagePath(const char* path, char* out);

class KText : public KTextFace {
public:
    KText();
    ~KText() override;

    // Reads a ".font" descriptor and its pages: page 0 from page0Path, every
    // further page from nextFontPagePath of the one before. False when the
    // descriptor is refused (the font then has no glyphs) or a page fails to
    // load (the pages before it stay).
    bool loadFont(const char* descriptorPath, const char* page0Path);
    // Replaces the glyphs with those of a descriptor in memory (size bytes,
    // no terminator needed). Returns its page count, or -1 when refused.
    int parseDescriptor(const char* data, int32_t size);

    const KGlyph* findGlyph(int32_t code) const;
    // Bytes taken by the lookup structures of the glyphs.
    size_t glyphIndexBytes() const;
    int glyphCount() const { return static_cast<int>(glyphs_.size()) - 1; }
    // The glyph array, ended by a record whose code is 0.
    const KGlyph* glyphs() const { return glyphs_.data(); }

    // Draws the glyphs of a page with texture; an owned texture is deleted
    // with the font or when the page is set again.
    void setPage(int index, KTexture* texture, bool owned);
    KTexture* page(int index) const;

    int height() const override;
    float textWidth(const void* text, float spacing, float scale, int encoding) const override;
    float charWidth(int32_t code, float spacing) const override;
    float charXOffset(int32_t code) const override;
    void setColor(uint32_t color) override { color_ = color; }
    void setBlendMode(int mode) override { blendMode_ = mode; }
    void drawLeft(const void* text, float x, float y, float spacing, float scaleX, float scaleY,
                  int encoding) override;
    void drawRight(const void* text, float x, float y, float spacing, float scaleX, float scaleY,
                   int encoding) override;
    void drawCentered(const void* text, float x1, float y, float x2, float spacing, float scaleX, float scaleY,
                      int encoding) override;
    bool hasChar(int32_t code) const override { return findGlyph(code) != nullptr; }
    void setSpaceExtra(float value) override { spaceExtra_ = value; }

    uint32_t color() const { return color_; }
    int blendMode() const { return blendMode_; }
    float spaceExtra() const { return spaceExtra_; }

    // Lays out UTF-8 text in lines between x1 and x2 from y and draws it.
    // maxChars (-1 = all) limits how many characters of the whole text are
    // drawn, for a typewriter reveal; alignment is a KTextAlignment; a
    // negative lineHeight means height().
    void drawTextBox(const char* text, int maxChars, float x1, float x2, float y, int alignment, float lineHeight,
                     float scaleX, float scaleY);
    // The widest line and the total height of the text laid out centred in a
    // box of boxWidth, without drawing.
    KTextBoxSize measureTextBox(const char* text, float boxWidth, float lineHeight, float scaleX, float scaleY);

    float lineSpacing = 0;                  // extra space between the lines of a text box
    float pageYOffset[kFontMaxPages] = {};  // added to the y of the glyphs on a page
    float pageSpacing[kFontMaxPages] = {};  // added to the advance of the glyphs on a page

private:
    struct Block {
        int32_t number;                     // code >> 11
        std::unique_ptr<int32_t[]> entries; // 2048 glyph indexes + 1; 0 = none
    };
    struct SparseEntry {
        int32_t code;
        int32_t entry; // glyph index + 1
    };
    struct BoxRequest;

    void clearGlyphs();
    void indexGlyphs();
    void releasePages();
    bool loadPages(int count, const char* page0Path);
    float advanceOf(const KGlyph& glyph, float spacing) const;
    void drawGlyph(const KGlyph& glyph, float x, float y, float scaleX, float scaleY, int* lastPage);
    KTextBoxSize layoutTextBox(const BoxRequest& request);

    std::vector<KGlyph> glyphs_;
    std::vector<Block> blocks_;
    std::vector<SparseEntry> sparse_; // by code
    int blendMode_ = 0;
    uint32_t color_ = 0xFFFFFFFF;
    float spaceExtra_ = 0;
    KTexture* pages_[kFontMaxPages] = {};
    bool ownsPage_[kFontMaxPages] = {};
};

} // namespace glint
