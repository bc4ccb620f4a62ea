#include "engine/render/texture_layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace glint {
namespace {

constexpr uint32_t kStale = 0xDEADBEEF;

TEST(TextureLayout, PowersOfTwo) {
    struct Case {
        uint32_t size, power;
    } cases[] = {{0, 1}, {1, 1}, {2, 2}, {3, 4}, {255, 256}, {256, 256}, {300, 512}, {2049, 4096}};
    for (const Case& c : cases)
        EXPECT_EQ(powerOfTwoAtLeast(c.size), c.power) << c.size;
}

TEST(TextureLayout, CompressedSizes) {
    EXPECT_EQ(compressedImageBytes(256, 256, kDxt5BlockBytes), 65536u);
    EXPECT_EQ(compressedImageBytes(256, 256, kDxt1BlockBytes), 32768u);
    EXPECT_EQ(compressedImageBytes(6, 5, kDxt5BlockBytes), 4u * 16);
}

TEST(TextureLayout, PaddedPixelsGetAZeroBorder) {
    const uint32_t width = 300, height = 200, size = 512;
    std::vector<uint32_t> image(width * height);
    for (uint32_t i = 0; i < image.size(); ++i)
        image[i] = 0xFF000000 | i;
    std::vector<uint32_t> texture(size * size, kStale);
    padPixels(image.data(), width, height, size, size, texture.data());

    EXPECT_EQ(texture[0], image[0]);
    EXPECT_EQ(texture[199 * size + 299], image[199 * width + 299]);
    for (uint32_t y = 0; y < height; ++y) {
        EXPECT_EQ(texture[y * size + 300], 0u);
        EXPECT_EQ(texture[y * size + 315], 0u);
        EXPECT_EQ(texture[y * size + 316], kStale) << "only 16 columns of padding";
    }
    EXPECT_EQ(texture[200 * size], 0u);
    EXPECT_EQ(texture[200 * size + 511], 0u);
    EXPECT_EQ(texture[201 * size], kStale) << "only one row of padding";
}

TEST(TextureLayout, NarrowPaddingAndFullWidth) {
    std::vector<uint32_t> image(5 * 2, 0xFFFFFFFF);
    std::vector<uint32_t> texture(8 * 2, kStale);
    padPixels(image.data(), 5, 2, 8, 2, texture.data());
    EXPECT_EQ(texture[5], 0u);
    EXPECT_EQ(texture[7], 0u);
    EXPECT_EQ(texture[8], 0xFFFFFFFF); // the next row starts at the texture stride
}

TEST(TextureLayout, PaddedBlocksGetAZeroBlockAndRow) {
    // 8 x 8 pixels of DXT5 = 2 x 2 blocks, into a 16 x 16 texture (4 x 4 blocks).
    std::vector<uint8_t> blocks(4 * 16);
    for (size_t i = 0; i < blocks.size(); ++i)
        blocks[i] = static_cast<uint8_t>(i + 1);
    std::vector<uint8_t> texture(16 * 16, 0xAA);
    padBlocks(blocks.data(), 8, 8, 16, 16, kDxt5BlockBytes, texture.data());

    const size_t row = 4 * 16;
    EXPECT_EQ(texture[0], 1);
    EXPECT_EQ(texture[31], 32);
    EXPECT_EQ(texture[row], 33);     // second block row at the texture stride
    EXPECT_EQ(texture[32], 0);       // zero block after the first row
    EXPECT_EQ(texture[47], 0);
    EXPECT_EQ(texture[48], 0xAA);    // only one block
    EXPECT_EQ(texture[2 * row], 0);  // zero block row below
    EXPECT_EQ(texture[3 * row - 1], 0);
    EXPECT_EQ(texture[3 * row], 0xAA);
}

TEST(TextureLayout, Dxt1RowsAreHalfAsLong) {
    std::vector<uint8_t> blocks(8, 0x11);
    std::vector<uint8_t> texture(2 * 8 * 2, 0xAA);
    padBlocks(blocks.data(), 4, 4, 8, 8, kDxt1BlockBytes, texture.data());
    EXPECT_EQ(texture[7], 0x11);
    EXPECT_EQ(texture[8], 0);
    EXPECT_EQ(texture[15], 0);
    EXPECT_EQ(texture[16], 0);
    EXPECT_EQ(texture[31], 0);
}

} // namespace
} // namespace glint
