// Truevision targa images: colour-mapped, 15/16, 24 and 32 bits, raw or
// run-length encoded, in any row and column order.
#pragma once

#include "engine/images/image_handler.h"

namespace glint {

class KImageHandlerTga : public KImageHandler {
public:
    bool decode(const void* data, size_t size, KImageInfo* info, bool loadPixels) override;
    // Uncompressed 24-bit, or 32-bit with alpha, bottom-up rows.
    bool encode(uint8_t** output, size_t* outputSize, const KImageInfo* info, int quality) override;
};

} // namespace glint
