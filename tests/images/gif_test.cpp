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

// A GIF89a with a 4-entry global table (black, red, green, blue), then the
// given blocks and a trailer.
std::string handMadeGif(int screenWidth, int screenHeight, int background, const std::string& blocks) {
    return "GIF89a" + le16(static_cast<uint32_t>(screenWidth)) + le16(static_cast<uint32_t>(screenHeight)) +
           bytes({0x81, background, 0}) + bytes({0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255}) + blocks + ";";
}

std::string imageBlock(int left, int top, int width, int height, const std::string& data) {
    std::string block(1, ',');
    for (int field : {left, top, width, height})
        block += le16(static_cast<uint32_t>(field));
    return block + bytes({0}) + data;
}

constexpr uint32_t kBlack = 0xFF000000, kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;

} // namespace

TEST(GifDecode, MatchesWhatConvertReadsInterlacedOrNot) {
    Fixtures fixtures;
    const std::string source = "-seed 7 -size 13x20 plasma:fractal -depth 8 +dither -colors 100";
    std::string plain = fixtures.make("plain.gif", source);
    std::string interlaced = fixtures.make("interlaced.gif", source + " -interlace GIF");
    ASSERT_FALSE(plain.empty() || interlaced.empty());
    Pixels expected = fixtures.magickPixels("plain.gif");
    ASSERT_EQ(fixtures.magickPixels("interlaced.gif"), expected);
    for (const std::string* gif : {&plain, &interlaced}) {
        Decoded decoded = decodeAs(K_IMAGE_GIF, *gif);
        ASSERT_TRUE(decoded.ok) << memoryLog();
        EXPECT_EQ(decoded.info.width, 13u);
        EXPECT_EQ(decoded.info.height, 20u);
        EXPECT_FALSE(decoded.info.hasAlpha);
        EXPECT_EQ(decoded.info.isUncompressed, 1);
        EXPECT_EQ(decoded.pixels, expected);
    }
    EXPECT_NE(plain, interlaced);
}

TEST(GifDecode, TransparencyIsNotAppliedAndExtensionsAreSkipped) {
    Fixtures fixtures;
    // A comment extension and a graphic control extension naming a
    // transparent colour precede the image.
    std::string gif = fixtures.make("t.gif", std::string(Fixtures::kOpaque) +
                                                 " -alpha set -channel A -fx 'i<4?0:1' +channel +dither -colors 32 -set comment hello");
    std::string opaqueGif = fixtures.make("o.gif", std::string(Fixtures::kOpaque) + " +dither -colors 32 -set comment hello");
    ASSERT_NE(gif.find("\x21\xF9", 13), std::string::npos);
    ASSERT_NE(gif.find("\x21\xFE", 13), std::string::npos);
    Decoded decoded = decodeAs(K_IMAGE_GIF, gif);
    ASSERT_TRUE(decoded.ok) << memoryLog();
    EXPECT_FALSE(decoded.info.hasAlpha);
    Pixels magick = fixtures.magickPixels("t.gif");
    size_t transparent = 0;
    for (size_t i = 0; i < magick.size(); ++i) {
        EXPECT_EQ(decoded.pixels[i] >> 24, 0xFFu);
        if (magick[i] >> 24 == 0xFF)
            EXPECT_EQ(decoded.pixels[i], magick[i]) << i;
        else
            ++transparent;
    }
    EXPECT_GT(transparent, 0u) << "the fixture has no transparent pixel";
    Decoded plain = decodeAs(K_IMAGE_GIF, opaqueGif);
    ASSERT_TRUE(plain.ok);
    EXPECT_EQ(plain.pixels, fixtures.magickPixels("o.gif"));
}

