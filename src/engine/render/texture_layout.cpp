#include "engine/render/texture_layout.h"

#include <algorithm>
#include <cstring>

namespace glint {

uint32_t textureStagingBuffer[kTextureStagingWords];

namespace {

constexpr uint32_t kMaxRowPadding = 16;

uint32_t blocksFor(uint32_t pixels) { return (pixels + 3) / 4; }

} // namespace

uint32_t powerOfTwoAtLeast(uint32_t size) {
    uint32_t power = 1;
    while (power < size && power < (1u << 31))
        power <<= 1;
    return power;
}

std::size_t compressedImageBytes(uint32_t width, uint32_t height, int blockBytes) {
    return std::size_t{blocksFor(width)} * blocksFor(height) * static_cast<std::size_t>(blockBytes);
}

void padPixels(const uint32_t* pixels, uint32_t width, uint32_t height, uint32_t textureWidth, uint32_t textureHeight,
               uint32_t* destination) {
    uint32_t padding = std::min(textureWidth - width, kMaxRowPadding);
    for (uint32_t y = 0; y < height; ++y) {
        uint32_t* row = destination + std::size_t{y} * textureWidth;
        std::memcpy(row, pixels + std::size_t{y} * width, std::size_t{width} * 4);
        std::fill_n(row + width, padding, 0u);
    }
    if (height < textureHeight)
        std::fill_n(destination + std::size_t{height} * textureWidth, textureWidth, 0u);
}

void padBlocks(const uint8_t* blocks, uint32_t width, uint32_t height, uint32_t textureWidth, uint32_t textureHeight,
               int blockBytes, uint8_t* destination) {
    std::size_t block = static_cast<std::size_t>(blockBytes);
    std::size_t rowBytes = blocksFor(width) * block;
    std::size_t textureRowBytes = blocksFor(textureWidth) * block;
    bool narrower = blocksFor(width) < blocksFor(textureWidth);
    uint32_t rows = blocksFor(height);
    for (uint32_t y = 0; y < rows; ++y) {
        uint8_t* row = destination + y * textureRowBytes;
        std::memcpy(row, blocks + y * rowBytes, rowBytes);
        if (narrower)
            std::memset(row + rowBytes, 0, block);
    }
    if (rows < blocksFor(textureHeight))
        std::memset(destination + rows * textureRowBytes, 0, textureRowBytes);
}

} // namespace glint
