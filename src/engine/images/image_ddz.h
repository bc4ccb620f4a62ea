// ".ddz" paths find this handler so that they are recognised as images, but
// no such file can be decoded.
#pragma once

#include "engine/images/image_handler.h"

namespace glint {

class KImageHandlerDDZ : public KImageHandler {
public:
    // Always fails, without a log line.
    bool decode(const void* data, size_t size, KImageInfo* info, bool loadPixels) override;
    // Always fails.
    bool encode(uint8_t** output, size_t* outputSize, const KImageInfo* info, int quality) override;
};

} // namespace glint
