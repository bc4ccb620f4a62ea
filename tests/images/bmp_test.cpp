#include "engine/images/image_buffer.h"
#include "image_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace glint;
using namespace glint::test;

namespace {

struct BmpCase {
    const char* name;
    std::string arguments; // convert options before the output name
    std::string prefix;    // output format prefix such as "BMP2:"
    uint32_t headerSize;
    int bits;
    uint32_t compression;
    bool hasAlpha;
    uint32_t compareMask; // bits of each pixel that the format keeps
};

std::string opaqueSource(const std::string& more) {
    return std::string(Fixtures::kOpaque) + " " + more;
}

// The 32-bit forms keep alpha; convert misreads its own 32-bit BI_RGB files,
// so those are checked against the source picture instead.
const BmpCase bmpCases[] = {
    {"1-bit", opaqueSource("+dither -colors 2 -type palette"), "", 124, 1, 0, false, 0xFFFFFFFF},
    {"4-bit", opaqueSource("+dither -colors 16 -type palette"), "", 124, 4, 0, false, 0xFFFFFFFF},
    {"8-bit", opaqueSource("+dither -colors 200 -type palette -compress None"), "", 124, 8, 0, false, 0xFFFFFFFF},
    {"24-bit", opaqueSource("-type truecolor"), "", 124, 24, 0, false, 0xFFFFFFFF},
    {"RLE8", opaqueSource("+dither -colors 200 -compress RLE"), "", 124, 8, 1, false, 0xFFFFFFFF},
    {"OS/2 24-bit", opaqueSource("-type truecolor"), "BMP2:", 12, 24, 0, false, 0xFFFFFFFF},
    {"OS/2 4-bit", opaqueSource("+dither -colors 16 -type palette"), "BMP2:", 12, 4, 0, false, 0xFFFFFFFF},
    {"bitfields 5-6-5", opaqueSource("-define bmp:subtype=RGB565"), "", 124, 16, 3, false, 0xFFF8FCF8},
    {"bitfields 5-5-5", opaqueSource("-define bmp:subtype=RGB555"), "", 124, 16, 3, false, 0xFFF8F8F8},
    {"bitfields 32-bit alpha", Fixtures::kAlpha, "", 124, 32, 3, true, 0xFFFFFFFF},
    {"32-bit BI_RGB", std::string(Fixtures::kAlpha) + " -define bmp3:alpha=true", "BMP3:", 40, 32, 0, true, 0xFFFFFFFF},
};

Pixels masked(Pixels pixels, uint32_t mask) {
    for (uint32_t& pixel : pixels)
        pixel &= mask;
    return pixels;
}

// The same file with its rows stored top-down (negative height).
std::string topDown(std::string bmp) {
    int32_t height = static_cast<int32_t>(readLe32(bmp, 22));
    uint32_t width = readLe32(bmp, 18), bits = readLe32(bmp, 28) & 0xFFFF;
    size_t offset = readLe32(bmp, 10), rowBytes = (width * bits + 31) / 32 * 4;
    std::string flipped = bmp;
    for (int32_t row = 0; row < height; ++row)
        flipped.replace(offset + row * rowBytes, rowBytes, bmp, offset + (height - 1 - row) * rowBytes, rowBytes);
    putLe32(flipped, 22, static_cast<uint32_t>(-height));
    return flipped;
}

// A bitmap with a 40-byte header, the given palette entries (B, G, R, A)
// and pixel data.
std::string handMadeBmp(int32_t width, int32_t height, int bits, uint32_t compression,
                        const std::vector<uint32_t>& palette, const std::string& data) {
    std::string header = "BM" + le32(0) + le32(0) + le32(54 + static_cast<uint32_t>(palette.size()) * 4);
    header += le32(40) + le32(static_cast<uint32_t>(width)) + le32(static_cast<uint32_t>(height)) + le16(1) +
              le16(static_cast<uint32_t>(bits)) + le32(compression) + le32(0) + le32(2835) + le32(2835) +
              le32(static_cast<uint32_t>(palette.size())) + le32(0);
    for (uint32_t entry : palette)
        header += le32(entry);
    std::string bmp = header + data;
    putLe32(bmp, 2, static_cast<uint32_t>(bmp.size()));
    return bmp;
}

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int value : values)
        out += static_cast<char>(value);
    return out;
}

} // namespace

