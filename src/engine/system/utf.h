// UTF-8 and UTF-16 conversion of paths and texts.
#pragma once

#include <cstddef>

namespace glint {

// Both stop before a character that would not fit, always terminate the
// destination, and return the units (UTF-16) or bytes (UTF-8) written
// including the terminator. A capacity of 0 writes nothing and returns 0.
size_t utf8ToUtf16(char16_t* destination, const char* source, size_t capacityUnits);
size_t utf16ToUtf8(char* destination, const char16_t* source, size_t capacityBytes);

} // namespace glint
