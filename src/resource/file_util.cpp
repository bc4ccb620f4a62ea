#include "resource/file_util.h"

#include <cstring>
#include <vector>

namespace glint {

namespace {
constexpr char kNativeSeparator = '/';
} // namespace

// Linux file names are bytes and the game's paths are UTF-8 already, so the
// path goes to fopen unchanged; there is no 260-character limit to apply.
std::FILE* openFileUtf8(const char* path, const char* mode) {
    if (!path || !mode || !*path)
        return nullptr;
    return std::fopen(path, mode);
}

void copyFile(const char* source, const char* destination) {
    std::FILE* in = openFileUtf8(source, "rb");
    if (!in)
        return;
    std::vector<char> bytes;
    bool complete = std::fseek(in, 0, SEEK_END) == 0;
    long size = complete ? std::ftell(in) : -1;
    complete = size >= 0 && std::fseek(in, 0, SEEK_SET) == 0;
    if (complete) {
        bytes.resize(static_cast<size_t>(size));
        complete = std::fread(bytes.data(), 1, bytes.size(), in) == bytes.size();
    }
    std::fclose(in);
    if (!complete)
        return;
    std::FILE* out = openFileUtf8(destination, "wb");
    if (!out)
        return;
    if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fflush(out);
    std::fclose(out);
}

int toNativeSeparators(char* path) {
    if (!path)
        return 0;
    for (char* c = path; *c; ++c) {
        if (*c == '/' || *c == '\\')
            *c = kNativeSeparator;
    }
    return static_cast<int>(std::strlen(path));
}

} // namespace glint