TEST(BmpDecode, MatchesWhatConvertReads) {
    Fixtures fixtures;
    fixtures.make("alpha.png", Fixtures::kAlpha);
    Pixels alphaSource = fixtures.magickPixels("alpha.png");
    for (const BmpCase& c : bmpCases) {
        SCOPED_TRACE(c.name);
        std::string bmp = fixtures.make("x.bmp", c.arguments, c.prefix);
        ASSERT_FALSE(bmp.empty());
        // The fixture really is the variant under test.
        ASSERT_EQ(readLe32(bmp, 14), c.headerSize);
        ASSERT_EQ(static_cast<uint8_t>(bmp[c.headerSize == 12 ? 24 : 28]), c.bits);
        if (c.headerSize != 12) {
            ASSERT_EQ(readLe32(bmp, 30), c.compression);
        }

        Decoded decoded = decodeAs(K_IMAGE_BMP, bmp);
        ASSERT_TRUE(decoded.ok) << memoryLog();
        EXPECT_EQ(decoded.info.width, 13u);
        EXPECT_EQ(decoded.info.height, 7u);
        EXPECT_EQ(decoded.info.hasAlpha, c.hasAlpha);
        EXPECT_EQ(decoded.info.isUncompressed, 1);
        Pixels expected = c.bits == 32 ? alphaSource : fixtures.magickPixels("x.bmp");
        EXPECT_EQ(masked(decoded.pixels, c.compareMask), masked(expected, c.compareMask));
    }
}

TEST(BmpDecode, TopDownRowsGiveTheSameBuffer) {
    Fixtures fixtures;
    for (const char* arguments : {"-type truecolor", "+dither -colors 16 -type palette"}) {
        std::string bmp = fixtures.make("x.bmp", opaqueSource(arguments));
        Decoded bottomUp = decodeAs(K_IMAGE_BMP, bmp);
        Decoded flipped = decodeAs(K_IMAGE_BMP, topDown(bmp));
        ASSERT_TRUE(bottomUp.ok && flipped.ok) << arguments;
        EXPECT_EQ(flipped.info.height, 7u);
        EXPECT_EQ(flipped.pixels, bottomUp.pixels) << arguments;
    }
}

TEST(BmpDecode, RunLengthEscapesAndGaps) {
    // Palette entry 0 has a reserved byte of 0x44: skipped pixels keep it as alpha.
    const std::vector<uint32_t> palette = {0x44030201, 0x00A0B0C0, 0x00102030};
    const uint32_t gap = 0x44030201, one = 0xFFA0B0C0, two = 0xFF102030;
    // 4 x 3, bottom row first: a run of 2, a delta of (1, 0), one pixel, end
    // of line; a run of 6 that wraps into the top row; a 3-pixel literal
    // (padded to 4 bytes); end of bitmap.
    std::string rle8 = bytes({2, 1, 0, 2, 1, 0, 1, 2, 0, 0, 6, 2, 0, 3, 1, 2, 1, 0, 0, 1});
    Decoded decoded = decodeAs(K_IMAGE_BMP, handMadeBmp(4, 3, 8, 1, palette, rle8));
    ASSERT_TRUE(decoded.ok) << memoryLog();
    EXPECT_FALSE(decoded.info.hasAlpha);
    EXPECT_EQ(decoded.pixels, (Pixels{two, two, one, two, two, two, two, two, one, one, gap, two}));

    // RLE4: runs alternate the two nibbles, high first; literals are nibbles.
    std::string rle4 = bytes({5, 0x12, 0, 0, 0, 3, 0x21, 0x20, 0, 1});
    decoded = decodeAs(K_IMAGE_BMP, handMadeBmp(5, 2, 4, 2, palette, rle4));
    ASSERT_TRUE(decoded.ok) << memoryLog();
    EXPECT_EQ(decoded.pixels, (Pixels{two, one, two, gap, gap, one, two, one, two, one}));

    // A row run on to its padded length and then ended restarts the row it
    // ran into, as encoders that pad every row expect.
    decoded = decodeAs(K_IMAGE_BMP, handMadeBmp(2, 2, 8, 1, palette, bytes({3, 1, 0, 0, 2, 2, 0, 1})));
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.pixels, (Pixels{two, two, one, one}));

    // A stream that simply ends, or moves past the last row, stops there.
    decoded = decodeAs(K_IMAGE_BMP, handMadeBmp(2, 2, 8, 1, palette, bytes({1, 1, 0, 2, 0, 9, 4, 2})));
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.pixels, (Pixels{gap, gap, one, gap}));
}

TEST(BmpDecode, Rle4MatchesTheUncompressedPicture) {
    Fixtures fixtures;
    std::string plain = fixtures.make("x.bmp", opaqueSource("+dither -colors 16 -type palette"));
    ASSERT_EQ(readLe32(plain, 28) & 0xFFFF, 4u);
    // Re-encode each row as one literal of 13 nibbles (padded to 8 bytes)
    // and an end of line; convert itself cannot write RLE4.
    size_t offset = readLe32(plain, 10);
    std::string stream;
    for (size_t row = 0; row < 7; ++row) {
        stream += bytes({0, 13});
        stream += plain.substr(offset + row * 8, 7) + std::string(1, '\0');
        stream += bytes({0, 0});
    }
    stream += bytes({0, 1});
    std::string rle = plain.substr(0, offset) + stream;
    putLe32(rle, 30, 2);
    Decoded decoded = decodeAs(K_IMAGE_BMP, rle);
    ASSERT_TRUE(decoded.ok) << memoryLog();
    EXPECT_EQ(decoded.pixels, fixtures.magickPixels("x.bmp"));
}

