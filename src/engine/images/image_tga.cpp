#include "engine/images/image_tga.h"

#include "engine/images/image_buffer.h"
#include "engine/images/image_bytes.h"
#include "engine/images/image_output.h"
#include "engine/system/log.h"

#include <vector>

namespace glint {

namespace {

thread_local uint32_t colorMap[256]; // per thread: downloads decode on worker threads

struct TgaLayout {
    int width = 0;
    int height = 0;
    int depth = 0;
    size_t bytesPerPixel = 0;
    bool topDown = false;
    bool rightToLeft = false;
    bool runLength = false;
};

bool tooShort() {
    logMessage("TGA: file is too short");
    return false;
}

// Grey images carry 8-bit indices without a map: the grey ramp that the map
// starts from decodes them as grey. A map overwrites it from entry 0;
// entries past 256 are skipped.
bool readColorMap(const ImageBytes& bytes, size_t& pos) {
    for (uint32_t i = 0; i < 256; ++i)
        colorMap[i] = 0xFF000000u | i * 0x010101u;
    if (bytes.u8(1) == 0)
        return true;
    int entryBits = bytes.u8(7);
    if (entryBits != 24) {
        logMessage("TGA: unsupported color map entry size of %d bits", entryBits);
        return false;
    }
    size_t length = bytes.u16(5);
    if (!bytes.has(pos, length * 3))
        return tooShort();
    for (size_t i = 0; i < length && i < 256; ++i)
        colorMap[i] = opaquePixel(bytes.u8(pos + i * 3 + 2), bytes.u8(pos + i * 3 + 1), bytes.u8(pos + i * 3));
    pos += length * 3;
    return true;
}

uint32_t readPixel(const uint8_t* in, int depth) {
    switch (depth) {
    case 8:
        return colorMap[in[0]];
    case 15:
    case 16: {
        uint32_t v = static_cast<uint32_t>(in[0] | in[1] << 8);
        return opaquePixel((v >> 10 & 31) << 3, (v >> 5 & 31) << 3, (v & 31) << 3);
    }
    case 24:
        return opaquePixel(in[2], in[1], in[0]);
    default:
        return ImageBytes(in, 4).u32(0);
    }
}

uint32_t& outputPixel(const TgaLayout& layout, int fileRow, int fileColumn) {
    int row = layout.topDown ? fileRow : layout.height - 1 - fileRow;
    int column = layout.rightToLeft ? layout.width - 1 - fileColumn : fileColumn;
    return imageDecodeTarget()[static_cast<size_t>(row) * static_cast<size_t>(layout.width) + static_cast<size_t>(column)];
}

bool decodeRaw(const ImageBytes& bytes, size_t pos, const TgaLayout& layout) {
    size_t rowBytes = static_cast<size_t>(layout.width) * layout.bytesPerPixel;
    if (!bytes.has(pos, rowBytes * static_cast<size_t>(layout.height)))
        return tooShort();
    for (int y = 0; y < layout.height; ++y) {
        const uint8_t* in = bytes.at(pos + static_cast<size_t>(y) * rowBytes);
        for (int x = 0; x < layout.width; ++x)
            outputPixel(layout, y, x) = readPixel(in + static_cast<size_t>(x) * layout.bytesPerPixel, layout.depth);
    }
    return true;
}

bool endOfFileInPacket() {
    logMessage("TGA: end of file met while decompressing");
    return false;
}

bool decodeRunLength(const ImageBytes& bytes, size_t pos, const TgaLayout& layout) {
    for (int y = 0; y < layout.height; ++y) {
        for (int x = 0; x < layout.width;) {
            if (!bytes.has(pos, 1))
                return endOfFileInPacket();
            uint8_t header = bytes.u8(pos++);
            int count = (header & 0x7F) + 1;
            if (x + count > layout.width) {
                logMessage("TGA: decompressing past the end of the current scanline at %d,%d; length was %d", x, y,
                           count);
                return false;
            }
            bool repeat = header & 0x80;
            size_t packetBytes = layout.bytesPerPixel * (repeat ? 1 : static_cast<size_t>(count));
            if (!bytes.has(pos, packetBytes))
                return endOfFileInPacket();
            for (int i = 0; i < count; ++i)
                outputPixel(layout, y, x + i) =
                    readPixel(bytes.at(pos + (repeat ? 0 : static_cast<size_t>(i) * layout.bytesPerPixel)), layout.depth);
            pos += packetBytes;
            x += count;
        }
    }
    return true;
}

} // namespace

bool KImageHandlerTga::decode(const void* data, size_t size, KImageInfo* info, bool) {
    ImageBytes bytes(data, size);
    if (!bytes.has(0, 18))
        return tooShort();
    size_t pos = size_t{18} + bytes.u8(0);
    if (!bytes.has(18, bytes.u8(0)))
        return tooShort();
    if (!readColorMap(bytes, pos))
        return false;

    TgaLayout layout;
    layout.width = bytes.u16(12);
    layout.height = bytes.u16(14);
    layout.depth = bytes.u8(16);
    layout.bytesPerPixel = (static_cast<size_t>(layout.depth) + 7) / 8;
    layout.topDown = bytes.u8(17) & 0x20;
    layout.rightToLeft = bytes.u8(17) & 0x10;
    layout.runLength = bytes.u8(2) & 8;
    *info = KImageInfo{static_cast<uint32_t>(layout.width), static_cast<uint32_t>(layout.height), 0, 1};
    if (layout.width < 1 || layout.height < 1)
        return true;
    if (layout.depth != 8 && layout.depth != 15 && layout.depth != 16 && layout.depth != 24 && layout.depth != 32) {
        logMessage("TGA: unsupported pixel depth of %d", layout.depth);
        return false;
    }
    if (!imageFitsPixelBuffer("TGA", layout.width, layout.height))
        return false;
    info->hasAlpha = layout.depth == 32;
    return layout.runLength ? decodeRunLength(bytes, pos, layout) : decodeRaw(bytes, pos, layout);
}

bool KImageHandlerTga::encode(uint8_t** output, size_t* outputSize, const KImageInfo* info, int) {
    if (!imageCanEncode("TGA", info))
        return false;
    if (info->width >= 65536 || info->height >= 65536) {
        logMessage("TGA: cannot encode an image of %ux%u pixels, ERROR", info->width, info->height);
        return false;
    }
    uint8_t depth = info->hasAlpha ? 32 : 24;
    std::vector<uint8_t> bytes = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    putU16(bytes, info->width);
    putU16(bytes, info->height);
    bytes.insert(bytes.end(), {depth, 0});
    bytes.reserve(bytes.size() + size_t{info->width} * info->height * depth / 8);
    for (uint32_t row = info->height; row-- > 0;) {
        const uint32_t* in = imagePixelBuffer + size_t{row} * info->width;
        for (uint32_t x = 0; x < info->width; ++x) {
            uint32_t v = in[x];
            bytes.insert(bytes.end(), {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16)});
            if (depth == 32)
                bytes.push_back(static_cast<uint8_t>(v >> 24));
        }
    }
    imageHandOver(bytes, output, outputSize);
    return true;
}

} // namespace glint
