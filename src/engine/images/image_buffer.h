// The one pixel buffer that every image decoder fills.
//
// Pixels are 0xAARRGGBB words (bytes B, G, R, A in memory), rows top to
// bottom with no padding; a DXT5 image leaves its compressed blocks here
// instead. A single shared buffer spares a 16 MiB allocation per texture, at
// the price that only one decode (and the caller's copy out) runs at a time.
//
// Decoders write through imageDecodeTarget(): the shared buffer, unless the
// calling thread has pointed its decodes at a buffer of its own (see
// decodeImageApart), so that a worker thread can decode while the main
// thread loads textures.
#pragma once

#include <cstddef>
#include <cstdint>

namespace glint {

constexpr std::size_t kImagePixelBufferSize = 4194304; // 2048 x 2048

extern uint32_t imagePixelBuffer[kImagePixelBufferSize];

namespace detail {
extern constinit thread_local uint32_t* threadDecodeTarget;
} // namespace detail

// Where the calling thread's decoders write: imagePixelBuffer, or the
// buffer of a KImageDecodeTarget that lives on this thread.
inline uint32_t* imageDecodeTarget() {
    return detail::threadDecodeTarget ? detail::threadDecodeTarget : imagePixelBuffer;
}

// While it lives, the decoders of the calling thread write into pixels,
// which must hold kImagePixelBufferSize words.
class KImageDecodeTarget {
public:
    explicit KImageDecodeTarget(uint32_t* pixels);
    ~KImageDecodeTarget();
    KImageDecodeTarget(const KImageDecodeTarget&) = delete;
    KImageDecodeTarget& operator=(const KImageDecodeTarget&) = delete;

private:
    uint32_t* previous_;
};

// True when a width x height image fits the buffer; otherwise logs
// "<kind>: image of WxH pixels does not fit the pixel buffer, ERROR".
bool imageFitsPixelBuffer(const char* kind, int64_t width, int64_t height);

} // namespace glint
