#include "engine/images/image_gif.h"

#include "engine/images/image_buffer.h"
#include "engine/system/log.h"

#include <algorithm>

namespace glint {

namespace {

bool tooShort() {
    logMessage("GIF: file is too short, ERROR");
    return false;
}

} // namespace

// A colour table of R, G, B triples replaces the palette entries it covers.
bool KImageHandlerGif::readColorTable(const ImageBytes& bytes, size_t& pos, uint8_t flags) {
    if (!(flags & 0x80))
        return true;
    size_t entries = size_t{2} << (flags & 7);
    if (!bytes.has(pos, entries * 3))
        return tooShort();
    for (size_t i = 0; i < entries; ++i, pos += 3)
        palette_[i] = opaquePixel(bytes.u8(pos), bytes.u8(pos + 1), bytes.u8(pos + 2));
    return true;
}

// Skips extensions up to the first image descriptor and moves pos past its ",".
bool KImageHandlerGif::findImage(const ImageBytes& bytes, size_t& pos) {
    while (bytes.has(pos, 1)) {
        uint8_t block = bytes.u8(pos++);
        if (block == ',')
            return true;
        if (block == ';') {
            logMessage("GIF: no image in file, ERROR");
            return false;
        }
        if (block != '!') {
            logMessage("GIF: unknown block 0x%02x, ERROR", block);
            return false;
        }
        ++pos; // the label; every extension, graphic control included, is a chain of sub-blocks
        while (bytes.has(pos, 1)) {
            uint8_t length = bytes.u8(pos++);
            if (length == 0)
                break;
            pos += length;
        }
    }
    return tooShort();
}

bool KImageHandlerGif::decode(const void* data, size_t size, KImageInfo* info, bool) {
    ImageBytes bytes(data, size);
    if (size <= 12 || bytes.u8(0) != 'G' || bytes.u8(1) != 'I' || bytes.u8(2) != 'F') {
        logMessage("GIF: not a GIF file, ERROR");
        return false;
    }
    uint32_t screenWidth = bytes.u16(6), screenHeight = bytes.u16(8);
    uint8_t background = bytes.u8(11);
    for (uint32_t i = 0; i < 256; ++i)
        palette_[i] = 0xFF000000u | i * 0x010101u;
    size_t pos = 13;
    if (!readColorTable(bytes, pos, bytes.u8(10)) || !findImage(bytes, pos))
        return false;
    if (!bytes.has(pos, 9))
        return tooShort();
    GifRectangle rectangle{bytes.u16(pos), bytes.u16(pos + 2), bytes.u16(pos + 4), bytes.u16(pos + 6),
                           (bytes.u8(pos + 8) & 0x40) != 0};
    uint8_t imageFlags = bytes.u8(pos + 8);
    pos += 9;
    if (!readColorTable(bytes, pos, imageFlags))
        return false;

    uint32_t width = std::max(screenWidth, rectangle.left + rectangle.width);
    uint32_t height = std::max(screenHeight, rectangle.top + rectangle.height);
    if (!imageFitsPixelBuffer("GIF", width, height))
        return false;
    uint32_t* canvas = imageDecodeTarget();
    std::fill(canvas, canvas + size_t{width} * height, palette_[background]);
    GifRaster raster(canvas, width, rectangle, palette_);
    lzw_.decode(bytes, pos, raster);
    *info = KImageInfo{width, height, 0, 1};
    return true;
}

bool KImageHandlerGif::encode(uint8_t**, size_t*, const KImageInfo*, int) {
    logMessage("GIF: encoding isn't supported");
    return false;
}

} // namespace glint
