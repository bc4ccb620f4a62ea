// JPEG images through libjpeg: grey and colour baseline and progressive.
#pragma once

#include "engine/images/image_handler.h"

namespace glint {

class KImageHandlerJpg : public KImageHandler {
public:
    bool decode(const void* data, size_t size, KImageInfo* info, bool loadPixels) override;
    // A colour JPEG at the given quality (0-100); the alpha bytes are dropped.
    bool encode(uint8_t** output, size_t* outputSize, const KImageInfo* info, int quality) override;
};

} // namespace glint
