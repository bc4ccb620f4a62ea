// Reading and writing one key of a key=value file without building a
// configuration: behind read_cfg and write_cfg and the start-up lookups of
// the language, the window title and the survey address.
#pragma once

#include <cstddef>

namespace glint {

// Size of the buffer readCfgValue fills: values keep at most 255 bytes.
constexpr std::size_t kCfgValueSize = 256;

// The text after the first "=" of the last line whose text before it is key
// (exact, case-sensitive), at most 255 bytes; the empty string when the
// file, the key or the line is missing. out holds kCfgValueSize bytes.
void readCfgValue(const char* path, const char* key, char* out);

// Sets key to value in the file, or removes every line of key when value is
// empty. Other non-empty lines keep their order; every line ends in CR LF;
// the folders of the path are created. The file is replaced whole: false,
// with the old file untouched, when it could not be written.
bool writeCfgValue(const char* path, const char* key, const char* value);

} // namespace glint
