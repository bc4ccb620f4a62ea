// Decoding away from the main thread. The shared handlers and the shared
// pixel buffer belong to the main thread's texture loading; a worker that
// decodes uses a handler object of its own (the GIF tables live in it) and a
// buffer of its own.
#pragma once

#include "engine/images/image_handler.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace glint {

// Decodes a file image of the format (a KImageFormat) with a fresh handler,
// pixels included for every kind. On success pixels holds width x height
// words, or the compressed blocks of a DXT5 image.
bool decodeImageApart(int format, const void* data, size_t size, KImageInfo& info, std::vector<uint32_t>& pixels);

} // namespace glint
