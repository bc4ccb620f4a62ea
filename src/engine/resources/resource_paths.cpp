#include "engine/resources/resource_paths.h"

#include "engine/system/system.h"

#include <cstdio>
#include <cstring>

namespace glint {

namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

// Copies at most kResourcePathBuffer - 1 characters; returns the length.
size_t copyCut(char* out, const char* text) {
    size_t length = strnlen(text, kResourcePathBuffer - 1);
    std::memcpy(out, text, length);
    out[length] = 0;
    return length;
}

void replaceAll(char* text, char from, char to) {
    for (; *text; ++text) {
        if (*text == from)
            *text = to;
    }
}

// Paths that name their own root: a drive letter or a network share.
bool namesOwnRoot(const char* path) {
    if (path[0] && path[1] == ':')
        return true;
    return isSeparator(path[0]) && isSeparator(path[1]);
}

} // namespace

int resolveDataPathWith(const char* dataPath, const char* path, char* out) {
    size_t length;
    if (path[0] == '/') {
        // The native root: already absolute, whatever follows.
        length = copyCut(out, path);
    } else {
        if (path[0] == '\\' && !isSeparator(path[1]))
            ++path;
        if (path[0] == ':')
            ++path;
        if (namesOwnRoot(path)) {
            length = copyCut(out, path);
        } else {
            int written = std::snprintf(out, kResourcePathBuffer, "%s/%s", dataPath, path);
            length = written < 0 ? 0 : static_cast<size_t>(written);
            if (length >= kResourcePathBuffer)
                length = kResourcePathBuffer - 1;
            out[length] = 0;
        }
    }
    replaceAll(out, '\\', '/');
    return static_cast<int>(length);
}

void archiveEntryName(const char* dataPath, const char* path, char* out) {
    size_t prefix = std::strlen(dataPath);
    if (!std::strncmp(path, dataPath, prefix)) {
        char after = path[prefix];
        // Only a whole folder name counts: "/games/foo" is no prefix of "/games/foobar".
        if (after == 0 || isSeparator(after) || after == ':')
            path += prefix + (after ? 1 : 0);
    }
    copyCut(out, path);
    replaceAll(out, '\\', '/');
}

void diskEntryName(const char* path, char* out) {
    copyCut(out, path);
    replaceAll(out, '\\', '/');
}

const char* resolveDataPath(const char* path, int* length) {
    static char buffer[kResourcePathBuffer];
    int written = resolveDataPathWith(dataPath(), path ? path : "", buffer);
    if (length)
        *length = written;
    return buffer;
}

} // namespace glint
