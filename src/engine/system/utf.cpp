#include "engine/system/utf.h"

#include <cstdint>

namespace glint {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point and advances; malformed bytes become U+FFFD.
char32_t decodeUtf8(const unsigned char*& at) {
    unsigned char lead = *at++;
    if (lead < 0x80)
        return lead;
    int extra;
    char32_t code;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        code = lead & 0x07;
    } else {
        return kReplacement;
    }
    for (int i = 0; i < extra; ++i) {
        if ((*at & 0xC0) != 0x80)
            return kReplacement; // the terminator or a new lead byte stays for the next call
        code = (code << 6) | (*at++ & 0x3F);
    }
    static constexpr char32_t minimum[] = {0, 0x80, 0x800, 0x10000};
    if (code < minimum[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return kReplacement;
    return code;
}

char32_t decodeUtf16(const char16_t*& at) {
    char16_t unit = *at++;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        if (*at >= 0xDC00 && *at <= 0xDFFF)
            return 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (*at++ - 0xDC00);
        return kReplacement;
    }
    if (unit >= 0xDC00 && unit <= 0xDFFF)
        return kReplacement;
    return unit;
}

} // namespace

size_t utf8ToUtf16(char16_t* destination, const char* source, size_t capacityUnits) {
    if (capacityUnits == 0)
        return 0;
    size_t used = 0;
    const unsigned char* at = reinterpret_cast<const unsigned char*>(source);
    while (*at) {
        char32_t code = decodeUtf8(at);
        size_t units = code >= 0x10000 ? 2 : 1;
        if (used + units + 1 > capacityUnits)
            break;
        if (units == 2) {
            code -= 0x10000;
            destination[used++] = static_cast<char16_t>(0xD800 + (code >> 10));
            destination[used++] = static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            destination[used++] = static_cast<char16_t>(code);
        }
    }
    destination[used++] = 0;
    return used;
}

size_t utf16ToUtf8(char* destination, const char16_t* source, size_t capacityBytes) {
    if (capacityBytes == 0)
        return 0;
    size_t used = 0;
    const char16_t* at = source;
    while (*at) {
        char32_t code = decodeUtf16(at);
        unsigned char bytes[4];
        size_t count;
        if (code < 0x80) {
            bytes[0] = static_cast<unsigned char>(code);
            count = 1;
        } else if (code < 0x800) {
            bytes[0] = static_cast<unsigned char>(0xC0 | (code >> 6));
            bytes[1] = static_cast<unsigned char>(0x80 | (code & 0x3F));
            count = 2;
        } else if (code < 0x10000) {
            bytes[0] = static_cast<unsigned char>(0xE0 | (code >> 12));
            bytes[1] = static_cast<unsigned char>(0x80 | ((code >> 6) & 0x3F));
            bytes[2] = static_cast<unsigned char>(0x80 | (code & 0x3F));
            count = 3;
        } else {
            bytes[0] = static_cast<unsigned char>(0xF0 | (code >> 18));
            bytes[1] = static_cast<unsigned char>(0x80 | ((code >> 12) & 0x3F));
            bytes[2] = static_cast<unsigned char>(0x80 | ((code >> 6) & 0x3F));
            bytes[3] = static_cast<unsigned char>(0x80 | (code & 0x3F));
            count = 4;
        }
        if (used + count + 1 > capacityBytes)
            break;
        for (size_t i = 0; i < count; ++i)
            destination[used++] = static_cast<char>(bytes[i]);
    }
    destination[used++] = 0;
    return used;
}

} // namespace glint
