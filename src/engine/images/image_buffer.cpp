#include "engine/images/image_buffer.h"

#include "engine/system/log.h"

namespace glint {

uint32_t imagePixelBuffer[kImagePixelBufferSize];

constinit thread_local uint32_t* detail::threadDecodeTarget = nullptr;

KImageDecodeTarget::KImageDecodeTarget(uint32_t* pixels) : previous_(detail::threadDecodeTarget) {
    detail::threadDecodeTarget = pixels;
}

KImageDecodeTarget::~KImageDecodeTarget() { detail::threadDecodeTarget = previous_; }

bool imageFitsPixelBuffer(const char* kind, int64_t width, int64_t height) {
    constexpr int64_t capacity = static_cast<int64_t>(kImagePixelBufferSize);
    if (width >= 0 && height >= 0 && (width == 0 || height <= capacity / width))
        return true;
    logMessage("%s: image of %lldx%lld pixels does not fit the pixel buffer, ERROR", kind,
               static_cast<long long>(width), static_cast<long long>(height));
    return false;
}

} // namespace glint
