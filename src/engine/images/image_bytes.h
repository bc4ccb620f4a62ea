// Bounds-checked little-endian reads from a file image in memory.
//
// Decoders take offsets straight from file headers, so every read checks
// against the end first; a read past it yields 0 and has() tells callers
// whether a field or block is really there.
#pragma once

#include <cstddef>
#include <cstdint>

namespace glint {

class ImageBytes {
public:
    ImageBytes(const void* data, size_t size) : data_(static_cast<const uint8_t*>(data)), size_(data ? size : 0) {}

    size_t size() const { return size_; }
    const uint8_t* at(size_t offset) const { return data_ + offset; }

    bool has(size_t offset, size_t count) const { return offset <= size_ && count <= size_ - offset; }

    uint8_t u8(size_t offset) const { return has(offset, 1) ? data_[offset] : 0; }
    uint16_t u16(size_t offset) const {
        return has(offset, 2) ? static_cast<uint16_t>(data_[offset] | data_[offset + 1] << 8) : 0;
    }
    uint32_t u32(size_t offset) const {
        if (!has(offset, 4))
            return 0;
        return static_cast<uint32_t>(data_[offset]) | static_cast<uint32_t>(data_[offset + 1]) << 8 |
               static_cast<uint32_t>(data_[offset + 2]) << 16 | static_cast<uint32_t>(data_[offset + 3]) << 24;
    }

private:
    const uint8_t* data_;
    size_t size_;
};

// Builds an opaque 0xAARRGGBB pixel.
constexpr uint32_t opaquePixel(uint32_t red, uint32_t green, uint32_t blue) {
    return 0xFF000000u | (red & 0xFF) << 16 | (green & 0xFF) << 8 | (blue & 0xFF);
}

} // namespace glint
