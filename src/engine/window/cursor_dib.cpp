#include "engine/window/cursor_dib.h"

#include "engine/window/cursor_file.h"

#include <utility>

namespace glint {

namespace {

constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kUncompressed = 0;

size_t rowStride(int width, int bits) { return (static_cast<size_t>(width) * bits + 31) / 32 * 4; }

bool supportedDepth(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32; }

// The colour of pixel x of a row, alpha left as stored (0 for all but 32 bits).
uint32_t colorAt(const ImageBytes& bytes, const CursorDibLayout& layout, size_t row, int x) {
    if (layout.bits == 32)
        return bytes.u32(row + static_cast<size_t>(x) * 4);
    if (layout.bits == 24) {
        size_t at = row + static_cast<size_t>(x) * 3;
        return static_cast<uint32_t>(bytes.u8(at)) | bytes.u8(at + 1) << 8 | bytes.u8(at + 2) << 16;
    }
    size_t bitIndex = static_cast<size_t>(x) * layout.bits;
    int shift = 8 - layout.bits - static_cast<int>(bitIndex % 8);
    uint32_t index = bytes.u8(row + bitIndex / 8) >> shift & ((1u << layout.bits) - 1);
    if (index >= layout.paletteCount)
        return 0;
    return bytes.u32(layout.paletteOffset + size_t{index} * 4) & 0xFFFFFF;
}

bool anyAlpha(const std::vector<uint32_t>& pixels) {
    for (uint32_t pixel : pixels)
        if (pixel & 0xFF000000u)
            return true;
    return false;
}

// A set mask bit lets the screen show through. Where the colour is not black
// as well, the system would invert the screen, which a colour cursor cannot
// express: such pixels become opaque black, as monochrome cursors show them
// on systems without inversion.
bool applyMask(const ImageBytes& bytes, const CursorDibLayout& layout, std::vector<uint32_t>& pixels) {
    if (!bytes.has(layout.maskOffset, layout.maskStride * layout.height))
        return false;
    for (int y = 0; y < layout.height; ++y) {
        size_t row = layout.maskOffset + static_cast<size_t>(layout.height - 1 - y) * layout.maskStride;
        for (int x = 0; x < layout.width; ++x) {
            uint32_t& pixel = pixels[static_cast<size_t>(y) * layout.width + x];
            bool through = bytes.u8(row + x / 8) >> (7 - x % 8) & 1;
            if (!through)
                pixel |= 0xFF000000u;
            else
                pixel = (pixel & 0xFFFFFF) ? 0xFF000000u : 0;
        }
    }
    return true;
}

} // namespace

bool readCursorDibLayout(const ImageBytes& bytes, CursorDibLayout* layout) {
    uint32_t headerSize = bytes.u32(0);
    if (headerSize < kInfoHeaderSize || !bytes.has(0, headerSize))
        return false;
    int32_t width = static_cast<int32_t>(bytes.u32(4));
    int32_t fullHeight = static_cast<int32_t>(bytes.u32(8));
    int bits = bytes.u16(14);
    if (width < 1 || width > kMaxCursorSide || fullHeight < 2 || fullHeight / 2 > kMaxCursorSide ||
        !supportedDepth(bits) || bytes.u32(16) != kUncompressed)
        return false;
    CursorDibLayout out;
    out.width = width;
    out.height = fullHeight / 2;
    out.bits = bits;
    out.paletteOffset = headerSize;
    if (bits <= 8) {
        uint32_t used = bytes.u32(32);
        out.paletteCount = used ? used : 1u << bits;
        if (out.paletteCount > 1u << bits)
            return false;
    }
    out.colorOffset = out.paletteOffset + size_t{out.paletteCount} * 4;
    out.colorStride = rowStride(out.width, bits);
    out.maskOffset = out.colorOffset + out.colorStride * out.height;
    out.maskStride = rowStride(out.width, 1);
    if (!bytes.has(out.colorOffset, out.colorStride * out.height))
        return false;
    *layout = out;
    return true;
}

bool decodeCursorDib(const ImageBytes& bytes, const CursorDibLayout& layout, std::vector<uint32_t>* pixels) {
    std::vector<uint32_t> out(static_cast<size_t>(layout.width) * layout.height);
    for (int y = 0; y < layout.height; ++y) {
        size_t row = layout.colorOffset + static_cast<size_t>(layout.height - 1 - y) * layout.colorStride;
        for (int x = 0; x < layout.width; ++x)
            out[static_cast<size_t>(y) * layout.width + x] = colorAt(bytes, layout, row, x);
    }
    // Old 32-bit cursors leave the alpha bytes at 0 and rely on the mask.
    if (!(layout.bits == 32 && anyAlpha(out)) && !applyMask(bytes, layout, out))
        return false;
    *pixels = std::move(out);
    return true;
}

} // namespace glint
