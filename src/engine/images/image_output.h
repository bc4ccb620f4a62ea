// Shared steps of the encoders: checking what the buffer holds and handing
// the finished file image to the caller.
#pragma once

#include "engine/images/image_handler.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace glint {

// True when info describes 32-bit pixels of at least 1 x 1 that fit
// imagePixelBuffer; otherwise logs "<kind>: cannot encode ..., ERROR".
bool imageCanEncode(const char* kind, const KImageInfo* info);

// Copies bytes into a new[] buffer owned by the caller.
void imageHandOver(const std::vector<uint8_t>& bytes, uint8_t** output, size_t* outputSize);

// Appends little-endian fields to a file image under construction.
void putU16(std::vector<uint8_t>& bytes, uint32_t value);
void putU32(std::vector<uint8_t>& bytes, uint32_t value);

} // namespace glint