TEST(BmpDecode, SixteenBitsWithoutBitfieldsAreFiveFiveFive) {
    Fixtures fixtures;
    std::string bmp = fixtures.make("x.bmp", opaqueSource("-define bmp:subtype=RGB555"));
    Pixels expected = masked(fixtures.magickPixels("x.bmp"), 0xFFF8F8F8);
    putLe32(bmp, 30, 0);
    Decoded decoded = decodeAs(K_IMAGE_BMP, bmp);
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.pixels, expected);
}

TEST(BmpDecode, OtherBitfieldMasksScaleEachFieldToItsByte) {
    // The masks follow the 40-byte header, where handMadeBmp puts a palette.
    std::string rgb444 = handMadeBmp(2, 1, 16, 3, {0x0F00, 0x00F0, 0x000F}, le16(0x0F84) + le16(0x0123));
    Decoded decoded = decodeAs(K_IMAGE_BMP, rgb444);
    ASSERT_TRUE(decoded.ok);
    EXPECT_FALSE(decoded.info.hasAlpha);
    EXPECT_EQ(decoded.pixels, (Pixels{0xFFF08040, 0xFF102030}));

    std::string bgr = handMadeBmp(1, 1, 32, 3, {0x000000FF, 0x0000FF00, 0x00FF0000}, le32(0x80112233));
    decoded = decodeAs(K_IMAGE_BMP, bgr);
    ASSERT_TRUE(decoded.ok);
    EXPECT_FALSE(decoded.info.hasAlpha);
    EXPECT_EQ(decoded.pixels, (Pixels{0xFF332211}));

    // Red in the top byte: the listed 8-8-8 form that drops the low byte.
    std::string high = handMadeBmp(1, 1, 32, 3, {0xFF000000, 0x00FF0000, 0x0000FF00}, le32(0x112233AA));
    decoded = decodeAs(K_IMAGE_BMP, high);
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.pixels, (Pixels{0xFF112233}));
}

TEST(BmpDecode, PaletteMayRunPastTheEndOfTheFile) {
    // Two entries stored: an 8-bit image reads 256, the rest are not there.
    std::string bmp = handMadeBmp(2, 1, 8, 0, {0x00112233, 0x00445566}, bytes({1, 0, 0, 0}));
    Decoded decoded = decodeAs(K_IMAGE_BMP, bmp);
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.pixels, (Pixels{0xFF445566, 0xFF112233}));
}

TEST(BmpDecode, FailuresSayWhy) {
    Fixtures fixtures;
    std::string truecolor = fixtures.make("x.bmp", opaqueSource("-type truecolor"));
    auto with = [&](size_t offset, uint32_t bits, uint32_t compression) {
        std::string bmp = truecolor;
        putLe16(bmp, offset, bits);
        putLe32(bmp, 30, compression);
        return bmp;
    };
    std::string wide = truecolor;
    putLe32(wide, 18, 3000);
    putLe32(wide, 22, static_cast<uint32_t>(-3000));
    std::string shortHeader = truecolor;
    putLe32(shortHeader, 14, 20);
    struct Failure {
        std::string bmp;
        std::string log;
    };
    const Failure failures[] = {
        {with(28, 7, 0), "BMP: unsupported bit depth of 7 for uncompressed data"},
        {with(28, 24, 1), "BMP: unsupported bit depth of 24 for RLE8 method"},
        {with(28, 8, 2), "BMP: unsupported bit depth of 8 for RLE4 method"},
        {with(28, 24, 3), "BMP: unsupported bit depth of 24 for bitfields method"},
        {with(28, 24, 4), "BMP: unsupported compression method 4"},
        {shortHeader, "BMP: unsupported header size of 20, ERROR"},
        {"BA" + truecolor.substr(2), "BMP: not a BMP file, ERROR"},
        {truecolor.substr(0, 13), "BMP: not a BMP file, ERROR"},
        {truecolor.substr(0, 40), "BMP: file is too short, ERROR"},
        {truecolor.substr(0, truecolor.size() - 1), "BMP: file is too short, ERROR"},
        {wide, "BMP: image of 3000x3000 pixels does not fit the pixel buffer, ERROR"},
    };
    for (const Failure& failure : failures) {
        EXPECT_FALSE(decodeAs(K_IMAGE_BMP, failure.bmp).ok) << failure.log;
        EXPECT_TRUE(logHas(failure.log)) << memoryLog();
    }
}
