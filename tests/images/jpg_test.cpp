#include "image_test_support.h"

#include <gtest/gtest.h>

using namespace glint;
using namespace glint::test;

TEST(JpgDecode, MatchesWhatConvertReads) {
    struct Case {
        const char* name;
        std::string arguments;
    };
    const std::string source = "-seed 7 -size 21x13 plasma:fractal -depth 8";
    const Case cases[] = {
        {"colour", source + " -quality 90"},
        {"grey", source + " -colorspace gray"},
        {"progressive", source + " -interlace JPEG"},
        {"4:2:0", source + " -sampling-factor 2x2"},
    };
    Fixtures fixtures;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string jpg = fixtures.make("x.jpg", c.arguments);
        Decoded decoded = decodeAs(K_IMAGE_JPG, jpg);
        ASSERT_TRUE(decoded.ok) << memoryLog();
        EXPECT_EQ(decoded.info.width, 21u);
        EXPECT_EQ(decoded.info.height, 13u);
        EXPECT_FALSE(decoded.info.hasAlpha);
        EXPECT_EQ(decoded.info.isUncompressed, 1);
        EXPECT_EQ(decoded.pixels, fixtures.magickPixels("x.jpg"));
    }
}

TEST(JpgDecode, FourComponentsAreRefused) {
    Fixtures fixtures;
    std::string cmyk = fixtures.make("x.jpg", std::string(Fixtures::kOpaque) + " -colorspace CMYK");
    EXPECT_FALSE(decodeAs(K_IMAGE_JPG, cmyk).ok);
    EXPECT_TRUE(logHas("Jpeg: unsupported number of color components (4)")) << memoryLog();
}

TEST(JpgDecode, TruncatedDataEndsTheImageEarly) {
    Fixtures fixtures;
    std::string jpg = fixtures.make("x.jpg", "-seed 7 -size 64x64 plasma:fractal -depth 8");
    testing::internal::CaptureStderr();
    Decoded decoded = decodeAs(K_IMAGE_JPG, jpg.substr(0, jpg.size() * 2 / 3));
    std::string err = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(decoded.ok) << memoryLog();
    EXPECT_EQ(decoded.info.width, 64u);
    EXPECT_NE(err.find("jmem_src: fill_input_buffer: should not be called."), std::string::npos) << err;
    EXPECT_NE(memoryLog().find(": Jpeg: library warning: "), std::string::npos) << memoryLog();
}

TEST(JpgDecode, LibraryErrorsFailTheDecode) {
    Fixtures fixtures;
    std::string jpg = fixtures.make("x.jpg", Fixtures::kOpaque);
    std::string huge = jpg;
    size_t frame = huge.find("\xFF\xC0");
    ASSERT_NE(frame, std::string::npos);
    huge[frame + 5] = static_cast<char>(3000 >> 8); // height
    huge[frame + 6] = static_cast<char>(3000 & 0xFF);
    huge[frame + 7] = static_cast<char>(3000 >> 8); // width
    huge[frame + 8] = static_cast<char>(3000 & 0xFF);
    struct Failure {
        std::string jpg;
        std::string logPrefix;
    };
    const Failure failures[] = {
        {"not a jpeg", "Jpeg: library error: Not a JPEG file: starts with 0x6e 0x6f"},
        {"", "Jpeg: library error: "},
        {jpg.substr(0, 2), "Jpeg: library error: "},
        {huge, "Jpeg: image of 3000x3000 pixels does not fit the pixel buffer, ERROR"},
    };
    testing::internal::CaptureStderr();
    for (const Failure& failure : failures) {
        EXPECT_FALSE(decodeAs(K_IMAGE_JPG, failure.jpg).ok) << failure.logPrefix;
        EXPECT_NE(memoryLog().find(": " + failure.logPrefix), std::string::npos) << memoryLog();
    }
    testing::internal::GetCapturedStderr();
}
