// DirectDraw surfaces: 32-bit pixels, or DXT5 blocks handed on unchanged
// for compressed upload. Only the top mip level is read.
#pragma once

#include "engine/images/image_handler.h"

namespace glint {

class KImageHandlerDDS : public KImageHandler {
public:
    // With loadPixels false only info is filled. Unsupported pixel formats
    // fail without a log line.
    bool decode(const void* data, size_t size, KImageInfo* info, bool loadPixels) override;
    // Always fails: the engine writes no DDS files.
    bool encode(uint8_t** output, size_t* outputSize, const KImageInfo* info, int quality) override;
};

} // namespace glint
