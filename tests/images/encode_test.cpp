#include "engine/images/image_buffer.h"
#include "image_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

using namespace glint;
using namespace glint::test;

namespace {

// The file image an encoder makes of the current buffer, or empty.
std::string encodeAs(int format, const KImageInfo& info, int quality = 90) {
    clearMemoryLog();
    uint8_t* output = nullptr;
    size_t size = 0;
    if (!imageHandlerForFormat(format)->encode(&output, &size, &info, quality))
        return {};
    std::unique_ptr<uint8_t[]> owned(output);
    return std::string(reinterpret_cast<char*>(output), size);
}

} // namespace

TEST(ImageEncode, BmpTgaAndPngReadBackUnchanged) {
    Fixtures fixtures;
    for (bool alpha : {true, false}) {
        SCOPED_TRACE(alpha);
        std::string png = fixtures.make("source.png", alpha ? Fixtures::kAlpha : Fixtures::kOpaque, "PNG32:");
        Decoded source = decodeAs(K_IMAGE_PNG, png);
        ASSERT_TRUE(source.ok);
        source.info.hasAlpha = alpha;
        std::string bmp = encodeAs(K_IMAGE_BMP, source.info);
        std::string tga = encodeAs(K_IMAGE_TGA, source.info);
        std::string encodedPng = encodeAs(K_IMAGE_PNG, source.info);
        ASSERT_FALSE(bmp.empty() || tga.empty() || encodedPng.empty());

        uint32_t bits = alpha ? 32 : 24;
        EXPECT_EQ(readLe32(bmp, 2), bmp.size());
        EXPECT_EQ(readLe32(bmp, 10), 54u);
        EXPECT_EQ(readLe32(bmp, 14), 40u);
        EXPECT_EQ(readLe32(bmp, 28) & 0xFFFF, bits);
        EXPECT_EQ(readLe32(bmp, 38), 2835u);
        EXPECT_EQ(bmp.size(), 54u + (alpha ? 13 * 4 : 40) * 7);
        EXPECT_EQ(tga[2], 2);
        EXPECT_EQ(static_cast<uint8_t>(tga[16]), bits);
        EXPECT_EQ(tga.size(), 18u + 13 * 7 * bits / 8);

        struct Encoded {
            int format;
            std::string name;
            const std::string* bytes;
        };
        for (const Encoded& encoded : {Encoded{K_IMAGE_BMP, "e.bmp", &bmp}, Encoded{K_IMAGE_TGA, "e.tga", &tga},
                                       Encoded{K_IMAGE_PNG, "e.png", &encodedPng}}) {
            SCOPED_TRACE(encoded.name);
            Decoded back = decodeAs(encoded.format, *encoded.bytes);
            ASSERT_TRUE(back.ok);
            EXPECT_EQ(back.info.hasAlpha, alpha);
            EXPECT_EQ(back.pixels, alpha ? source.pixels : opaque(source.pixels));
            // An independent reader sees the same colours in the same places.
            fixtures.write(encoded.name, *encoded.bytes);
            Pixels magick = fixtures.magickPixels(encoded.name);
            EXPECT_EQ(alpha ? magick : opaque(magick), alpha ? source.pixels : opaque(source.pixels));
        }
    }
}

TEST(ImageEncode, JpegKeepsColoursCloseAtTheGivenQuality) {
    Fixtures fixtures;
    std::string png = fixtures.make("source.png", "-seed 7 -size 32x24 plasma:fractal -depth 8 -blur 0x2", "PNG24:");
    Decoded source = decodeAs(K_IMAGE_PNG, png);
    ASSERT_TRUE(source.ok);
    std::string fine = encodeAs(K_IMAGE_JPG, source.info, 95);
    std::string coarse = encodeAs(K_IMAGE_JPG, source.info, 10);
    ASSERT_FALSE(fine.empty() || coarse.empty());
    EXPECT_LT(coarse.size(), fine.size());
    fixtures.write("fine.jpg", fine);
    Pixels magick = fixtures.magickPixels("fine.jpg");
    ASSERT_EQ(magick.size(), source.pixels.size());
    long total = 0;
    for (size_t i = 0; i < magick.size(); ++i) {
        for (int shift : {0, 8, 16})
            total += std::abs(static_cast<int>(magick[i] >> shift & 0xFF) - static_cast<int>(source.pixels[i] >> shift & 0xFF));
    }
    EXPECT_LT(static_cast<double>(total) / static_cast<double>(magick.size() * 3), 4.0);
}

TEST(ImageEncode, RefusalsSayWhy) {
    KImageInfo info{4, 4, 0, 1};
    KImageInfo blocks{4, 4, 1, 0};
    KImageInfo empty{0, 4, 0, 1};
    KImageInfo huge{5000, 1000, 0, 1};
    KImageInfo wide{70000, 1, 0, 1};
    struct Refusal {
        int format;
        KImageInfo info;
        std::string log;
    };
    const Refusal refusals[] = {
        {K_IMAGE_GIF, info, "GIF: encoding isn't supported"},
        {K_IMAGE_DDS, info, "DDS: encoding of DDS images is not supported yet"},
        {K_IMAGE_DDZ, info, "DDZ: encoding of DDZ images is not supported yet"},
        {K_IMAGE_BMP, blocks, "BMP: cannot encode compressed blocks, ERROR"},
        {K_IMAGE_PNG, empty, "PNG: cannot encode an empty image, ERROR"},
        {K_IMAGE_JPG, huge, "Jpeg: image of 5000x1000 pixels does not fit the pixel buffer, ERROR"},
        {K_IMAGE_BMP, wide, "BMP: cannot encode an image of 70000x1 pixels, ERROR"},
        {K_IMAGE_TGA, wide, "TGA: cannot encode an image of 70000x1 pixels, ERROR"},
    };
    for (const Refusal& refusal : refusals) {
        EXPECT_EQ(encodeAs(refusal.format, refusal.info), "") << refusal.log;
        EXPECT_TRUE(logHas(refusal.log)) << refusal.log << "\n" << memoryLog();
    }
}
