#include "engine/window/cursor_file.h"

#include "engine/images/image_buffer.h"
#include "engine/images/image_bytes.h"
#include "engine/images/image_handler.h"
#include "engine/window/cursor_dib.h"

#include <cstring>
#include <utility>

namespace glint {

namespace {

constexpr uint16_t kCursorType = 2;
constexpr size_t kDirectorySize = 6;
constexpr size_t kEntrySize = 16;
constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// What the choice needs of one directory entry, read from the image itself:
// the directory's own sizes stop at 255 and it has no colour depth for cursors.
struct CursorEntry {
    size_t offset = 0;
    size_t size = 0;
    int hotX = 0, hotY = 0;
    bool png = false;
    int width = 0, height = 0, depth = 0;
};

uint32_t bigEndian32(const ImageBytes& bytes, size_t at) {
    return static_cast<uint32_t>(bytes.u8(at)) << 24 | bytes.u8(at + 1) << 16 | bytes.u8(at + 2) << 8 |
           bytes.u8(at + 3);
}

int pngChannels(uint8_t colorType) {
    switch (colorType) {
    case 0: return 1; // grey
    case 2: return 3; // RGB
    case 3: return 1; // palette
    case 4: return 2; // grey with alpha
    case 6: return 4; // RGBA
    default: return 0;
    }
}

// The size and depth from the IHDR chunk, which must come first.
bool readPngFacts(const ImageBytes& bytes, CursorEntry& entry) {
    if (!bytes.has(0, 29) || std::memcmp(bytes.at(12), "IHDR", 4) != 0)
        return false;
    uint32_t width = bigEndian32(bytes, 16), height = bigEndian32(bytes, 20);
    int channels = pngChannels(bytes.u8(25));
    if (width < 1 || width > kMaxCursorSide || height < 1 || height > kMaxCursorSide || channels == 0)
        return false;
    entry.width = static_cast<int>(width);
    entry.height = static_cast<int>(height);
    entry.depth = bytes.u8(24) * channels;
    return true;
}

bool isPng(const ImageBytes& bytes) {
    return bytes.has(0, sizeof kPngSignature) && std::memcmp(bytes.at(0), kPngSignature, sizeof kPngSignature) == 0;
}

bool readEntry(const ImageBytes& file, size_t at, CursorEntry& entry) {
    entry.hotX = file.u16(at + 4);
    entry.hotY = file.u16(at + 6);
    entry.size = file.u32(at + 8);
    entry.offset = file.u32(at + 12);
    if (entry.size == 0 || !file.has(entry.offset, entry.size))
        return false;
    ImageBytes image(file.at(entry.offset), entry.size);
    entry.png = isPng(image);
    if (entry.png)
        return readPngFacts(image, entry);
    CursorDibLayout layout;
    if (!readCursorDibLayout(image, &layout))
        return false;
    entry.width = layout.width;
    entry.height = layout.height;
    entry.depth = layout.bits;
    return true;
}

bool better(const CursorEntry& candidate, const CursorEntry& best) {
    int64_t area = int64_t{candidate.width} * candidate.height, bestArea = int64_t{best.width} * best.height;
    return area != bestArea ? area > bestArea : candidate.depth > best.depth;
}

// The PNG decoder fills the shared pixel buffer; the cursor keeps a copy.
bool decodePng(const ImageBytes& image, const CursorEntry& entry, std::vector<uint32_t>& pixels) {
    KImageInfo info;
    KImageHandler* png = imageHandlerForFormat(K_IMAGE_PNG);
    if (!png || !png->decode(image.at(0), image.size(), &info, true) ||
        info.width != static_cast<uint32_t>(entry.width) || info.height != static_cast<uint32_t>(entry.height))
        return false;
    pixels.assign(imagePixelBuffer, imagePixelBuffer + size_t{info.width} * info.height);
    return true;
}

bool decodeEntry(const ImageBytes& file, const CursorEntry& entry, std::vector<uint32_t>& pixels) {
    ImageBytes image(file.at(entry.offset), entry.size);
    if (entry.png)
        return decodePng(image, entry, pixels);
    CursorDibLayout layout;
    return readCursorDibLayout(image, &layout) && decodeCursorDib(image, layout, &pixels);
}

} // namespace

bool readCursorFile(const void* data, size_t size, KCursorImage* out) {
    ImageBytes file(data, size);
    uint16_t count = file.u16(4);
    if (!out || !file.has(0, kDirectorySize) || file.u16(0) != 0 || file.u16(2) != kCursorType || count == 0 ||
        !file.has(kDirectorySize, kEntrySize * count))
        return false;
    CursorEntry best;
    for (uint16_t i = 0; i < count; ++i) {
        CursorEntry entry;
        if (!readEntry(file, kDirectorySize + kEntrySize * i, entry))
            return false;
        if (i == 0 || better(entry, best))
            best = entry;
    }
    KCursorImage image;
    if (!decodeEntry(file, best, image.pixels))
        return false;
    image.width = best.width;
    image.height = best.height;
    image.hotX = best.hotX;
    image.hotY = best.hotY;
    *out = std::move(image);
    return true;
}

} // namespace glint
