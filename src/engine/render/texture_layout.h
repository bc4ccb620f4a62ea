// Texture sizes and the padding of images that are smaller than their
// texture. Only the image and a border of zeros next to it are written: the
// rest of the texture is never sampled, and the border keeps filtering at
// the image's right and bottom edges from picking up stale texels.
#pragma once

#include <cstddef>
#include <cstdint>

namespace glint {

// The staging buffer for padded images: 16 MiB.
constexpr std::size_t kTextureStagingWords = 4194304;
extern uint32_t textureStagingBuffer[kTextureStagingWords];

// The smallest power of two that is not below size (1 for 0).
uint32_t powerOfTwoAtLeast(uint32_t size);

// Bytes of one 4 x 4 block: 8 for DXT1, 16 for DXT5.
constexpr int kDxt1BlockBytes = 8;
constexpr int kDxt5BlockBytes = 16;

// Bytes of a compressed image of width x height pixels.
std::size_t compressedImageBytes(uint32_t width, uint32_t height, int blockBytes);

// Copies width x height pixels into a texture of textureWidth columns:
// each row followed by min(textureWidth - width, 16) zero pixels, and one
// zero row below when the image is shorter than the texture. The texture
// must hold the image and fit the destination.
void padPixels(const uint32_t* pixels, uint32_t width, uint32_t height, uint32_t textureWidth, uint32_t textureHeight,
               uint32_t* destination);

// The same for compressed blocks: each block row followed by one zero block
// when narrower, and one zero block row below when shorter.
void padBlocks(const uint8_t* blocks, uint32_t width, uint32_t height, uint32_t textureWidth, uint32_t textureHeight,
               int blockBytes, uint8_t* destination);

} // namespace glint
