// The characters the player may type: printable ASCII and whatever
// "characters.cfg" in the fonts folder lists. Every typed character is
// filtered through typedCharAllowed before it reaches the scripts.
#pragma once

#include <cstdint>

namespace glint {

// Code points 0 to 0x10FFF have a flag.
constexpr int32_t kTypedCharCount = 0x11000;

// Resets the table to printable ASCII and allows every code point of the
// lines of "data/_interface/fonts/characters.cfg" (UTF-8; empty lines and
// lines opening with ";" are skipped). A missing file leaves ASCII only.
void loadCharacterTable();
bool typedCharAllowed(int32_t code);

} // namespace glint
