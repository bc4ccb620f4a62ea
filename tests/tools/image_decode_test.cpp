// glint-tool image decode against ImageMagick: what the engine decodes from
// convert's files must be what convert itself reads back from them.
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace glint::test;
namespace fs = std::filesystem;

namespace {

const std::string kOpaque = "-seed 7 -size 13x7 plasma:fractal -depth 8";
const std::string kAlpha = kOpaque + " -alpha set -channel A -fx '((i*19+j*37)%256)/255' +channel";

CommandResult decode(const fs::path& file, const fs::path& out) {
    return runCommand(shellQuote(toolPath()) + " image decode " + shellQuote(file.string()) + " " +
                      shellQuote(out.string()));
}

// Makes dir/name with "convert ARGUMENTS [PREFIX]name".
fs::path make(const TempDir& dir, const std::string& name, const std::string& arguments, const std::string& prefix = "") {
    fs::path file = dir / name;
    CommandResult made = runCommand("convert " + arguments + " " + shellQuote(prefix + file.string()));
    EXPECT_EQ(made.status, 0) << made.err;
    return file;
}

// The RGBA bytes convert reads from a file, rows top-down whatever the
// file's orientation; at 16 bits per sample each sample is cut to its high
// byte, as the engine does.
std::string magickRgba(const fs::path& file, bool sixteenBit = false) {
    std::string depth = sixteenBit ? " -depth 16 -endian MSB" : " -depth 8";
    CommandResult read = runCommand("convert " + shellQuote(file.string()) + " -auto-orient" + depth + " RGBA:-");
    EXPECT_EQ(read.status, 0) << read.err;
    if (!sixteenBit)
        return read.out;
    std::string high;
    for (size_t i = 0; i < read.out.size(); i += 2)
        high += read.out[i];
    return high;
}

} // namespace

TEST(ImageDecodeTool, LosslessFilesGiveConvertsPixels) {
    struct Case {
        const char* name;
        const char* file;
        std::string arguments;
        std::string prefix;
        const char* sizeLine;
        bool sixteenBit;
    };
    const Case cases[] = {
        {"BMP 1-bit", "1.bmp", kOpaque + " +dither -colors 2 -type palette", "", "13x7 alpha=0 uncompressed=1", false},
        {"BMP 4-bit", "4.bmp", kOpaque + " +dither -colors 16 -type palette", "", "13x7 alpha=0 uncompressed=1", false},
        {"BMP 8-bit", "8.bmp", kOpaque + " +dither -colors 200 -compress None", "", "13x7 alpha=0 uncompressed=1", false},
        {"BMP RLE8", "r8.bmp", kOpaque + " +dither -colors 200 -compress RLE", "", "13x7 alpha=0 uncompressed=1", false},
        {"BMP 24-bit", "24.bmp", kOpaque + " -type truecolor", "", "13x7 alpha=0 uncompressed=1", false},
        {"BMP 32-bit", "32.bmp", kAlpha + " -define bmp3:alpha=true", "BMP3:", "13x7 alpha=1 uncompressed=1", false},
        {"BMP bitfields", "bf.bmp", kAlpha, "", "13x7 alpha=1 uncompressed=1", false},
        {"TGA raw", "raw.tga", kOpaque + " -type truecolor", "", "13x7 alpha=0 uncompressed=1", false},
        {"TGA RLE", "rle.tga", kAlpha + " -compress RLE", "", "13x7 alpha=1 uncompressed=1", false},
        {"GIF", "a.gif", "-seed 7 -size 13x20 plasma:fractal +dither -colors 100", "", "13x20 alpha=0 uncompressed=1", false},
        {"PNG palette with tRNS", "t.png", kAlpha + " -channel A -threshold 50% +channel", "PNG8:",
         "13x7 alpha=1 uncompressed=1", false},
        {"PNG grey", "g.png", kOpaque + " -colorspace gray", "", "13x7 alpha=0 uncompressed=1", false},
        {"PNG grey and alpha", "ga.png", kAlpha + " -colorspace gray", "", "13x7 alpha=1 uncompressed=1", false},
        {"PNG 16-bit", "w.png", "-seed 7 -size 13x7 plasma:fractal", "PNG48:", "13x7 alpha=0 uncompressed=1", true},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::path file = make(dir, c.file, c.arguments, c.prefix), out = dir / (std::string(c.file) + ".out.png");
        CommandResult result = decode(file, out);
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, std::string(c.sizeLine) + "\n");
        EXPECT_EQ(result.err, "");
        std::string expected = magickRgba(file, c.sixteenBit);
        ASSERT_EQ(expected.size(), 13u * (c.file == std::string("a.gif") ? 20 : 7) * 4);
        EXPECT_EQ(magickRgba(out), expected);
    }
}

TEST(ImageDecodeTool, CompressedBlocksAreReportedButNotWritten) {
    TempDir dir;
    fs::path file = make(dir, "5.dds", kAlpha + " -define dds:compression=dxt5"), out = dir / "out.png";
    CommandResult result = decode(file, out);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "13x7 alpha=1 uncompressed=0\n");
    EXPECT_FALSE(fs::exists(out));
}

TEST(ImageDecodeTool, FailuresShowTheDecodersMessages) {
    TempDir dir;
    struct Case {
        const char* name;
        fs::path file;
        std::string err;
    };
    fs::path dxt1 = make(dir, "1.dds", kOpaque + " -define dds:compression=dxt1");
    const Case cases[] = {
        // DDS refuses without a message of its own.
        {"DXT1 DDS", dxt1, "glint-tool image: cannot decode '" + dxt1.string() + "'\n"},
        {"unknown extension", dir / "x.jpeg", "glint-tool image: '" + (dir / "x.jpeg").string() +
                                                  "' has no image extension the engine reads\n"},
        {"missing file", dir / "none.png",
         "glint-tool image: cannot read '" + (dir / "none.png").string() + "': No such file or directory\n"},
    };
    writeFile(dir / "x.jpeg", "whatever");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::path out = dir / "out.png";
        CommandResult result = decode(c.file, out);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, c.err);
        EXPECT_FALSE(fs::exists(out));
    }
}

// A marker length that points far past the end is one truncation, reported
// once, not thousands of refills of two fake bytes each.
TEST(ImageDecodeTool, JpegSkipPastTheEndRunsDryOnce) {
    TempDir dir;
    std::string jpeg = "\xFF\xD8\xFF\xE1\xFF\xFF" + std::string(10, 'x');
    writeFile(dir / "cut.jpg", jpeg);
    CommandResult result = decode(dir / "cut.jpg", dir / "out.png");
    EXPECT_EQ(result.status, 1);
    const std::string refill = "jmem_src: fill_input_buffer: should not be called.\n";
    size_t first = result.err.find(refill);
    ASSERT_NE(first, std::string::npos) << result.err;
    EXPECT_EQ(result.err.find(refill, first + 1), std::string::npos) << result.err.substr(0, 500);
    EXPECT_NE(result.err.find("Jpeg: library error: "), std::string::npos) << result.err.substr(0, 500);
}

TEST(ImageDecodeTool, BadArgumentsPrintUsage) {
    for (const char* arguments : {"", "decode", "decode a.png", "encode a.png b.png", "decode a.png b.png c"}) {
        SCOPED_TRACE(arguments);
        CommandResult result = runCommand(shellQuote(toolPath()) + " image " + arguments);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.err, "usage: glint-tool image decode FILE OUT.png\n");
    }
}
