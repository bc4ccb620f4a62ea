// One line of text as quads: consecutive glyphs of one page share one batch
// state, so a line costs one draw call per page change.
#include "engine/text/text.h"

#include "engine/render/quad_batch.h"
#include "engine/text/text_encoding.h"

namespace glint {

// Glyph texels are drawn 1:1 onto the pixels from (x, y): the batch takes
// texel corners, so no half-texel shift is needed to keep glyphs sharp.
void KText::drawGlyph(const KGlyph& glyph, float x, float y, float scaleX, float scaleY, int* lastPage) {
    KQuadBatch* batch = KQuadBatch::current();
    if (glyph.page != *lastPage) {
        if (*lastPage >= 0)
            batch->flush(true);
        batch->setState(pages_[glyph.page], blendMode_, K_PRIMITIVE_QUADS);
        *lastPage = glyph.page;
    }
    float top = static_cast<float>(glyph.yOffset) * scaleY + pageYOffset[glyph.page] + y;
    batch->addRect(glyph.x1, glyph.y1, static_cast<float>(glyph.x2 + 1), static_cast<float>(glyph.y2 + 1), x, top,
                   scaleX, scaleY, color_);
}

void KText::drawLeft(const void* text, float x, float y, float spacing, float scaleX, float scaleY, int encoding) {
    if (!text || !KQuadBatch::current())
        return;
    int lastPage = -1;
    size_t offset = 0;
    bool first = true;
    for (int32_t code; (code = textNextChar(text, &offset, encoding)) != 0; first = false) {
        const KGlyph* glyph = findGlyph(code);
        if (!glyph)
            continue;
        if (!first)
            x += static_cast<float>(glyph->xOffset) * scaleX;
        drawGlyph(*glyph, x, y, scaleX, scaleY, &lastPage);
        x += advanceOf(*glyph, spacing) * scaleX;
        if (code == ' ')
            x += spaceExtra_ * scaleX;
    }
}

void KText::drawRight(const void* text, float x, float y, float spacing, float scaleX, float scaleY, int encoding) {
    if (!text || !KQuadBatch::current())
        return;
    int lastPage = -1;
    size_t offset = textByteLength(text, encoding);
    for (int32_t code; (code = textPreviousChar(text, &offset, encoding)) != 0 || offset > 0;) {
        const KGlyph* glyph = findGlyph(code);
        if (!glyph)
            continue;
        x -= advanceOf(*glyph, spacing) * scaleX;
        drawGlyph(*glyph, x, y, scaleX, scaleY, &lastPage);
        if (offset > 0)
            x -= static_cast<float>(glyph->xOffset) * scaleX;
    }
}

void KText::drawCentered(const void* text, float x1, float y, float x2, float spacing, float scaleX, float scaleY,
                         int encoding) {
    drawLeft(text, x1 + (x2 - x1 - textWidth(text, spacing, scaleX, encoding)) * 0.5f, y, spacing, scaleX, scaleY,
             encoding);
}

} // namespace glint
