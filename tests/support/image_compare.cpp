#include "support/image_compare.h"

#include "engine/images/image_buffer.h"
#include "engine/images/image_handler.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace glint::test {

bool channelsNear(uint32_t a, uint32_t b, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8) {
        int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (d < -tolerance || d > tolerance)
            return false;
    }
    return true;
}

namespace {

bool writing() {
    const char* write = std::getenv("GLINT_WRITE_EXPECTED");
    return write && std::string(write) == "1";
}

void writePng(int width, int height, const std::vector<uint32_t>& pixels, const std::string& path) {
    for (size_t i = 0; i < pixels.size(); ++i)
        imagePixelBuffer[i] = pixels[i] | 0xFF000000u;
    KImageInfo info;
    info.width = static_cast<uint32_t>(width);
    info.height = static_cast<uint32_t>(height);
    info.isUncompressed = 1;
    uint8_t* png = nullptr;
    size_t size = 0;
    ASSERT_TRUE(imageHandlerForFormat(K_IMAGE_PNG)->encode(&png, &size, &info, 0));
    writeFile(path, std::string(reinterpret_cast<char*>(png), size));
    delete[] png;
}

// Decodes a PNG into 0xRRGGBB pixels; false when it is not one.
bool decodePng(const std::string& png, int* width, int* height, std::vector<uint32_t>* pixels) {
    KImageInfo info;
    if (!imageHandlerForFormat(K_IMAGE_PNG)->decode(png.data(), png.size(), &info, true))
        return false;
    *width = static_cast<int>(info.width);
    *height = static_cast<int>(info.height);
    pixels->assign(imagePixelBuffer, imagePixelBuffer + static_cast<size_t>(info.width) * info.height);
    for (uint32_t& pixel : *pixels)
        pixel &= 0xFFFFFF;
    return true;
}

// Each shrink x shrink block becomes the mean of its pixels.
std::vector<uint32_t> shrunk(int width, int height, const std::vector<uint32_t>& pixels, int shrink) {
    std::vector<uint32_t> out;
    out.reserve(static_cast<size_t>(width / shrink) * (height / shrink));
    for (int y = 0; y + shrink <= height; y += shrink) {
        for (int x = 0; x + shrink <= width; x += shrink) {
            uint32_t sums[3] = {};
            for (int dy = 0; dy < shrink; ++dy)
                for (int dx = 0; dx < shrink; ++dx)
                    for (int c = 0; c < 3; ++c)
                        sums[c] += (pixels[static_cast<size_t>(y + dy) * width + x + dx] >> (8 * c)) & 0xFF;
            uint32_t pixel = 0, count = static_cast<uint32_t>(shrink * shrink);
            for (int c = 0; c < 3; ++c)
                pixel |= ((sums[c] + count / 2) / count) << (8 * c);
            out.push_back(pixel);
        }
    }
    return out;
}

} // namespace

void expectPixelsMatch(int width, int height, const std::vector<uint32_t>& pixels, const std::string& path,
                       int tolerance) {
    if (writing()) {
        writePng(width, height, pixels, path);
        return;
    }
    int expectedWidth = 0, expectedHeight = 0;
    std::vector<uint32_t> expected;
    ASSERT_TRUE(decodePng(readFile(path), &expectedWidth, &expectedHeight, &expected)) << path;
    ASSERT_EQ(expectedWidth, width) << path;
    ASSERT_EQ(expectedHeight, height) << path;
    int wrong = 0;
    std::string first;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            size_t at = static_cast<size_t>(y) * width + x;
            if (channelsNear(pixels[at], expected[at], tolerance))
                continue;
            if (wrong++ == 0) {
                char text[96];
                std::snprintf(text, sizeof text, "first at (%d, %d): %06X, expected %06X", x, y, pixels[at],
                              expected[at]);
                first = text;
            }
        }
    }
    EXPECT_EQ(wrong, 0) << path << ": " << first;
}

void expectPngMatches(const std::string& png, const std::string& path, int tolerance, int shrink) {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    ASSERT_TRUE(decodePng(png, &width, &height, &pixels)) << "not a PNG image";
    if (shrink > 1)
        expectPixelsMatch(width / shrink, height / shrink, shrunk(width, height, pixels, shrink), path, tolerance);
    else
        expectPixelsMatch(width, height, pixels, path, tolerance);
}

} // namespace glint::test
