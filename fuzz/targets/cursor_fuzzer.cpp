// The ".cur" reader over arbitrary bytes: a cursor it accepts has a size
// within the cursor limits and exactly one pixel word per pixel.
#include "engine/window/cursor_file.h"

#include <cstdint>
#include <cstdlib>

using namespace glint;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    KCursorImage image;
    if (!readCursorFile(data, size, &image))
        return 0;
    bool sane = image.width > 0 && image.height > 0 && image.width <= kMaxCursorSide &&
                image.height <= kMaxCursorSide &&
                image.pixels.size() == static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
    if (!sane)
        std::abort();
    return 0;
}
