// Path shaping of the resource layer, apart from the data path it is given,
// so that each rule can be checked on its own.
#pragma once

#include <cstddef>

namespace glint {

// Size of every path buffer of the layer: 259 characters and the terminator.
constexpr size_t kResourcePathBuffer = 260;

// resolveDataPath against the given data path; returns the length written.
int resolveDataPathWith(const char* dataPath, const char* path, char* out);

// The name an archive is asked for: path without the data path and the one
// separator after it, "\\" turned into "/".
void archiveEntryName(const char* dataPath, const char* path, char* out);

// The name the disk is asked for: path with "\\" turned into "/".
void diskEntryName(const char* path, char* out);

} // namespace glint
