// Reading whole files through the resource layer. Text files go through a
// stream, so a loose file shadows the copy in "data.pak".
#include "resource/text_file.h"

#include "engine/resources/resource.h"
#include "engine/resources/resource_file.h"

namespace glint {

bool MTextFile::read(const char* path) {
    clear();
    KResourceStream stream;
    if (!path || stream.open(path) != K_RES_OK)
        return false;
    KResourceFile* file = stream.file();
    int32_t size = 0;
    if (file->seek(K_SEEK_END, 0) != K_RES_OK || file->tell(&size) != K_RES_OK || size < 0 ||
        file->seek(K_SEEK_SET, 0) != K_RES_OK)
        return false;
    allocate(size);
    if (file->read(data(), static_cast<uint32_t>(size)) != K_RES_OK) {
        clear();
        return false;
    }
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
