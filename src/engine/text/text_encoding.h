// The text encodings that every font operation accepts: each string comes
// with an encoding number, and the walkers below step through it one
// character at a time, forwards or backwards, by byte offsets.
#pragma once

#include <cstddef>
#include <cstdint>

namespace glint {

enum KTextEncoding : int {
    K_TEXT_BYTES = 0,       // one byte per character (Latin-1)
    K_TEXT_UTF8 = 1,
    K_TEXT_UTF16 = 2,       // little-endian, with surrogate pairs
    K_TEXT_UTF16LE = 3,     // the same as K_TEXT_UTF16
    K_TEXT_UTF16BE = 4,
    K_TEXT_CODEPOINTS = 5,  // 32-bit code points in native order, ending with 0
};

// -1 and every unknown number mean UTF-8.
int textEncodingOf(int encoding);

// Bytes of one code unit: 1, 2 or 4.
size_t textUnitSize(int encoding);

// The character at *offset; advances *offset past it. The terminator (and a
// multi-byte sequence cut by it) gives 0 and leaves *offset on the 0 unit.
int32_t textNextChar(const void* text, size_t* offset, int encoding);

// The character that ends just before *offset; moves *offset back to its
// start. 0 at the start of the text.
int32_t textPreviousChar(const void* text, size_t* offset, int encoding);

// Byte offset of the terminator.
size_t textByteLength(const void* text, int encoding);

// Characters as the forward walk yields them.
int32_t textCharCount(const void* text, int encoding);

// Writes one character (no terminator) and returns the bytes written, at
// most 4. A code point the encoding cannot hold is written as "?".
size_t textEncodeChar(int32_t code, void* out, int encoding);

} // namespace glint
