// The variable-width LZW decoder of GIF image data.
#pragma once

#include "engine/images/gif_raster.h"
#include "engine/images/image_bytes.h"

#include <cstddef>
#include <cstdint>

namespace glint {

class GifLzwDecoder {
public:
    // Decodes the image data that starts at pos (the minimum code size byte,
    // then the data sub-blocks) into raster until the end code, the end of
    // the data or a full raster. Errors in the data are logged and end the
    // decoding; the pixels so far stay.
    void decode(const ImageBytes& bytes, size_t pos, GifRaster& raster);

private:
    static constexpr int kTableSize = 4096;

    int32_t prefix_[kTableSize];
    uint8_t suffix_[kTableSize];
    uint8_t stack_[kTableSize];
};

} // namespace glint
