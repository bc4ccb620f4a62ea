// Small file helpers for files the game writes itself (options, script
// output): the path is used as given, never resolved against the data path.
#pragma once

#include <cstdio>

namespace glint {

// Opens a file by its UTF-8 path with an fopen mode; null when it fails.
std::FILE* openFileUtf8(const char* path, const char* mode);

// Copies source to destination byte for byte. Nothing is written when the
// source cannot be opened or read completely.
void copyFile(const char* source, const char* destination);

// Turns every path separator ("/" or "\") into the native one in place and
// returns the path's length.
int toNativeSeparators(char* path);

} // namespace glint
