#include "engine/images/image_bmp.h"

#include "engine/images/image_buffer.h"
#include "engine/images/image_bytes.h"
#include "engine/images/image_output.h"
#include "engine/system/log.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

namespace glint {

namespace {

constexpr uint32_t kRgb = 0;
constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;
constexpr uint32_t kBitfields = 3;

thread_local uint32_t palette[256]; // per thread: downloads decode on worker threads

struct BmpLayout {
    int64_t width = 0;
    int64_t height = 0; // rows, always positive
    bool topDown = false;
    int bits = 0;
    uint32_t compression = kRgb;
    size_t dataOffset = 0;
    size_t paletteOffset = 0;
    size_t paletteEntrySize = 4;
};

bool readLayout(const ImageBytes& bytes, BmpLayout& layout) {
    layout.dataOffset = bytes.u32(10);
    uint32_t headerSize = bytes.u32(14);
    if (!bytes.has(14, 4) || !bytes.has(14, headerSize == 12 ? 12 : 40)) {
        logMessage("BMP: file is too short, ERROR");
        return false;
    }
    if (headerSize == 12) {
        layout.width = bytes.u16(18);
        layout.height = bytes.u16(20);
        layout.bits = bytes.u16(24);
        layout.paletteOffset = 26;
        layout.paletteEntrySize = 3;
    } else if (headerSize >= 40) {
        layout.width = static_cast<int32_t>(bytes.u32(18));
        int64_t height = static_cast<int32_t>(bytes.u32(22));
        layout.topDown = height < 0;
        layout.height = height < 0 ? -height : height;
        layout.bits = bytes.u16(28);
        layout.compression = bytes.u32(30);
        layout.paletteOffset = size_t{14} + headerSize;
    } else {
        logMessage("BMP: unsupported header size of %u, ERROR", headerSize);
        return false;
    }
    if (layout.width < 0) {
        logMessage("BMP: invalid width of %lld, ERROR", static_cast<long long>(layout.width));
        return false;
    }
    return imageFitsPixelBuffer("BMP", layout.width, layout.height);
}

// Entries past the end of the file read as opaque black.
void readPalette(const ImageBytes& bytes, const BmpLayout& layout) {
    if (layout.bits < 1 || layout.bits > 8)
        return;
    size_t count = size_t{1} << layout.bits;
    for (size_t i = 0; i < count; ++i) {
        size_t offset = layout.paletteOffset + i * layout.paletteEntrySize;
        palette[i] = opaquePixel(bytes.u8(offset + 2), bytes.u8(offset + 1), bytes.u8(offset));
    }
}

uint32_t* outputRow(const BmpLayout& layout, int64_t fileRow) {
    int64_t row = layout.topDown ? fileRow : layout.height - 1 - fileRow;
    return imageDecodeTarget() + row * layout.width;
}

// One channel of a bitfields pixel, moved to the top of its byte.
class MaskField {
public:
    explicit MaskField(uint32_t mask) : mask_(mask) {
        if (mask) {
            shift_ = std::countr_zero(mask);
            width_ = 32 - std::countl_zero(mask) - shift_;
        }
    }
    uint32_t channel(uint32_t value) const {
        if (!width_)
            return 0;
        uint32_t field = (value & mask_) >> shift_;
        return width_ >= 8 ? field >> (width_ - 8) : field << (8 - width_);
    }

private:
    uint32_t mask_;
    int shift_ = 0;
    int width_ = 0;
};

struct Masks {
    uint32_t red, green, blue;
};

void decodeRows(const ImageBytes& bytes, const BmpLayout& layout, const Masks& masks) {
    size_t rowBytes = static_cast<size_t>((layout.width * layout.bits + 31) / 32 * 4);
    bool copy = layout.bits == 32 && masks.red == 0x00FF0000 && masks.green == 0x0000FF00 && masks.blue == 0x000000FF;
    MaskField red(masks.red), green(masks.green), blue(masks.blue);
    for (int64_t fileRow = 0; fileRow < layout.height; ++fileRow) {
        const uint8_t* in = bytes.at(layout.dataOffset + static_cast<size_t>(fileRow) * rowBytes);
        uint32_t* out = outputRow(layout, fileRow);
        if (copy) {
            std::memcpy(out, in, static_cast<size_t>(layout.width) * 4);
            continue;
        }
        for (int64_t x = 0; x < layout.width; ++x) {
            switch (layout.bits) {
            case 1:
                out[x] = palette[in[x >> 3] >> (7 - (x & 7)) & 1];
                break;
            case 4:
                out[x] = palette[in[x >> 1] >> (x & 1 ? 0 : 4) & 15];
                break;
            case 8:
                out[x] = palette[in[x]];
                break;
            case 24:
                out[x] = opaquePixel(in[x * 3 + 2], in[x * 3 + 1], in[x * 3]);
                break;
            default: {
                uint32_t value = layout.bits == 16 ? static_cast<uint32_t>(in[x * 2] | in[x * 2 + 1] << 8)
                                                   : ImageBytes(in + x * 4, 4).u32(0);
                out[x] = opaquePixel(red.channel(value), green.channel(value), blue.channel(value));
            }
            }
        }
    }
}

bool decodeUncompressed(const ImageBytes& bytes, const BmpLayout& layout, const Masks& masks) {
    if (layout.width == 0 || layout.height == 0)
        return true;
    size_t rowBytes = static_cast<size_t>((layout.width * layout.bits + 31) / 32 * 4);
    if (!bytes.has(layout.dataOffset, rowBytes * static_cast<size_t>(layout.height))) {
        logMessage("BMP: file is too short, ERROR");
        return false;
    }
    decodeRows(bytes, layout, masks);
    return true;
}

// Run-length pixels land at (x, y) in file row order; a run past the end of
// a row goes on in the next one and anything past the last row is dropped.
// Some encoders run each row on to its padded length and then end the line:
// an end of line in a row that was entered by running on therefore ends the
// row that ran over, and the row restarts.
class RleCursor {
public:
    explicit RleCursor(const BmpLayout& layout) : layout_(layout) {}

