#include "image_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace glint;
using namespace glint::test;

namespace {

bool logHasPrefix(const std::string& prefix) {
    return memoryLog().find(": " + prefix) != std::string::npos;
}

} // namespace

TEST(PngDecode, EveryColourTypeMatchesWhatConvertReads) {
    struct Case {
        const char* name;
        std::string arguments;
        std::string prefix;
        int depth;
        int colorType;
        bool hasAlpha;
    };
    const std::string opaque = Fixtures::kOpaque, alpha = Fixtures::kAlpha;
    const std::string plasma16 = "-seed 7 -size 13x7 plasma:fractal";
    const Case cases[] = {
        {"grey", opaque + " -colorspace gray", "", 8, 0, false},
        {"grey 4-bit", opaque + " -colorspace gray -depth 4", "", 4, 0, false},
        {"grey 1-bit", opaque + " -colorspace gray -depth 1", "", 1, 0, false},
        {"grey with tRNS", opaque + " -colorspace gray -fill black -draw 'point 1,1' -transparent black", "", 8, 0, true},
        {"grey with alpha", alpha + " -colorspace gray", "", 8, 4, true},
        {"grey with alpha 16-bit", plasma16 + " -colorspace gray -alpha set -channel A -fx 'i/12' +channel", "", 16,
         4, true},
        {"palette", opaque + " +dither -colors 50", "PNG8:", 8, 3, false},
        {"palette with tRNS", alpha + " -channel A -threshold 50% +channel", "PNG8:", 8, 3, true},
        {"RGB", opaque, "PNG24:", 8, 2, false},
        {"RGBA", alpha, "PNG32:", 8, 6, true},
        {"RGBA interlaced", alpha + " -interlace PNG", "PNG32:", 8, 6, true},
        {"RGB 16-bit", plasma16, "PNG48:", 16, 2, false},
        {"RGBA 16-bit", plasma16 + " -alpha set -channel A -fx 'i/12' +channel", "PNG64:", 16, 6, true},
    };
    Fixtures fixtures;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string png = fixtures.make("x.png", c.arguments, c.prefix);
        ASSERT_GT(png.size(), 26u);
        ASSERT_EQ(png[24], c.depth);
        ASSERT_EQ(png[25], c.colorType);
        Decoded decoded = decodeAs(K_IMAGE_PNG, png);
        ASSERT_TRUE(decoded.ok) << memoryLog();
        EXPECT_EQ(decoded.info.width, 13u);
        EXPECT_EQ(decoded.info.height, 7u);
        EXPECT_EQ(decoded.info.hasAlpha, c.hasAlpha);
        EXPECT_EQ(decoded.info.isUncompressed, 1);
        // 16-bit samples are cut to their high byte.
        Pixels expected = c.depth == 16 ? fixtures.magickHighBytes("x.png") : fixtures.magickPixels("x.png");
        EXPECT_EQ(decoded.pixels, expected);
    }
}

TEST(PngDecode, CgbiVariantIsUnpremultipliedAndReordered) {
    Fixtures fixtures;
    fixtures.make("a.png", Fixtures::kAlpha, "PNG32:");
    Pixels original = fixtures.magickPixels("a.png");
    Decoded decoded = decodeAs(K_IMAGE_PNG, cgbiPng(original, 13, 7, true));
    ASSERT_TRUE(decoded.ok) << memoryLog();
    EXPECT_TRUE(decoded.info.hasAlpha);
    ASSERT_EQ(decoded.pixels.size(), original.size());
    bool sawZeroAlpha = false, sawPartialAlpha = false;
    for (size_t i = 0; i < original.size(); ++i) {
        uint32_t alpha = original[i] >> 24;
        ASSERT_EQ(decoded.pixels[i] >> 24, alpha) << i;
        if (alpha == 0) {
            sawZeroAlpha = true;
            EXPECT_EQ(decoded.pixels[i], 0u) << i; // premultiplied colour is gone
            continue;
        }
        sawPartialAlpha |= alpha != 255;
        // Premultiplying rounds; dividing back is exact up to 255 / alpha.
        int tolerance = static_cast<int>(128 / alpha) + 1;
        for (int shift : {0, 8, 16}) {
            int want = static_cast<int>(original[i] >> shift & 0xFF), got = static_cast<int>(decoded.pixels[i] >> shift & 0xFF);
            EXPECT_LE(std::abs(want - got), tolerance) << i << " shift " << shift;
        }
    }
    EXPECT_TRUE(sawZeroAlpha && sawPartialAlpha);

    fixtures.make("o.png", Fixtures::kOpaque, "PNG24:");
    Pixels opaquePixels = fixtures.magickPixels("o.png");
    decoded = decodeAs(K_IMAGE_PNG, cgbiPng(opaquePixels, 13, 7, false));
    ASSERT_TRUE(decoded.ok) << memoryLog();
    EXPECT_FALSE(decoded.info.hasAlpha);
    EXPECT_EQ(decoded.pixels, opaquePixels);
}

TEST(PngDecode, DamagedCgbiDataFails) {
    Pixels pixels(4, 0x80402010);
    std::string png = cgbiPng(pixels, 2, 2, true);
    size_t idat = findPngChunk(png, "IDAT");
    ASSERT_NE(idat, std::string::npos);
    std::string broken = png;
    broken.replace(idat + 8, 4, "\xFF\xFF\xFF\xFF");
    EXPECT_FALSE(decodeAs(K_IMAGE_PNG, broken).ok);
    EXPECT_TRUE(logHas("PNG: damaged CgBI image (broken image data), ERROR")) << memoryLog();

    EXPECT_FALSE(decodeAs(K_IMAGE_PNG, png.substr(0, idat + 6)).ok);
    EXPECT_TRUE(logHas("PNG: damaged CgBI image (chunk runs past the end), ERROR")) << memoryLog();
}

TEST(PngDecode, LibraryErrorsAndWarningsAreLogged) {
    Fixtures fixtures;
    std::string png = fixtures.make("x.png", Fixtures::kOpaque, "PNG24:");
    EXPECT_FALSE(decodeAs(K_IMAGE_PNG, png.substr(0, png.size() / 2)).ok);
    EXPECT_TRUE(logHasPrefix("PNG: library error: ")) << memoryLog();
    EXPECT_FALSE(decodeAs(K_IMAGE_PNG, "GIF89a not a png at all").ok);
    EXPECT_TRUE(logHasPrefix("PNG: library error: ")) << memoryLog();
    EXPECT_FALSE(decodeAs(K_IMAGE_PNG, "").ok);

    // A damaged ancillary chunk is only a warning.
    size_t text = findPngChunk(png, "gAMA");
    ASSERT_NE(text, std::string::npos);
    std::string damagedText = png;
    damagedText[text + 8] ^= 0x55;
    Decoded decoded = decodeAs(K_IMAGE_PNG, damagedText);
    EXPECT_TRUE(decoded.ok);
    EXPECT_TRUE(logHasPrefix("PNG: library warning: ")) << memoryLog();
}

TEST(PngDecode, ImagesLargerThanTheBufferFail) {
    Fixtures fixtures;
    std::string png = fixtures.make("x.png", Fixtures::kOpaque, "PNG24:");
    std::string header = be32(3000) + be32(3000) + png.substr(24, 5);
    std::string huge = png.substr(0, 8) + pngChunk("IHDR", header) + png.substr(33);
    EXPECT_FALSE(decodeAs(K_IMAGE_PNG, huge).ok);
    EXPECT_TRUE(logHas("PNG: image of 3000x3000 pixels does not fit the pixel buffer, ERROR")) << memoryLog();
}
