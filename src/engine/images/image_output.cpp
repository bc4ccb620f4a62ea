#include "engine/images/image_output.h"

#include "engine/images/image_buffer.h"
#include "engine/system/log.h"

#include <cstring>

namespace glint {

bool imageCanEncode(const char* kind, const KImageInfo* info) {
    if (!info) {
        logMessage("%s: cannot encode without image information, ERROR", kind);
        return false;
    }
    if (!info->isUncompressed) {
        logMessage("%s: cannot encode compressed blocks, ERROR", kind);
        return false;
    }
    if (info->width < 1 || info->height < 1) {
        logMessage("%s: cannot encode an empty image, ERROR", kind);
        return false;
    }
    return imageFitsPixelBuffer(kind, info->width, info->height);
}

void imageHandOver(const std::vector<uint8_t>& bytes, uint8_t** output, size_t* outputSize) {
    *output = new uint8_t[bytes.size()];
    std::memcpy(*output, bytes.data(), bytes.size());
    *outputSize = bytes.size();
}

void putU16(std::vector<uint8_t>& bytes, uint32_t value) {
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void putU32(std::vector<uint8_t>& bytes, uint32_t value) {
    putU16(bytes, value & 0xFFFF);
    putU16(bytes, value >> 16);
}

} // namespace glint
