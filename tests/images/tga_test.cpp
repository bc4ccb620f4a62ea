#include "image_test_support.h"

#include <gtest/gtest.h>

using namespace glint;
using namespace glint::test;

namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int value : values)
        out += static_cast<char>(value);
    return out;
}

// An 18-byte header without an ID field.
std::string tgaHeader(int mapType, int imageType, int mapLength, int mapBits, int width, int height, int depth,
                      int descriptor) {
    return bytes({0, mapType, imageType}) + le16(0) + le16(static_cast<uint32_t>(mapLength)) +
           bytes({mapBits}) + le16(0) + le16(0) + le16(static_cast<uint32_t>(width)) +
           le16(static_cast<uint32_t>(height)) + bytes({depth, descriptor});
}

// A copy of an uncompressed 24-bit TGA (no ID, no map) with its rows or its
// columns stored in the other order, as the descriptor then says.
std::string reordered(const std::string& tga, bool flipRows, bool flipColumns) {
    int width = static_cast<uint8_t>(tga[12]) | static_cast<uint8_t>(tga[13]) << 8;
    int height = static_cast<uint8_t>(tga[14]) | static_cast<uint8_t>(tga[15]) << 8;
    std::string out = tga;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int fromY = flipRows ? height - 1 - y : y, fromX = flipColumns ? width - 1 - x : x;
            out.replace(18 + (y * width + x) * 3, 3, tga, 18 + (fromY * width + fromX) * 3, 3);
        }
    }
    out[17] = static_cast<char>(tga[17] ^ (flipRows ? 0x20 : 0) ^ (flipColumns ? 0x10 : 0));
    return out;
}

} // namespace

TEST(TgaDecode, MatchesWhatConvertReads) {
    struct Case {
        const char* name;
        std::string arguments;
        int imageType;
        int depth;
        bool hasAlpha;
    };
    const std::string source = Fixtures::kOpaque;
    const Case cases[] = {
        {"24-bit", source + " -type truecolor", 2, 24, false},
        {"24-bit RLE", source + " -type truecolor -compress RLE", 10, 24, false},
        {"32-bit", Fixtures::kAlpha, 2, 32, true},
        {"32-bit RLE", std::string(Fixtures::kAlpha) + " -compress RLE", 10, 32, true},
        {"colour-mapped", source + " +dither -colors 13 -type palette", 1, 8, false},
        {"colour-mapped RLE", source + " +dither -colors 13 -type palette -compress RLE", 9, 8, false},
        {"grey", source + " -colorspace gray", 3, 8, false},
    };
    Fixtures fixtures;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string tga = fixtures.make("x.tga", c.arguments);
        ASSERT_EQ(tga.size() > 17 ? static_cast<uint8_t>(tga[2]) : 0, c.imageType);
        ASSERT_EQ(static_cast<uint8_t>(tga[16]), c.depth);
        Decoded decoded = decodeAs(K_IMAGE_TGA, tga);
        ASSERT_TRUE(decoded.ok) << memoryLog();
        EXPECT_EQ(decoded.info.width, 13u);
        EXPECT_EQ(decoded.info.height, 7u);
        EXPECT_EQ(decoded.info.hasAlpha, c.hasAlpha);
        EXPECT_EQ(decoded.pixels, fixtures.magickPixels("x.tga"));
    }
}

TEST(TgaDecode, RowAndColumnOrderDoNotChangeTheBuffer) {
    Fixtures fixtures;
    std::string tga = fixtures.make("x.tga", std::string(Fixtures::kOpaque) + " -type truecolor");
    ASSERT_EQ(tga[17], 0); // bottom-up, left to right
    Decoded plain = decodeAs(K_IMAGE_TGA, tga);
    ASSERT_TRUE(plain.ok);
    for (auto [rows, columns] : {std::pair{true, false}, {false, true}, {true, true}}) {
        Decoded other = decodeAs(K_IMAGE_TGA, reordered(tga, rows, columns));
        ASSERT_TRUE(other.ok);
        EXPECT_EQ(other.pixels, plain.pixels) << rows << columns;
    }
}