    bool done() const { return y_ >= layout_.height; }
    void put(uint8_t index) {
        if (x_ >= layout_.width) {
            x_ = 0;
            ++y_;
            ranOn_ = true;
        }
        if (done())
            return;
        outputRow(layout_, y_)[x_++] = palette[index];
    }
    void endOfLine() {
        x_ = 0;
        if (!ranOn_)
            ++y_;
        ranOn_ = false;
    }
    void move(uint8_t dx, uint8_t dy) {
        x_ += dx;
        y_ += dy;
        ranOn_ = false;
    }

private:
    const BmpLayout& layout_;
    int64_t x_ = 0;
    int64_t y_ = 0;
    bool ranOn_ = false;
};

// The stream ending without an end-of-bitmap code ends the image there.
void decodeRle(const ImageBytes& bytes, const BmpLayout& layout, bool fourBits) {
    uint32_t background = bytes.u32(layout.paletteOffset);
    uint32_t* out = imageDecodeTarget();
    std::fill(out, out + layout.width * layout.height, background);
    RleCursor cursor(layout);
    auto nibbleOrByte = [fourBits](uint8_t value, size_t i) -> uint8_t {
        return fourBits ? (i & 1 ? value & 15 : value >> 4) : value;
    };
    size_t pos = layout.dataOffset;
    while (!cursor.done() && bytes.has(pos, 2)) {
        uint8_t count = bytes.u8(pos), value = bytes.u8(pos + 1);
        pos += 2;
        if (count) {
            for (size_t i = 0; i < count; ++i)
                cursor.put(nibbleOrByte(value, i));
        } else if (value == 0) {
            cursor.endOfLine();
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            cursor.move(bytes.u8(pos), bytes.u8(pos + 1));
            pos += 2;
        } else {
            size_t literalBytes = fourBits ? (value + 1u) / 2 : value;
            for (size_t i = 0; i < value && bytes.has(pos + (fourBits ? i / 2 : i), 1); ++i)
                cursor.put(nibbleOrByte(bytes.u8(pos + (fourBits ? i / 2 : i)), i));
            pos += literalBytes + (literalBytes & 1);
        }
    }
}

bool decodePixels(const ImageBytes& bytes, const BmpLayout& layout, KImageInfo* info) {
    switch (layout.compression) {
    case kRgb:
        if (layout.bits != 1 && layout.bits != 4 && layout.bits != 8 && layout.bits != 16 && layout.bits != 24 &&
            layout.bits != 32) {
            logMessage("BMP: unsupported bit depth of %d for uncompressed data", layout.bits);
            return false;
        }
        info->hasAlpha = layout.bits == 32;
        return decodeUncompressed(bytes, layout, layout.bits == 16 ? Masks{0x7C00, 0x03E0, 0x001F}
                                                                   : Masks{0x00FF0000, 0x0000FF00, 0x000000FF});
    case kRle8:
    case kRle4: {
        bool fourBits = layout.compression == kRle4;
        if (layout.bits != (fourBits ? 4 : 8)) {
            logMessage(fourBits ? "BMP: unsupported bit depth of %d for RLE4 method"
                                : "BMP: unsupported bit depth of %d for RLE8 method",
                       layout.bits);
            return false;
        }
        decodeRle(bytes, layout, fourBits);
        return true;
    }
    case kBitfields: {
        if (layout.bits != 16 && layout.bits != 32) {
            logMessage("BMP: unsupported bit depth of %d for bitfields method", layout.bits);
            return false;
        }
        Masks masks{bytes.u32(54), bytes.u32(58), bytes.u32(62)};
        info->hasAlpha = layout.bits == 32 && masks.red == 0x00FF0000 && masks.green == 0x0000FF00 &&
                         masks.blue == 0x000000FF;
        return decodeUncompressed(bytes, layout, masks);
    }
    default:
        logMessage("BMP: unsupported compression method %d", static_cast<int>(layout.compression));
        return false;
    }
}

} // namespace

bool KImageHandlerBmp::decode(const void* data, size_t size, KImageInfo* info, bool) {
    ImageBytes bytes(data, size);
    if (!bytes.has(0, 14) || bytes.u8(0) != 'B' || bytes.u8(1) != 'M') {
        logMessage("BMP: not a BMP file, ERROR");
        return false;
    }
    BmpLayout layout;
    if (!readLayout(bytes, layout))
        return false;
    *info = KImageInfo{static_cast<uint32_t>(layout.width), static_cast<uint32_t>(layout.height), 0, 1};
    readPalette(bytes, layout);
    return decodePixels(bytes, layout, info);
}

bool KImageHandlerBmp::encode(uint8_t** output, size_t* outputSize, const KImageInfo* info, int) {
    if (!imageCanEncode("BMP", info))
        return false;
    if (info->width >= 65536 || info->height >= 65536) {
        logMessage("BMP: cannot encode an image of %ux%u pixels, ERROR", info->width, info->height);
        return false;
    }
    uint32_t bits = info->hasAlpha ? 32 : 24;
    size_t rowBytes = (info->width * bits / 8 + 3) / 4 * 4;
    std::vector<uint8_t> bytes = {'B', 'M'};
    putU32(bytes, static_cast<uint32_t>(54 + rowBytes * info->height));
    putU32(bytes, 0);
    putU32(bytes, 54);
    for (uint32_t field : {40u, info->width, info->height})
        putU32(bytes, field);
    putU16(bytes, 1);
    putU16(bytes, bits);
    for (uint32_t field : {0u, 0u, 2835u, 2835u, 0u, 0u})
        putU32(bytes, field);
    for (uint32_t row = info->height; row-- > 0;) {
        const uint32_t* in = imagePixelBuffer + size_t{row} * info->width;
        size_t start = bytes.size();
        for (uint32_t x = 0; x < info->width; ++x) {
            uint32_t v = in[x];
            bytes.insert(bytes.end(), {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16)});
            if (bits == 32)
                bytes.push_back(static_cast<uint8_t>(v >> 24));
        }
        bytes.resize(start + rowBytes, 0);
    }
    imageHandOver(bytes, output, outputSize);
    return true;
}

} // namespace glint
