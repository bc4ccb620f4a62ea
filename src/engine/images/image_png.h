// PNG images through libpng, including the CgBI variant: grey, palette, RGB
// and RGBA in every depth, expanded to 8-bit RGB or RGBA. Grey with alpha
// is refused.
#pragma once

#include "engine/images/image_handler.h"

namespace glint {

class KImageHandlerPng : public KImageHandler {
public:
    bool decode(const void* data, size_t size, KImageInfo* info, bool loadPixels) override;
    // 8-bit RGBA with alpha, else RGB; not interlaced.
    bool encode(uint8_t** output, size_t* outputSize, const KImageInfo* info, int quality) override;
};

} // namespace glint
