#include "engine/images/image_buffer.h"
#include "image_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace glint;
using namespace glint::test;

namespace {

void fillBuffer(uint32_t value) {
    std::fill(imagePixelBuffer, imagePixelBuffer + 1024, value);
}

} // namespace

TEST(DdsDecode, Dxt5BlocksAreHandedOnUnchanged) {
    Fixtures fixtures;
    std::string dds = fixtures.make("x.dds", std::string(Fixtures::kAlpha) +
                                                 " -define dds:compression=dxt5 -define dds:mipmaps=0");
    ASSERT_EQ(dds.compare(84, 4, "DXT5"), 0);
    // 13 x 7 pixels are 4 x 2 blocks of 16 bytes, more than 13 x 7 bytes.
    ASSERT_EQ(dds.size(), 128u + 4 * 2 * 16);
    fillBuffer(0xDEADBEEF);
    Decoded decoded = decodeAs(K_IMAGE_DDS, dds);
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.info.width, 13u);
    EXPECT_EQ(decoded.info.height, 7u);
    EXPECT_EQ(decoded.info.hasAlpha, 1);
    EXPECT_EQ(decoded.info.isUncompressed, 0);
    EXPECT_EQ(std::memcmp(imagePixelBuffer, dds.data() + 128, dds.size() - 128), 0);

    // Without loadPixels only the information is filled in.
    fillBuffer(0xDEADBEEF);
    decoded = decodeAs(K_IMAGE_DDS, dds, false);
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.info.width, 13u);
    EXPECT_EQ(imagePixelBuffer[0], 0xDEADBEEF);
}

TEST(DdsDecode, ThirtyTwoBitPixelsMatchWhatConvertReads) {
    Fixtures fixtures;
    std::string dds = fixtures.make("x.dds", std::string(Fixtures::kAlpha) +
                                                 " -define dds:compression=none -define dds:mipmaps=0");
    ASSERT_EQ(readLe32(dds, 88), 32u);
    Pixels expected = fixtures.magickPixels("x.dds");
    Decoded decoded = decodeAs(K_IMAGE_DDS, dds);
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.info.hasAlpha, 1);
    EXPECT_EQ(decoded.info.isUncompressed, 1);
    EXPECT_EQ(decoded.pixels, expected);

    // Without an alpha mask the bytes are the same but not flagged as alpha.
    putLe32(dds, 104, 0);
    decoded = decodeAs(K_IMAGE_DDS, dds);
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.info.hasAlpha, 0);
    EXPECT_EQ(decoded.pixels, expected);
}

TEST(DdsDecode, OtherFormatsFailSilently) {
    Fixtures fixtures;
    std::string dxt1 = fixtures.make("x.dds", std::string(Fixtures::kOpaque) + " -define dds:compression=dxt1");
    ASSERT_EQ(dxt1.compare(84, 4, "DXT1"), 0);
    std::string dxt5 = fixtures.make("y.dds", std::string(Fixtures::kAlpha) + " -define dds:compression=dxt5");
    std::string notDds = dxt5;
    notDds[3] = 'X';
    for (const std::string& bytes : {dxt1, notDds, dxt5.substr(0, 127)}) {
        EXPECT_FALSE(decodeAs(K_IMAGE_DDS, bytes).ok);
        EXPECT_EQ(memoryLog(), "");
    }
}

TEST(DdsDecode, TruncatedOrHugeImagesFailWithALogLine) {
    Fixtures fixtures;
    std::string dds = fixtures.make("x.dds", std::string(Fixtures::kAlpha) +
                                                 " -define dds:compression=none -define dds:mipmaps=0");
    EXPECT_FALSE(decodeAs(K_IMAGE_DDS, dds.substr(0, dds.size() - 1)).ok);
    EXPECT_TRUE(logHas("DDS: file is too short, ERROR"));
    EXPECT_FALSE(decodeAs(K_IMAGE_DDS, dds.substr(0, dds.size() - 1), false).ok);
    std::string huge = dds;
    putLe32(huge, 12, 4096);
    putLe32(huge, 16, 4096);
    EXPECT_FALSE(decodeAs(K_IMAGE_DDS, huge).ok);
    EXPECT_TRUE(logHas("DDS: image of 4096x4096 pixels does not fit the pixel buffer, ERROR"));
}
