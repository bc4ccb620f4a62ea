#include "engine/images/image_apart.h"

#include "engine/images/image_bmp.h"
#include "engine/images/image_buffer.h"
#include "engine/images/image_dds.h"
#include "engine/images/image_ddz.h"
#include "engine/images/image_gif.h"
#include "engine/images/image_jpg.h"
#include "engine/images/image_png.h"
#include "engine/images/image_tga.h"

#include <memory>

namespace glint {

namespace {

std::unique_ptr<KImageHandler> newHandler(int format) {
    switch (format) {
    case K_IMAGE_BMP: return std::make_unique<KImageHandlerBmp>();
    case K_IMAGE_JPG: return std::make_unique<KImageHandlerJpg>();
    case K_IMAGE_TGA: return std::make_unique<KImageHandlerTga>();
    case K_IMAGE_PNG: return std::make_unique<KImageHandlerPng>();
    case K_IMAGE_GIF: return std::make_unique<KImageHandlerGif>();
    case K_IMAGE_DDS: return std::make_unique<KImageHandlerDDS>();
    case K_IMAGE_DDZ: return std::make_unique<KImageHandlerDDZ>();
    default: return nullptr;
    }
}

// Words the decoder wrote: the pixels, or 16 bytes per 4 x 4 block.
size_t wordsOf(const KImageInfo& info) {
    if (info.isUncompressed)
        return size_t{info.width} * info.height;
    return (size_t{info.width} + 3) / 4 * ((size_t{info.height} + 3) / 4) * 4;
}

} // namespace

bool decodeImageApart(int format, const void* data, size_t size, KImageInfo& info, std::vector<uint32_t>& pixels) {
    std::unique_ptr<KImageHandler> handler = newHandler(format);
    if (!handler)
        return false;
    // Left uninitialised: only the pages the decoder writes are ever touched.
    std::unique_ptr<uint32_t[]> buffer(new uint32_t[kImagePixelBufferSize]);
    KImageDecodeTarget target(buffer.get());
    if (!handler->decode(data, size, &info, true))
        return false;
    pixels.assign(buffer.get(), buffer.get() + wordsOf(info));
    return true;
}

} // namespace glint
