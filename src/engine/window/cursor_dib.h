// The bitmap form of a cursor image: a BITMAPINFOHEADER whose height counts
// the colour rows and the AND-mask rows, a palette for 1, 4 and 8 bits, the
// colour rows and then the 1-bit mask rows, all bottom-up.
#pragma once

#include "engine/images/image_bytes.h"

#include <cstdint>
#include <vector>

namespace glint {

struct CursorDibLayout {
    int width = 0;
    int height = 0; // colour rows: half the header's height
    int bits = 0;
    size_t paletteOffset = 0;
    uint32_t paletteCount = 0;
    size_t colorOffset = 0;
    size_t colorStride = 0;
    size_t maskOffset = 0;
    size_t maskStride = 0;
};

// Reads and checks the header of the bitmap that fills bytes; the colour
// rows must fit, the mask is checked when the pixels are made.
bool readCursorDibLayout(const ImageBytes& bytes, CursorDibLayout* layout);

// 0xAARRGGBB pixels, top row first. Colour without alpha takes its alpha
// from the mask; false when that mask is cut short.
bool decodeCursorDib(const ImageBytes& bytes, const CursorDibLayout& layout, std::vector<uint32_t>* pixels);

} // namespace glint
