// The "CgBI" PNG variant of iOS build tools: a CgBI chunk before IHDR, image
// data as raw deflate without the zlib wrapper, and premultiplied B, G, R(, A)
// samples. The standard PNG library refuses it, so such a stream is
// rewritten into a standard one before decoding and its samples fixed after.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace glint {

enum class CgbiStream {
    Standard,  // not the variant: decode the data as it is
    Rewritten, // the variant, rewritten into `standard`
    Damaged,   // the variant, but too broken to rewrite (logged)
};

// Checks for the variant and rewrites it: the CgBI chunk dropped, the IDAT
// data joined into one IDAT with a zlib header and Adler-32 trailer, every
// chunk CRC recomputed.
CgbiStream rewriteCgbiPng(const uint8_t* data, size_t size, std::vector<uint8_t>& standard);

// Turns one decoded row of the variant (B, G, R(, A) bytes in R, G, B(, A)
// order, colour premultiplied by alpha) into 0xAARRGGBB pixels.
void convertCgbiRow(const uint8_t* row, uint32_t width, int channels, uint32_t* out);

} // namespace glint
