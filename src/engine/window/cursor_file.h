// Our own reader of ".cur" cursor files, so that the game's cursors load the
// same on every platform: a directory of images, each with its hot spot,
// stored either as a PNG file or as a device-independent bitmap with an AND
// mask under the colour rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace glint {

// Cursors larger than this are not cursors; such entries are refused.
constexpr int kMaxCursorSide = 256;

struct KCursorImage {
    int width = 0;
    int height = 0;
    int hotX = 0;
    int hotY = 0;
    // 0xAARRGGBB words, rows top to bottom, no padding.
    std::vector<uint32_t> pixels;
};

// Reads the best image of the file (the largest, then the deepest colour;
// the first of equals). False, with out untouched, for anything that is not
// a well-formed cursor file: every offset and size is checked against size.
bool readCursorFile(const void* data, size_t size, KCursorImage* out);

} // namespace glint
