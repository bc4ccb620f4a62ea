// Reading whole files through the resource layer, which finds them in the
// mounted archives or on disk.
#include "resource/text_file.h"

#include "engine/resources/resource.h"

#include <cstring>

namespace glint {

bool MTextFile::read(const char* path) {
    clear();
    char* bytes = nullptr;
    int32_t size = 0;
    if (!path || !resourceLoadFile(path, &bytes, &size))
        return false;
    allocate(size);
    std::memcpy(data_.get(), bytes, static_cast<size_t>(size));
    delete[] bytes;
    return true;
}

bool MTextFile::loadBinary(const char* path) { return read(path); }

bool MTextFile::loadText(const char* path) {
    if (!read(path))
        return false;
    decodeMarks(path);
    return true;
}

} // namespace glint
