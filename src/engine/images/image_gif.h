// GIF images: the first image of the file on its logical screen.
#pragma once

#include "engine/images/gif_lzw.h"
#include "engine/images/image_handler.h"

namespace glint {

class KImageHandlerGif : public KImageHandler {
public:
    // Transparency from a graphic-control extension is not applied: the
    // result is opaque and hasAlpha is 0.
    bool decode(const void* data, size_t size, KImageInfo* info, bool loadPixels) override;
    // Always fails: the engine writes no GIF files.
    bool encode(uint8_t** output, size_t* outputSize, const KImageInfo* info, int quality) override;

private:
    bool readColorTable(const ImageBytes& bytes, size_t& pos, uint8_t flags);
    bool findImage(const ImageBytes& bytes, size_t& pos);

    uint32_t palette_[256];
    GifLzwDecoder lzw_;
};

} // namespace glint
