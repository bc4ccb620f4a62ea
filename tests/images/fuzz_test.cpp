// Damaged and hostile files: every decoder runs over mutated copies of real
// fixtures. Under AddressSanitizer any read past the input (held in a buffer
// of exactly its size) or write past imagePixelBuffer stops the test.
#include "engine/images/image_buffer.h"
#include "image_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <random>

using namespace glint;
using namespace glint::test;

namespace {

// Values that tend to break size and offset arithmetic.
constexpr uint32_t kNastyWords[] = {0, 1, 0x7F, 0x80, 0xFF, 0x100, 0x7FFF, 0x8000, 0xFFFF, 2048, 2049, 4096,
                                    0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFFFE};

std::string mutate(std::string bytes, std::mt19937& random) {
    int edits = 1 + static_cast<int>(random() % 4);
    for (int edit = 0; edit < edits && !bytes.empty(); ++edit) {
        size_t at = random() % bytes.size();
        switch (random() % 6) {
        case 0:
            bytes[at] = static_cast<char>(bytes[at] ^ (1 << (random() % 8)));
            break;
        case 1:
            bytes[at] = static_cast<char>(random());
            break;
        case 2: { // a nasty word, little- or big-endian
            uint32_t word = kNastyWords[random() % std::size(kNastyWords)];
            bool big = random() & 1;
            for (size_t i = 0; i < 4 && at + i < bytes.size(); ++i)
                bytes[at + i] = static_cast<char>(word >> (big ? 24 - 8 * i : 8 * i));
            break;
        }
        case 3:
            bytes.resize(at);
            break;
        case 4:
            bytes.insert(at, bytes.substr(random() % bytes.size(), random() % 64));
            break;
        default:
            bytes.erase(at, random() % 16);
            break;
        }
    }
    return bytes;
}

struct FuzzTarget {
    int format;
    std::vector<std::string> seeds;
};

std::vector<FuzzTarget> fuzzTargets(Fixtures& fixtures) {
    const std::string opaque = Fixtures::kOpaque, alpha = Fixtures::kAlpha;
    auto make = [&](const std::string& name, const std::string& arguments, const std::string& prefix = "") {
        return fixtures.make(name, arguments, prefix);
    };
    fixtures.make("alpha.png", alpha, "PNG32:");
    return {
        {K_IMAGE_BMP,
         {make("1.bmp", opaque + " +dither -colors 2 -type palette"), make("4.bmp", opaque + " +dither -colors 16 -type palette"),
          make("8.bmp", opaque + " +dither -colors 200 -compress None"), make("r8.bmp", opaque + " +dither -colors 200 -compress RLE"),
          make("os2.bmp", opaque + " +dither -colors 16", "BMP2:"), make("565.bmp", opaque + " -define bmp:subtype=RGB565"),
          make("32.bmp", alpha), make("32rgb.bmp", alpha + " -define bmp3:alpha=true", "BMP3:")}},
        {K_IMAGE_TGA,
         {make("24.tga", opaque + " -type truecolor"), make("rle.tga", alpha + " -compress RLE"),
          make("map.tga", opaque + " +dither -colors 16 -type palette -compress RLE"), make("grey.tga", opaque + " -colorspace gray")}},
        {K_IMAGE_GIF,
         {make("a.gif", "-seed 7 -size 13x20 plasma:fractal +dither -colors 100"),
          make("i.gif", "-seed 7 -size 13x20 plasma:fractal +dither -colors 100 -interlace GIF"),
          make("t.gif", alpha + " +dither -colors 8 -set comment hello")}},
        {K_IMAGE_PNG,
         {make("p.png", opaque + " +dither -colors 50", "PNG8:"), make("g.png", opaque + " -colorspace gray -depth 4"),
          make("i.png", alpha + " -interlace PNG", "PNG32:"), make("w.png", "-seed 7 -size 13x7 plasma:fractal", "PNG48:"),
          cgbiPng(fixtures.magickPixels("alpha.png"), 13, 7, true)}},
        {K_IMAGE_JPG,
         {make("c.jpg", opaque), make("g.jpg", opaque + " -colorspace gray"),
          make("p.jpg", opaque + " -interlace JPEG")}},
        {K_IMAGE_DDS,
         {make("5.dds", alpha + " -define dds:compression=dxt5"),
          make("32.dds", alpha + " -define dds:compression=none -define dds:mipmaps=0")}},
    };
}

} // namespace

TEST(ImageFuzz, MutatedFixturesNeverCrashOrOverrun) {
    Fixtures fixtures;
    std::vector<FuzzTarget> targets = fuzzTargets(fixtures);
    std::mt19937 random(20261209);
    const auto budget = std::chrono::milliseconds(300); // per decoder
    // Standard error is left alone: the JPEG source complains there about
    // truncated data, but a sanitizer report must stay visible.
    for (const FuzzTarget& target : targets) {
        KImageHandler* handler = imageHandlerForFormat(target.format);
        auto start = std::chrono::steady_clock::now();
        int runs = 0, successes = 0;
        while (std::chrono::steady_clock::now() - start < budget && runs < 20000) {
            const std::string& seed = target.seeds[random() % target.seeds.size()];
            ASSERT_FALSE(seed.empty());
            std::string bytes = mutate(seed, random);
            std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size()]);
            std::copy(bytes.begin(), bytes.end(), exact.get());
            clearMemoryLog();
            KImageInfo info;
            bool ok = handler->decode(exact.get(), bytes.size(), &info, true);
            ++runs;
            if (!ok)
                continue;
            ++successes;
            ASSERT_LE(uint64_t{info.width} * info.height, kImagePixelBufferSize) << "format " << target.format;
        }
        std::printf("format %d: %d mutated files, %d decoded\n", target.format, runs, successes);
        EXPECT_GT(runs, 50) << "format " << target.format;
        EXPECT_GT(successes, 0) << "format " << target.format;
    }
}
