// Image file decoders: one handler per format turns a file image in memory
// into imagePixelBuffer and reports its size and whether it has alpha.
#pragma once

#include "engine/system/object.h"

#include <cstddef>
#include <cstdint>

namespace glint {

struct KImageInfo {
    uint32_t width = 0;
    uint32_t height = 0;
    uint8_t hasAlpha = 0;       // the alpha bytes are meaningful
    uint8_t isUncompressed = 0; // 1: 32-bit pixels; 0: DXT5 blocks
};

class KImageHandler : public KObjectBase {
public:
    // Decodes size bytes at data into imagePixelBuffer and fills info.
    // loadPixels matters only to the DDS kind, which copies no pixels when it
    // is false. A failed decode may leave partial pixels in the buffer.
    virtual bool decode(const void* data, size_t size, KImageInfo* info, bool loadPixels) = 0;

    // Writes imagePixelBuffer as a new file image. On success *output is a
    // buffer of *outputSize bytes that the caller releases with delete[].
    // quality (0-100) is used by the JPEG kind only.
    virtual bool encode(uint8_t** output, size_t* outputSize, const KImageInfo* info, int quality) = 0;
};

// Format numbers, the index into the handler table.
enum KImageFormat : int {
    K_IMAGE_BMP = 0,
    K_IMAGE_JPG = 1,
    K_IMAGE_TGA = 2,
    K_IMAGE_PNG = 3,
    K_IMAGE_GIF = 4,
    K_IMAGE_DDS = 5,
    K_IMAGE_DDZ = 6,
};
constexpr int kImageFormatCount = 7;

// The format of a path from its last extension (ASCII case ignored), or -1.
int imageFormatForPath(const char* path);

// The process-wide handler of a format number, or null when out of range.
KImageHandler* imageHandlerForFormat(int format);

} // namespace glint
