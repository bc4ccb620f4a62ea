// One image decoder over arbitrary bytes. The sanitizers catch reads past
// the input (libFuzzer hands it over in a buffer of exactly its size) and
// writes past imagePixelBuffer; the checks below catch a decoder that
// reports an image it cannot have stored.
#include "engine/images/image_buffer.h"
#include "engine/images/image_handler.h"
#include "engine/system/log.h"

#include <cstdint>
#include <cstdlib>

using namespace glint;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    KImageHandler* handler = imageHandlerForFormat(GLINT_FUZZ_FORMAT);
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
