#include "engine/images/image_dds.h"

#include "engine/images/image_buffer.h"
#include "engine/images/image_bytes.h"
#include "engine/system/log.h"

#include <cstring>

namespace glint {

namespace {

constexpr size_t kPixelDataOffset = 128;
constexpr uint32_t kFourCcOnly = 4;

constexpr uint32_t fourCc(const char (&text)[5]) {
    return static_cast<uint32_t>(static_cast<uint8_t>(text[0])) | static_cast<uint32_t>(static_cast<uint8_t>(text[1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(text[2])) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(text[3])) << 24;
}

// DXT5 stores 4 x 4 pixel blocks of 16 bytes; edges are padded to whole blocks.
size_t dxt5Bytes(size_t width, size_t height) {
    return (width + 3) / 4 * ((height + 3) / 4) * 16;
}

} // namespace

bool KImageHandlerDDS::decode(const void* data, size_t size, KImageInfo* info, bool loadPixels) {
    ImageBytes bytes(data, size);
    if (size <= 127 || bytes.u32(0) != fourCc("DDS "))
        return false;
    uint32_t height = bytes.u32(12), width = bytes.u32(16);
    size_t pixelBytes = 0;
    if (bytes.u32(88) == 32) {
        *info = KImageInfo{width, height, bytes.u32(104) != 0, 1};
        pixelBytes = size_t{width} * height * 4;
    } else if (bytes.u32(80) == kFourCcOnly && bytes.u32(84) == fourCc("DXT5")) {
        *info = KImageInfo{width, height, 1, 0};
        pixelBytes = dxt5Bytes(width, height);
    } else {
        return false;
    }
    if (!imageFitsPixelBuffer("DDS", width, height))
        return false;
    if (!bytes.has(kPixelDataOffset, pixelBytes)) {
        logMessage("DDS: file is too short, ERROR");
        return false;
    }
    if (loadPixels)
        std::memcpy(imageDecodeTarget(), bytes.at(kPixelDataOffset), pixelBytes);
    return true;
}

bool KImageHandlerDDS::encode(uint8_t**, size_t*, const KImageInfo*, int) {
    logMessage("DDS: encoding of DDS images is not supported yet");
    return false;
}

} // namespace glint
