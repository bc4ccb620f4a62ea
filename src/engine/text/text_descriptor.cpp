// The ".font" descriptor: a header line "FONT version pages glyphs" and one
// line of ten integers per glyph (code, x1, y1, x2, y2, advance, height,
// page, xOffset, yOffset), and the page textures it names.
#include "engine/text/text.h"

#include "engine/render/texture.h"
#include "engine/resources/resource.h"
#include "engine/system/log.h"

#include <cstring>

namespace glint {

namespace {

constexpr int kDescriptorVersion = 1;
constexpr int32_t kMaxGlyphLine = 255;
constexpr int kGlyphFields = 10;

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Reads decimal integers from a bounded range of bytes; values are clamped
// far outside every field's range so that no arithmetic overflows.
class NumberReader {
public:
    NumberReader(const char* data, int32_t end, int32_t pos) : data_(data), end_(end), pos_(pos) {}

    bool next(long long* value) {
        while (pos_ < end_ && isBlank(data_[pos_]))
            ++pos_;
        bool negative = pos_ < end_ && data_[pos_] == '-';
        int32_t digits = pos_ + (negative ? 1 : 0);
        long long number = 0;
        int32_t at = digits;
        for (; at < end_ && data_[at] >= '0' && data_[at] <= '9'; ++at) {
            if (number < kClamp)
                number = number * 10 + (data_[at] - '0');
        }
        if (at == digits)
            return false;
        pos_ = at;
        *value = negative ? -number : number;
        return true;
    }
    int32_t position() const { return pos_; }

private:
    static constexpr long long kClamp = 1LL << 40;
    const char* data_;
    int32_t end_;
    int32_t pos_;
};

bool fits16(long long value) { return value >= INT16_MIN && value <= INT16_MAX; }
bool fits32(long long value) { return value >= INT32_MIN && value <= INT32_MAX; }

// One glyph line; false for a line that is not ten numbers of their fields' ranges.
bool parseGlyphLine(const char* line, int32_t length, KGlyph* glyph) {
    NumberReader reader(line, length < kMaxGlyphLine ? length : kMaxGlyphLine, 0);
    long long v[kGlyphFields];
    for (long long& value : v) {
        if (!reader.next(&value))
            return false;
    }
    for (int i = 1; i <= 6; ++i) {
        if (!fits16(v[i]))
            return false;
    }
    if (v[0] <= 0 || !fits32(v[0]) || v[7] < 0 || v[7] >= kFontMaxPages || !fits32(v[8]) || !fits32(v[9]))
        return false;
    glyph->code = static_cast<int32_t>(v[0]);
    glyph->x1 = static_cast<int16_t>(v[1]);
    glyph->y1 = static_cast<int16_t>(v[2]);
    glyph->x2 = static_cast<int16_t>(v[3]);
    glyph->y2 = static_cast<int16_t>(v[4]);
    glyph->advance = static_cast<int16_t>(v[5]);
    glyph->height = static_cast<int16_t>(v[6]);
    glyph->page = static_cast<int32_t>(v[7]);
    glyph->xOffset = static_cast<int32_t>(v[8]);
    glyph->yOffset = static_cast<int32_t>(v[9]);
    return true;
}

int32_t skipLineEnds(const char* data, int32_t size, int32_t pos) {
    while (pos < size && isLineEnd(data[pos]))
        ++pos;
    return pos;
}

int32_t lineEndFrom(const char* data, int32_t size, int32_t pos) {
    while (pos < size && !isLineEnd(data[pos]) && data[pos] != 0)
        ++pos;
    return pos;
}

} // namespace

bool nextFontPagePath(const char* path, char* out) {
    const size_t length = std::strlen(path);
    size_t extension = length;
    for (size_t i = length; i > 0; --i) {
        char c = path[i - 1];
        if (c == '/' || c == '\\')
            break;
        if (c == '.') {
            extension = i - 1;
            break;
        }
    }
    size_t digits = extension;
    while (digits > 0 && path[digits - 1] >= '0' && path[digits - 1] <= '9')
        --digits;
    const size_t digitCount = extension - digits;
    if (length > kFontPathLimit)
        return false;
    // The number with one spare leading digit for a carry ("99" becomes "100").
    char number[kFontPathLimit + 2];
    number[0] = '0';
    std::memcpy(number + 1, path + digits, digitCount);
    size_t numberLength = digitCount + 1;
    if (digitCount == 0) {
        number[1] = '2';
        numberLength = 2;
    } else {
        size_t i = numberLength;
        while (number[i - 1] == '9')
            number[--i] = '0';
        ++number[i - 1];
    }
    const char* shown = number[0] == '0' ? number + 1 : number;
    const size_t shownLength = numberLength - static_cast<size_t>(shown - number);
    if (digits + shownLength + (length - extension) > kFontPathLimit)
        return false;
    char next[kFontPathLimit + 1];
    std::memcpy(next, path, digits);
    std::memcpy(next + digits, shown, shownLength);
    std::memcpy(next + digits + shownLength, path + extension, length - extension + 1);
    std::memcpy(out, next, digits + shownLength + (length - extension) + 1);
    return true;
}

int KText::parseDescriptor(const char* data, int32_t size) {
    clearGlyphs();
    if (!data || size <= 5 || std::memcmp(data, "FONT ", 5) != 0)
        return -1;
    int32_t headerEnd = lineEndFrom(data, size, 5);
    NumberReader header(data, headerEnd, 5);
    long long version = 0, pages = 0, count = 0;
    if (!header.next(&version) || !header.next(&pages) || !header.next(&count) || version != kDescriptorVersion ||
        pages < 0 || count < 0)
        return -1;

    glyphs_.clear();
    int32_t pos = skipLineEnds(data, size, headerEnd);
    for (long long line = 0; line < count && pos < size && data[pos] != 0; ++line) {
        int32_t end = lineEndFrom(data, size, pos);
        KGlyph glyph;
        if (parseGlyphLine(data + pos, end - pos, &glyph))
            glyphs_.push_back(glyph);
        else
            debugTrace("WARNING: font glyph line %lld is not ten valid numbers, skipped", line + 1);
        pos = skipLineEnds(data, size, end);
    }
    glyphs_.push_back(KGlyph{});
    indexGlyphs();
    return static_cast<int>(pages < kFontMaxPages + 1 ? pages : kFontMaxPages + 1);
}

bool KText::loadPages(int count, const char* page0Path) {
    char path[kFontPathLimit + 1];
    if (std::strlen(page0Path) > kFontPathLimit) {
        logMessage("KText: font page path %s is too long, ERROR", page0Path);
        return false;
    }
    std::strcpy(path, page0Path);
    for (int i = 0; i < count; ++i) {
        if (i >= kFontMaxPages) {
            logMessage("KText: a font has at most %d pages, ERROR", kFontMaxPages);
            return false;
        }
        if (i > 0 && !nextFontPagePath(path, path)) {
            logMessage("KText: font page path after %s is too long, ERROR", path);
            return false;
        }
        auto* texture = new KTexture();
        texture->filter = GL_LINEAR;
        if (!texture->loadFile(path)) {
            delete texture;
            logMessage("KText: cannot load font page %s, ERROR", path);
            return false;
        }
        setPage(i, texture, true);
    }
    return true;
}

bool KText::loadFont(const char* descriptorPath, const char* page0Path) {
    releasePages();
    char* data = nullptr;
    int32_t size = 0;
    if (!descriptorPath || !resourceLoadFile(descriptorPath, &data, &size)) {
        clearGlyphs();
        logMessage("KText: cannot read font descriptor %s, ERROR", descriptorPath ? descriptorPath : "(none)");
        return false;
    }
    int pages = parseDescriptor(data, size);
    delete[] data;
    if (pages < 0) {
        logMessage("KText: font descriptor %s is not a version 1 font, ERROR", descriptorPath);
        return false;
    }
    return page0Path && loadPages(pages, page0Path);
}

} // namespace glint
