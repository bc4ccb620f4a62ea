// The one pixel buffer that every image decoder fills.
//
// Pixels are 0xAARRGGBB words (bytes B, G, R, A in memory), rows top to
// bottom with no padding; a DXT5 image leaves its compressed blocks here
// instead. A single shared buffer spares a 16 MiB allocation per texture, at
// the price that only one decode (and the caller's copy out) runs at a time.
#pragma once

#include <cstddef>
#include <cstdint>

namespace glint {

constexpr std::size_t kImagePixelBufferSize = 4194304; // 2048 x 2048

extern uint32_t imagePixelBuffer[kImagePixelBufferSize];

// True when a width x height image fits the buffer; otherwise logs
// "<kind>: image of WxH pixels does not fit the pixel buffer, ERROR".
bool imageFitsPixelBuffer(const char* kind, int64_t width, int64_t height);

} // namespace glint
