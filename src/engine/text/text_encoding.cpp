#include "engine/text/text_encoding.h"

#include <cstring>

namespace glint {

namespace {

using Bytes = const unsigned char*;

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }
bool isHighSurrogate(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Length of the sequence a lead byte opens; 1 for a byte that opens none,
// which then stands for itself.
int utf8SequenceLength(unsigned char lead) {
    if (lead >= 0xC0 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF7)
        return 4;
    return 1;
}

int32_t nextUtf8(Bytes text, size_t* offset) {
    Bytes at = text + *offset;
    unsigned char lead = at[0];
    if (lead == 0)
        return 0;
    int length = utf8SequenceLength(lead);
    if (length == 1) {
        *offset += 1;
        return lead;
    }
    static constexpr unsigned char leadMask[] = {0, 0, 0x1F, 0x0F, 0x07};
    int32_t code = lead & leadMask[length];
    for (int i = 1; i < length; ++i) {
        if (at[i] == 0) {
            *offset += static_cast<size_t>(i); // the text ends inside the sequence
            return 0;
        }
        if (!isContinuation(at[i])) {
            // A broken sequence must not swallow the character after it.
            *offset += 1;
            return lead;
        }
        code = code << 6 | (at[i] & 0x3F);
    }
    *offset += static_cast<size_t>(length);
    return code;
}

int32_t previousUtf8(Bytes text, size_t* offset) {
    size_t end = *offset;
    size_t start = end - 1;
    while (start > 0 && end - start < 4 && isContinuation(text[start]))
        --start;
    size_t walk = start;
    int32_t code = nextUtf8(text, &walk);
    if (walk != end) {
        // Not one sequence ending here: the last byte stands for itself.
        start = end - 1;
        code = text[start];
    }
    *offset = start;
    return code;
}

uint32_t unit16(Bytes at, bool bigEndian) {
    return bigEndian ? static_cast<uint32_t>(at[0] << 8 | at[1]) : static_cast<uint32_t>(at[1] << 8 | at[0]);
}

int32_t nextUtf16(Bytes text, size_t* offset, bool bigEndian) {
    uint32_t unit = unit16(text + *offset, bigEndian);
    if (unit == 0)
        return 0;
    *offset += 2;
    if (isHighSurrogate(unit)) {
        uint32_t low = unit16(text + *offset, bigEndian);
        if (isLowSurrogate(low)) {
            *offset += 2;
            return static_cast<int32_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        }
    }
    return static_cast<int32_t>(unit);
}

int32_t previousUtf16(Bytes text, size_t* offset, bool bigEndian) {
    *offset -= 2;
    uint32_t unit = unit16(text + *offset, bigEndian);
    if (isLowSurrogate(unit) && *offset >= 2) {
        uint32_t high = unit16(text + *offset - 2, bigEndian);
        if (isHighSurrogate(high)) {
            *offset -= 2;
            return static_cast<int32_t>(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
        }
    }
    return static_cast<int32_t>(unit);
}

int32_t codePointAt(Bytes at) {
    int32_t code;
    std::memcpy(&code, at, sizeof code);
    return code;
}

void put16(unsigned char* out, uint32_t unit, bool bigEndian) {
    out[bigEndian ? 0 : 1] = static_cast<unsigned char>(unit >> 8);
    out[bigEndian ? 1 : 0] = static_cast<unsigned char>(unit);
}

size_t encodeUtf8(int32_t code, unsigned char* out) {
    if (code < 0 || code > 0x10FFFE) {
        out[0] = '?';
        return 1;
    }
    auto c = static_cast<uint32_t>(code);
    if (c < 0x80) {
        out[0] = static_cast<unsigned char>(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = static_cast<unsigned char>(0xC0 | c >> 6);
        out[1] = static_cast<unsigned char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = static_cast<unsigned char>(0xE0 | c >> 12);
        out[1] = static_cast<unsigned char>(0x80 | (c >> 6 & 0x3F));
        out[2] = static_cast<unsigned char>(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = static_cast<unsigned char>(0xF0 | c >> 18);
    out[1] = static_cast<unsigned char>(0x80 | (c >> 12 & 0x3F));
    out[2] = static_cast<unsigned char>(0x80 | (c >> 6 & 0x3F));
    out[3] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    return 4;
}

size_t encodeUtf16(int32_t code, unsigned char* out, bool bigEndian) {
    if (code < 0 || code > 0x10FFFF) {
        put16(out, '?', bigEndian);
        return 2;
    }
    auto c = static_cast<uint32_t>(code);
    if (c < 0x10000) {
        put16(out, c, bigEndian);
        return 2;
    }
    c -= 0x10000;
    put16(out, 0xD800 + (c >> 10), bigEndian);
    put16(out + 2, 0xDC00 + (c & 0x3FF), bigEndian);
    return 4;
}

} // namespace

int textEncodingOf(int encoding) {
    return encoding >= K_TEXT_BYTES && encoding <= K_TEXT_CODEPOINTS ? encoding : K_TEXT_UTF8;
}

size_t textUnitSize(int encoding) {
    switch (textEncodingOf(encoding)) {
    case K_TEXT_UTF16:
    case K_TEXT_UTF16LE:
    case K_TEXT_UTF16BE: return 2;
    case K_TEXT_CODEPOINTS: return 4;
    default: return 1;
    }
}

int32_t textNextChar(const void* text, size_t* offset, int encoding) {
    auto bytes = static_cast<Bytes>(text);
    switch (textEncodingOf(encoding)) {
    case K_TEXT_BYTES:
        if (bytes[*offset] == 0)
            return 0;
        return bytes[(*offset)++];
    case K_TEXT_UTF16:
    case K_TEXT_UTF16LE: return nextUtf16(bytes, offset, false);
    case K_TEXT_UTF16BE: return nextUtf16(bytes, offset, true);
    case K_TEXT_CODEPOINTS: {
        int32_t code = codePointAt(bytes + *offset);
        if (code != 0)
            *offset += 4;
        return code;
    }
    default: return nextUtf8(bytes, offset);
    }
}

int32_t textPreviousChar(const void* text, size_t* offset, int encoding) {
    if (*offset == 0)
        return 0;
    auto bytes = static_cast<Bytes>(text);
    switch (textEncodingOf(encoding)) {
    case K_TEXT_BYTES: return bytes[--*offset];
    case K_TEXT_UTF16:
    case K_TEXT_UTF16LE: return previousUtf16(bytes, offset, false);
    case K_TEXT_UTF16BE: return previousUtf16(bytes, offset, true);
    case K_TEXT_CODEPOINTS: *offset -= 4; return codePointAt(bytes + *offset);
    default: return previousUtf8(bytes, offset);
    }
}

size_t textByteLength(const void* text, int encoding) {
    auto bytes = static_cast<Bytes>(text);
    size_t unit = textUnitSize(encoding);
    size_t length = 0;
    for (;;) {
        bool zero = true;
        for (size_t i = 0; i < unit; ++i)
            zero = zero && bytes[length + i] == 0;
        if (zero)
            return length;
        length += unit;
    }
}

int32_t textCharCount(const void* text, int encoding) {
    int32_t count = 0;
    size_t offset = 0;
    while (textNextChar(text, &offset, encoding) != 0)
        ++count;
    return count;
}

size_t textEncodeChar(int32_t code, void* out, int encoding) {
    auto bytes = static_cast<unsigned char*>(out);
    switch (textEncodingOf(encoding)) {
    case K_TEXT_BYTES: bytes[0] = code < 0 || code > 255 ? '?' : static_cast<unsigned char>(code); return 1;
    case K_TEXT_UTF16:
    case K_TEXT_UTF16LE: return encodeUtf16(code, bytes, false);
    case K_TEXT_UTF16BE: return encodeUtf16(code, bytes, true);
    case K_TEXT_CODEPOINTS: std::memcpy(bytes, &code, sizeof code); return 4;
    default: return encodeUtf8(code, bytes);
    }
}

} // namespace glint
