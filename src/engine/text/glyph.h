// One glyph of a bitmap font: where it sits on its page and how it moves the pen.
#pragma once

#include <cstdint>

namespace glint {

struct KGlyph {
    int32_t code = 0;           // code point; 0 ends a glyph array
    int16_t x1 = 0, y1 = 0;     // rectangle on the page, inclusive, in texels
    int16_t x2 = 0, y2 = 0;
    int16_t advance = 0;        // horizontal advance
    int16_t height = 0;         // cell height
    int32_t page = 0;           // page texture 0-7
    int32_t xOffset = 0;        // moves the pen before the glyph, except for a text's first character
    int32_t yOffset = 0;        // added to the glyph's y
};
static_assert(sizeof(KGlyph) == 28, "glyph records are 28 bytes");

} // namespace glint
