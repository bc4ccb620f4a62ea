#include "engine/resources/resource_direct.h"

#include <climits>
#include <new>
#include <sys/stat.h>

namespace glint {

namespace {

constexpr size_t kLoadBufferSize = 64 * 1024;

// Only regular files open: a folder opens on Linux but reads nothing
// sensible, and a lookup that "finds" it would hide the archive's copy.
std::FILE* openRegular(const char* path) {
    std::FILE* stream = std::fopen(path, "rb");
    if (!stream)
        return nullptr;
    struct stat status {};
    if (fstat(fileno(stream), &status) != 0 || !S_ISREG(status.st_mode)) {
        std::fclose(stream);
        return nullptr;
    }
    return stream;
}

int stdioOrigin(int origin) {
    if (origin == K_SEEK_CUR)
        return SEEK_CUR;
    if (origin == K_SEEK_END)
        return SEEK_END;
    return SEEK_SET;
}

} // namespace

int KResourceArchiveDirect::open(const char*, int, const char*) { return K_RES_ERR_UNSUPPORTED; }

bool KResourceArchiveDirect::enumerate(const char*, EnumerateCallback, void*) { return true; }

void KResourceArchiveDirect::listFiles(FileCallback, void*) {}

bool KResourceArchiveDirect::getInfo(const char* path, KResourceEntryInfo* info) {
    struct stat status {};
    if (stat(path, &status) != 0)
        return false;
    info->isDirectory = S_ISDIR(status.st_mode) ? 1 : 0;
    info->inArchive = 0;
    info->modificationTime = static_cast<int64_t>(status.st_mtime);
    info->size = status.st_size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(status.st_size);
    return true;
}

KResourceFile* KResourceArchiveDirect::openFile(const char* path) {
    std::FILE* stream = openRegular(path);
    return stream ? new KResourceFileDirect(stream) : nullptr;
}

bool KResourceArchiveDirect::loadFile(const char* path, char** data, int32_t* size) {
    std::FILE* stream = openRegular(path);
    if (!stream)
        return false;
    std::setvbuf(stream, nullptr, _IOFBF, kLoadBufferSize);
    bool loaded = false;
    long length = -1;
    if (std::fseek(stream, 0, SEEK_END) == 0)
        length = std::ftell(stream);
    if (length >= 0 && length < INT32_MAX && std::fseek(stream, 0, SEEK_SET) == 0) {
        char* buffer = new (std::nothrow) char[static_cast<size_t>(length) + 1];
        if (buffer && std::fread(buffer, 1, static_cast<size_t>(length), stream) == static_cast<size_t>(length)) {
            buffer[length] = 0;
            *data = buffer;
            *size = static_cast<int32_t>(length);
            loaded = true;
        } else {
            delete[] buffer;
        }
    }
    std::fclose(stream);
    return loaded;
}

KResourceFileDirect::~KResourceFileDirect() {
    if (stream_)
        std::fclose(stream_);
}

int KResourceFileDirect::seek(int origin, int32_t offset) {
    if (!stream_ || std::fseek(stream_, offset, stdioOrigin(origin)) != 0)
        return K_RES_ERR_IO;
    return K_RES_OK;
}

int KResourceFileDirect::tell(int32_t* position) {
    if (!stream_)
        return K_RES_ERR_IO;
    long at = std::ftell(stream_);
    if (at < 0 || at > INT32_MAX)
        return K_RES_ERR_IO;
    *position = static_cast<int32_t>(at);
    return K_RES_OK;
}

int KResourceFileDirect::read(void* buffer, uint32_t length) {
    if (!stream_)
        return length == 0 ? K_RES_OK : K_RES_ERR_IO;
    size_t got = std::fread(buffer, 1, length, stream_);
    return got == length ? K_RES_OK : K_RES_ERR_IO;
}

} // namespace glint
