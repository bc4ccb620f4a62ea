#include "image_test_support.h"

#include "engine/images/image_buffer.h"
#include "engine/system/log.h"

#include <gtest/gtest.h>
#include <zlib.h>

namespace glint::test {

namespace {

Pixels rawToPixels(const std::string& raw, size_t bytesPerSample) {
    Pixels pixels;
    size_t step = 4 * bytesPerSample;
    for (size_t i = 0; i + step <= raw.size(); i += step) {
        auto sample = [&](size_t n) { return static_cast<uint32_t>(static_cast<uint8_t>(raw[i + n * bytesPerSample])); };
        pixels.push_back(sample(3) << 24 | sample(0) << 16 | sample(1) << 8 | sample(2));
    }
    return pixels;
}

} // namespace

std::string Fixtures::make(const std::string& name, const std::string& arguments, const std::string& prefix) {
    CommandResult result = runCommand("convert " + arguments + " " + shellQuote(prefix + path(name).string()));
    EXPECT_EQ(result.status, 0) << arguments << ": " << result.err;
    return result.status == 0 ? readFile(path(name)) : std::string();
}

std::string Fixtures::write(const std::string& name, const std::string& bytes) {
    writeFile(path(name), bytes);
    return bytes;
}

Pixels Fixtures::magickPixels(const std::string& name) const {
    CommandResult result = runCommand("convert " + shellQuote(path(name).string()) + " -auto-orient -depth 8 RGBA:-");
    EXPECT_EQ(result.status, 0) << result.err;
    return rawToPixels(result.out, 1);
}

Pixels Fixtures::magickHighBytes(const std::string& name) const {
    CommandResult result =
        runCommand("convert " + shellQuote(path(name).string()) + " -auto-orient -depth 16 -endian MSB RGBA:-");
    EXPECT_EQ(result.status, 0) << result.err;
    return rawToPixels(result.out, 2);
}

Decoded decodeAs(int format, const std::string& bytes, bool loadPixels) {
    clearMemoryLog();
    Decoded decoded;
    KImageHandler* handler = imageHandlerForFormat(format);
    if (!handler)
        return decoded;
    decoded.ok = handler->decode(bytes.data(), bytes.size(), &decoded.info, loadPixels);
    if (decoded.ok && decoded.info.isUncompressed) {
        size_t count = size_t{decoded.info.width} * decoded.info.height;
        decoded.pixels.assign(imagePixelBuffer, imagePixelBuffer + count);
    }
    return decoded;
}

bool logHas(const std::string& text) {
    std::string log = memoryLog();
    for (size_t line = 0; line < log.size();) {
        size_t end = log.find('\n', line);
        if (end == std::string::npos)
            end = log.size();
        if (end - line >= 10 && log.compare(line + 10, end - line - 10, text) == 0)
            return true;
        line = end + 1;
    }
    return false;
}

Pixels opaque(Pixels pixels) {
    for (uint32_t& pixel : pixels)
        pixel |= 0xFF000000u;
    return pixels;
}

uint32_t readLe32(const std::string& bytes, size_t offset) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<uint8_t>(bytes.at(offset + static_cast<size_t>(i)));
    return value;
}

void putLe16(std::string& bytes, size_t offset, uint32_t value) {
    bytes.at(offset) = static_cast<char>(value);
    bytes.at(offset + 1) = static_cast<char>(value >> 8);
}

void putLe32(std::string& bytes, size_t offset, uint32_t value) {
    putLe16(bytes, offset, value & 0xFFFF);
    putLe16(bytes, offset + 2, value >> 16);
}

std::string le16(uint32_t value) {
    std::string bytes(2, '\0');
    putLe16(bytes, 0, value);
    return bytes;
}

std::string le32(uint32_t value) {
    std::string bytes(4, '\0');
    putLe32(bytes, 0, value);
    return bytes;
}

uint32_t readBe32(const std::string& bytes, size_t offset) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        value = value << 8 | static_cast<uint8_t>(bytes.at(offset + i));
    return value;
}

std::string be32(uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

std::string pngChunk(const std::string& type, const std::string& data) {
    std::string body = type + data;
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()));
    return be32(static_cast<uint32_t>(data.size())) + body + be32(static_cast<uint32_t>(crc));
}

size_t findPngChunk(const std::string& png, const std::string& type) {
    for (size_t pos = 8; pos + 12 <= png.size(); pos += 12 + readBe32(png, pos)) {
        if (png.compare(pos + 4, 4, type) == 0)
            return pos;
    }
    return std::string::npos;
}

namespace {

std::string rawDeflate(const std::string& data) {
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, data.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

} // namespace

std::string cgbiPng(const Pixels& pixels, uint32_t width, uint32_t height, bool alpha) {
    std::string rows;
    for (uint32_t y = 0; y < height; ++y) {
        rows += '\0';
        for (uint32_t x = 0; x < width; ++x) {
            uint32_t v = pixels[y * width + x], a = alpha ? v >> 24 : 255;
            auto premultiplied = [a](uint32_t c) { return static_cast<char>(((c & 0xFF) * a + 127) / 255); };
            rows += premultiplied(v);
            rows += premultiplied(v >> 8);
            rows += premultiplied(v >> 16);
            if (alpha)
                rows += static_cast<char>(a);
        }
    }
    std::string deflated = rawDeflate(rows);
    std::string header = be32(width) + be32(height) + std::string{8, static_cast<char>(alpha ? 6 : 2), 0, 0, 0};
    size_t half = deflated.size() / 2;
    return "\x89PNG\r\n\x1A\n" + pngChunk("CgBI", std::string{0x50, 0x00, 0x20, 0x06}) + pngChunk("IHDR", header) +
           pngChunk("IDAT", deflated.substr(0, half)) + pngChunk("IDAT", deflated.substr(half)) + pngChunk("IEND", "");
}

} // namespace glint::test
