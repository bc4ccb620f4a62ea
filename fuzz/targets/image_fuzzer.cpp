// One image decoder over arbitrary bytes. The sanitizers catch reads past
// the input (libFuzzer hands it over in a buffer of exactly its size) and
// writes past imagePixelBuffer; the checks below catch a decoder that
// reports an image it cannot have stored.
#include "engine/images/image_buffer.h"
#include "engine/images/image_handler.h"
#include "engine/system/log.h"

#include <cstdint>
#include <cstdlib>
#include <vector>
#include <zlib.h>

using namespace glint;

namespace {

// libpng rejects a critical chunk whose CRC is wrong, so almost every
// mutation would end there. Rewriting the CRCs lets the mutations reach the
// decoding itself; the input is copied to a buffer of exactly its size.
std::vector<uint8_t> withValidPngCrcs(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    size_t at = 8; // the signature
    while (at + 12 <= bytes.size()) {
        uint32_t length = uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 | uint32_t{bytes[at + 2]} << 8 |
                          bytes[at + 3];
        if (length > bytes.size() - at - 12)
            break;
        uint32_t crc = static_cast<uint32_t>(crc32(0, bytes.data() + at + 4, length + 4));
        for (int i = 0; i < 4; ++i)
            bytes[at + 8 + length + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
        at += 12 + size_t{length};
    }
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    KImageHandler* handler = imageHandlerForFormat(GLINT_FUZZ_FORMAT);
    std::vector<uint8_t> patched;
    if (GLINT_FUZZ_FORMAT == K_IMAGE_PNG) {
        patched = withValidPngCrcs(data, size);
        data = patched.data();
    }
    // The memory log keeps only its first 8 KiB: clearing it keeps the
    // formatting of every run's messages under test.
    clearMemoryLog();
    KImageInfo info;
    if (!handler->decode(data, size, &info, true))
        return 0;
    uint64_t pixels = uint64_t{info.width} * info.height;
    if (pixels > kImagePixelBufferSize)
        std::abort();
    if (info.isUncompressed > 1 || info.hasAlpha > 1)
        std::abort();
    return 0;
}