TEST(GifDecode, ImageSitsOnTheBackgroundOfItsCanvas) {
    // One 2 x 2 image at (1, 1): green, blue / blue, green with m = 2:
    // clear, 2, 3, 3, 2, end (3-bit codes, then 4-bit from the 4th code on).
    std::string data = bytes({2, 3, 0xD4, 0x26, 0x05, 0});
    std::string gif = handMadeGif(3, 3, 1, imageBlock(1, 1, 2, 2, data));
    Decoded decoded = decodeAs(K_IMAGE_GIF, gif);
    ASSERT_TRUE(decoded.ok) << memoryLog();
    EXPECT_EQ(decoded.info.width, 3u);
    EXPECT_EQ(decoded.info.height, 3u);
    EXPECT_EQ(decoded.pixels, (Pixels{kRed, kRed, kRed, kRed, kGreen, kBlue, kRed, kBlue, kGreen}));

    // An image reaching past the logical screen widens and heightens the canvas.
    gif = handMadeGif(1, 1, 0, imageBlock(1, 1, 2, 2, data));
    decoded = decodeAs(K_IMAGE_GIF, gif);
    ASSERT_TRUE(decoded.ok) << memoryLog();
    EXPECT_EQ(decoded.info.width, 3u);
    EXPECT_EQ(decoded.info.height, 3u);
    EXPECT_EQ(decoded.pixels, (Pixels{kBlack, kBlack, kBlack, kBlack, kGreen, kBlue, kBlack, kBlue, kGreen}));
}

TEST(GifDecode, BrokenLzwDataKeepsThePixelsSoFar) {
    // 3 x 1, m = 2: clear, 1, then 7 while the next free code is 6.
    std::string gif = handMadeGif(3, 1, 3, imageBlock(0, 0, 3, 1, bytes({2, 2, 0xCC, 0x01, 0})));
    Decoded decoded = decodeAs(K_IMAGE_GIF, gif);
    ASSERT_TRUE(decoded.ok);
    EXPECT_TRUE(logHas("GIF: invalid LZW code"));
    EXPECT_EQ(decoded.pixels, (Pixels{kRed, kBlue, kBlue}));

    // Data that ends before the image is full.
    gif = handMadeGif(3, 1, 3, imageBlock(0, 0, 3, 1, bytes({2, 1, 0x0C, 0})));
    decoded = decodeAs(K_IMAGE_GIF, gif);
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.pixels, (Pixels{kRed, kBlue, kBlue}));

    // A minimum code size that no table can hold.
    gif = handMadeGif(3, 1, 3, imageBlock(0, 0, 3, 1, bytes({12, 1, 0, 0})));
    decoded = decodeAs(K_IMAGE_GIF, gif);
    ASSERT_TRUE(decoded.ok);
    EXPECT_TRUE(logHas("GIF: invalid LZW minimum code size 12, ERROR"));
}

TEST(GifDecode, FailuresSayWhy) {
    std::string image = imageBlock(0, 0, 1, 1, bytes({2, 1, 0x0C, 0}));
    std::string complete = handMadeGif(1, 1, 0, image);
    ASSERT_TRUE(decodeAs(K_IMAGE_GIF, complete).ok);
    struct Failure {
        std::string gif;
        std::string log;
    };
    const Failure failures[] = {
        {"GIF89a", "GIF: not a GIF file, ERROR"},
        {std::string("PNG89a") + complete.substr(6), "GIF: not a GIF file, ERROR"},
        {complete.substr(0, 20), "GIF: file is too short, ERROR"},
        {handMadeGif(1, 1, 0, ""), "GIF: no image in file, ERROR"},
        {handMadeGif(1, 1, 0, std::string("!") + bytes({0xF9, 4, 1, 0, 0, 0, 0})), "GIF: no image in file, ERROR"},
        {handMadeGif(1, 1, 0, "x" + image), "GIF: unknown block 0x78, ERROR"},
        {handMadeGif(1, 1, 0, ","), "GIF: file is too short, ERROR"},
        {handMadeGif(4000, 2000, 0, image), "GIF: image of 4000x2000 pixels does not fit the pixel buffer, ERROR"},
    };
    for (const Failure& failure : failures) {
        EXPECT_FALSE(decodeAs(K_IMAGE_GIF, failure.gif).ok) << failure.log;
        EXPECT_TRUE(logHas(failure.log)) << failure.log << "\n" << memoryLog();
    }
}
