// Windows and OS/2 bitmaps: 1, 4, 8, 16, 24 and 32 bits, RLE8, RLE4 and
// bitfields.
#pragma once

#include "engine/images/image_handler.h"

namespace glint {

class KImageHandlerBmp : public KImageHandler {
public:
    bool decode(const void* data, size_t size, KImageInfo* info, bool loadPixels) override;
    // 24-bit, or 32-bit with alpha, bottom-up rows.
    bool encode(uint8_t** output, size_t* outputSize, const KImageInfo* info, int quality) override;
};

} // namespace glint
