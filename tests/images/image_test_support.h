// Fixture helpers of the image decoder tests: pictures made by ImageMagick's
// convert, what convert itself reads back from them, and decoding through
// the handler table.
#pragma once

#include "engine/images/image_handler.h"
#include "engine/system/log.h"
#include "support/test_support.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace glint::test {

using Pixels = std::vector<uint32_t>;

// A folder of fixtures: make() runs "convert <arguments> <name>" in it and
// returns the file's bytes (empty when convert failed).
class Fixtures {
public:
    // prefix is an output format such as "BMP2:".
    std::string make(const std::string& name, const std::string& arguments, const std::string& prefix = "");
    std::filesystem::path path(const std::string& name) const { return dir_ / name; }
    std::string write(const std::string& name, const std::string& bytes);

    // The pixels convert reads from a file, as 0xAARRGGBB.
    Pixels magickPixels(const std::string& name) const;
    // The same at 16 bits per sample, each sample cut to its high byte.
    Pixels magickHighBytes(const std::string& name) const;

    // The source pictures: 13 x 7 plasma at 8 bits, opaque or with an alpha
    // ramp that includes 0 and 255.
    static constexpr const char* kOpaque = "-seed 7 -size 13x7 plasma:fractal -depth 8";
    static constexpr const char* kAlpha =
        "-seed 7 -size 13x7 plasma:fractal -depth 8 -alpha set -channel A -fx '((i*19+j*37)%256)/255' +channel";

private:
    TempDir dir_;
};

struct Decoded {
    bool ok = false;
    KImageInfo info;
    Pixels pixels; // width x height words copied out of imagePixelBuffer
};

// Decodes through the format's handler with the memory log cleared first.
Decoded decodeAs(int format, const std::string& bytes, bool loadPixels = true);

// Whether the memory log holds the line "HH:MM:SS: text".
bool logHas(const std::string& text);

// Pixels with their alpha forced to 0xFF, for formats that carry none.
Pixels opaque(Pixels pixels);

// Row and byte patching of file images.
uint32_t readLe32(const std::string& bytes, size_t offset);
void putLe16(std::string& bytes, size_t offset, uint32_t value);
void putLe32(std::string& bytes, size_t offset, uint32_t value);
std::string le16(uint32_t value);
std::string le32(uint32_t value);
uint32_t readBe32(const std::string& bytes, size_t offset);
std::string be32(uint32_t value);

// PNG pieces: a chunk with its CRC, the offset of a chunk type (or npos).
std::string pngChunk(const std::string& type, const std::string& data);
size_t findPngChunk(const std::string& png, const std::string& type);

// What iOS build tools make of a picture: premultiplied B, G, R(, A) rows,
// raw deflate split over two IDAT chunks, and a CgBI chunk first.
std::string cgbiPng(const Pixels& pixels, uint32_t width, uint32_t height, bool alpha);

} // namespace glint::test
