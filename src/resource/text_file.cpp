#include "resource/text_file.h"

#include "engine/system/log.h"

#include <cstring>
#include <utility>

namespace glint {

namespace {

constexpr int32_t kTerminatorSize = 4;

bool startsWith(const char* data, int32_t size, const char* mark, int32_t markSize) {
    return size >= markSize && std::memcmp(data, mark, static_cast<size_t>(markSize)) == 0;
}

char32_t nextUnit(const unsigned char* bytes, int32_t& at, int32_t end) {
    if (at + 1 >= end)
        return 0;
    char32_t unit = static_cast<char32_t>(bytes[at] | bytes[at + 1] << 8);
    at += 2;
    return unit;
}

// Lone surrogates become U+FFFD so that the result is always valid UTF-8.
char32_t nextCodePoint(const unsigned char* bytes, int32_t& at, int32_t end) {
    char32_t unit = nextUnit(bytes, at, end);
    if (unit < 0xD800 || unit > 0xDFFF)
        return unit;
    if (unit >= 0xDC00)
        return 0xFFFD;
    int32_t save = at;
    char32_t low = nextUnit(bytes, at, end);
    if (low < 0xDC00 || low > 0xDFFF) {
        at = save;
        return 0xFFFD;
    }
    return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
}

char* appendUtf8(char* out, char32_t c) {
    if (c < 0x80) {
        *out++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *out++ = static_cast<char>(0xC0 | c >> 6);
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out++ = static_cast<char>(0xE0 | c >> 12);
        *out++ = static_cast<char>(0x80 | (c >> 6 & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | c >> 18);
        *out++ = static_cast<char>(0x80 | (c >> 12 & 0x3F));
        *out++ = static_cast<char>(0x80 | (c >> 6 & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

} // namespace

void MTextFile::clear() {
    data_.reset();
    size_ = 0;
}

void MTextFile::allocate(int32_t size) {
    data_ = std::make_unique<char[]>(static_cast<size_t>(size) + kTerminatorSize);
    std::memset(data_.get(), 0, static_cast<size_t>(size) + kTerminatorSize);
    size_ = size;
}

void MTextFile::assignText(const char* bytes, int32_t size, const char* name) {
    allocate(size);
    std::memcpy(data_.get(), bytes, static_cast<size_t>(size));
    decodeMarks(name);
}

void MTextFile::decodeMarks(const char* name) {
    const char* data = data_.get();
    if (size_ > 2 && startsWith(data, size_, "\xFF\xFE", 2)) {
        decodeUtf16(false, name);
    } else if (size_ > 2 && startsWith(data, size_, "\xFE\xFF", 2)) {
        decodeUtf16(true, name);
    } else if (size_ > 3 && startsWith(data, size_, "\xEF\xBB\xBF", 3)) {
        std::memmove(data_.get(), data_.get() + 3, static_cast<size_t>(size_ - 3) + kTerminatorSize);
        size_ -= 3;
    }
}

// Decodes into a new buffer: a 2-byte unit may grow to 3 bytes of UTF-8, so
// converting in place would run past the end of the old one.
void MTextFile::decodeUtf16(bool bigEndian, const char* name) {
    auto* bytes = reinterpret_cast<unsigned char*>(data_.get());
    if (bigEndian) {
        for (int32_t at = 2; at + 1 < size_; at += 2)
            std::swap(bytes[at], bytes[at + 1]);
    }
    int32_t units = (size_ - 2) / 2;
    auto decoded = std::make_unique<char[]>(static_cast<size_t>(units) * 3 + kTerminatorSize);
    char* out = decoded.get();
    for (int32_t at = 2; at + 1 < size_;) {
        char32_t c = nextCodePoint(bytes, at, size_);
        if (c == 0)
            break;
        out = appendUtf8(out, c);
    }
    std::memset(out, 0, kTerminatorSize);
    size_ = static_cast<int32_t>(out - decoded.get());
    data_ = std::move(decoded);
    debugTrace("WARNING: All text files should be in ANSI or UTF8 format: %s", name ? name : "");
}

} // namespace glint