TEST(TgaDecode, SixteenBitPixelsAreFiveFiveFive) {
    // 2 x 1 top-down: pure red and a mix, with bit 15 set on the second.
    std::string tga = tgaHeader(0, 2, 0, 0, 2, 1, 16, 0x20) + le16(31 << 10) + le16(0x8000 | 1 << 10 | 2 << 5 | 3);
    Decoded decoded = decodeAs(K_IMAGE_TGA, tga);
    ASSERT_TRUE(decoded.ok);
    EXPECT_FALSE(decoded.info.hasAlpha);
    EXPECT_EQ(decoded.pixels, (Pixels{0xFFF80000, 0xFF081018}));
}

TEST(TgaDecode, LongColourMapsSkipPastTheirEnd) {
    // 300 entries: entry i is (B, G, R) = (i, 1, 2) for the first 256.
    std::string map;
    for (int i = 0; i < 300; ++i)
        map += bytes({i & 0xFF, 1, 2});
    std::string tga = tgaHeader(1, 1, 300, 24, 2, 1, 8, 0x20) + map + bytes({255, 7});
    Decoded decoded = decodeAs(K_IMAGE_TGA, tga);
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.pixels, (Pixels{0xFF0201FF, 0xFF020107}));
}

TEST(TgaDecode, EmptyImagesSucceedWithNothing) {
    Decoded decoded = decodeAs(K_IMAGE_TGA, tgaHeader(0, 2, 0, 0, 0, 5, 24, 0));
    EXPECT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.info.width, 0u);
    EXPECT_EQ(decoded.info.height, 5u);
}

TEST(TgaDecode, FailuresSayWhy) {
    std::string pixel = bytes({1, 2, 3});
    std::string withId = tgaHeader(0, 2, 0, 0, 1, 1, 24, 0) + pixel;
    withId[0] = 10;
    struct Failure {
        std::string tga;
        std::string log;
    };
    const Failure failures[] = {
        {std::string(17, '\0'), "TGA: file is too short"},
        {withId, "TGA: file is too short"},
        {tgaHeader(1, 1, 4, 24, 1, 1, 8, 0) + bytes({1, 2, 3}), "TGA: file is too short"},
        {tgaHeader(1, 1, 1, 16, 1, 1, 8, 0) + bytes({1, 2, 0}), "TGA: unsupported color map entry size of 16 bits"},
        {tgaHeader(0, 2, 0, 0, 1, 1, 12, 0) + pixel, "TGA: unsupported pixel depth of 12"},
        {tgaHeader(0, 2, 0, 0, 2, 1, 24, 0) + pixel, "TGA: file is too short"},
        {tgaHeader(0, 10, 0, 0, 2, 2, 24, 0) + bytes({0x82}) + pixel,
         "TGA: decompressing past the end of the current scanline at 0,0; length was 3"},
        {tgaHeader(0, 10, 0, 0, 2, 2, 24, 0) + bytes({0x81}) + pixel + bytes({0x01}) + pixel,
         "TGA: end of file met while decompressing"},
        {tgaHeader(0, 10, 0, 0, 2, 2, 24, 0) + bytes({0x81}) + pixel + bytes({0x80, 1}),
         "TGA: end of file met while decompressing"},
        {tgaHeader(0, 10, 0, 0, 3, 2, 24, 0) + bytes({0x81}) + pixel + bytes({0x81}),
         "TGA: decompressing past the end of the current scanline at 2,0; length was 2"},
        {tgaHeader(0, 2, 0, 0, 4096, 1025, 24, 0), "TGA: image of 4096x1025 pixels does not fit the pixel buffer, ERROR"},
    };
    for (const Failure& failure : failures) {
        EXPECT_FALSE(decodeAs(K_IMAGE_TGA, failure.tga).ok) << failure.log;
        EXPECT_TRUE(logHas(failure.log)) << failure.log << "\n" << memoryLog();
    }
}
