#include "image_test_support.h"

#include "engine/images/image_buffer.h"
#include "engine/system/log.h"

#include <gtest/gtest.h>

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

} // namespace glint::test
