#include "engine/text/text.h"

#include "engine/render/texture.h"
#include "engine/text/text_encoding.h"

#include <algorithm>
#include <unordered_map>

namespace glint {

namespace {

constexpr int kBlockBits = 11;
constexpr int32_t kBlockMask = (1 << kBlockBits) - 1;
// A block's table (8 KiB) pays off from this many glyphs on: 128 bytes per
// glyph at most.
constexpr int kTableGlyphs = 64;

} // namespace

KText::KText() { clearGlyphs(); }

KText::~KText() { releasePages(); }

void KText::clearGlyphs() {
    glyphs_.assign(1, KGlyph{});
    blocks_.clear();
}

void KText::releasePages() {
    for (int i = 0; i < kFontMaxPages; ++i)
        setPage(i, nullptr, false);
}

void KText::setPage(int index, KTexture* texture, bool owned) {
    if (index < 0 || index >= kFontMaxPages)
        return;
    if (ownsPage_[index] && pages_[index] != texture)
        delete pages_[index];
    pages_[index] = texture;
    ownsPage_[index] = texture && owned;
}

KTexture* KText::page(int index) const { return index >= 0 && index < kFontMaxPages ? pages_[index] : nullptr; }

// Glyphs come grouped by block; a block number met again (a descriptor out
// of order) goes on filling its first table, so that no glyph is shadowed.
// A code given twice finds its last glyph, in a table and in the sorted list.
void KText::indexGlyphs() {
    blocks_.clear();
    sparse_.clear();
    std::unordered_map<int32_t, int> perBlock;
    for (size_t i = 0; glyphs_[i].code != 0; ++i)
        ++perBlock[glyphs_[i].code >> kBlockBits];
    Block* block = nullptr;
    for (int32_t i = 0; glyphs_[static_cast<size_t>(i)].code != 0; ++i) {
        int32_t code = glyphs_[static_cast<size_t>(i)].code;
        int32_t number = code >> kBlockBits;
        if (perBlock[number] < kTableGlyphs) {
            sparse_.push_back({code, i + 1});
            continue;
        }
        if (!block || block->number != number) {
            block = nullptr;
            for (Block& known : blocks_) {
                if (known.number == number)
                    block = &known;
            }
            if (!block) {
                blocks_.push_back({number, std::make_unique<int32_t[]>(kBlockMask + 1)});
                block = &blocks_.back();
            }
        }
        block->entries[code & kBlockMask] = i + 1;
    }
    std::stable_sort(sparse_.begin(), sparse_.end(),
                     [](const SparseEntry& a, const SparseEntry& b) { return a.code < b.code; });
    // Of equal codes the last one given stays.
    auto kept = sparse_.begin();
    for (auto at = sparse_.begin(); at != sparse_.end(); ++at) {
        if (kept != sparse_.begin() && (kept - 1)->code == at->code)
            *(kept - 1) = *at;
        else
            *kept++ = *at;
    }
    sparse_.erase(kept, sparse_.end());
    sparse_.shrink_to_fit();
}

const KGlyph* KText::findGlyph(int32_t code) const {
    if (code == 0)
        return nullptr;
    int32_t number = code >> kBlockBits;
    for (const Block& block : blocks_) {
        if (block.number != number)
            continue;
        int32_t entry = block.entries[code & kBlockMask];
        return entry > 0 ? &glyphs_[static_cast<size_t>(entry - 1)] : nullptr;
    }
    auto found = std::lower_bound(sparse_.begin(), sparse_.end(), code,
                                  [](const SparseEntry& e, int32_t wanted) { return e.code < wanted; });
    return found != sparse_.end() && found->code == code ? &glyphs_[static_cast<size_t>(found->entry - 1)] : nullptr;
}

size_t KText::glyphIndexBytes() const {
    return blocks_.size() * (sizeof(Block) + sizeof(int32_t) * (kBlockMask + 1)) +
           sparse_.capacity() * sizeof(SparseEntry);
}

int KText::height() const { return glyphs_[0].code != 0 ? glyphs_[0].height : 0; }

float KText::advanceOf(const KGlyph& glyph, float spacing) const {
    return static_cast<float>(glyph.advance) + spacing + pageSpacing[glyph.page];
}

float KText::textWidth(const void* text, float spacing, float scale, int encoding) const {
    if (!text)
        return 0;
    float width = 0;
    size_t offset = 0;
    bool first = true;
    for (int32_t code; (code = textNextChar(text, &offset, encoding)) != 0; first = false) {
        const KGlyph* glyph = findGlyph(code);
        if (!glyph)
            continue;
        width += advanceOf(*glyph, spacing);
        if (!first)
            width += static_cast<float>(glyph->xOffset);
    }
    return width * scale;
}

float KText::charWidth(int32_t code, float spacing) const {
    const KGlyph* glyph = findGlyph(code);
    return glyph ? advanceOf(*glyph, spacing) + static_cast<float>(glyph->xOffset) : 0;
}

float KText::charXOffset(int32_t code) const {
    const KGlyph* glyph = findGlyph(code);
    return glyph ? static_cast<float>(glyph->xOffset) : 0;
}

} // namespace glint
