// One name space over the archive "data.pak" and the loose files on disk.
//
// Callers give a path, usually made absolute by resolveDataPath. Whole-file
// loads and information queries ask the mounted archives first, then the
// disk; streams ask the disk first. Lookups run on the main thread.
#pragma once

#include "engine/resources/resource_file.h" // KResourceFile: an open file, owned by whoever opened it

#include <cstdint>

namespace glint {

// Result codes; 0 is success.
constexpr int K_RES_OK = 0;
constexpr int K_RES_ERR_UNSUPPORTED = 1000;
constexpr int K_RES_ERR_IO = 1002;
constexpr int K_RES_ERR_OPEN = 1003;
constexpr int K_RES_ERR_ARCHIVE = 1004;

struct KResourceEntryInfo {
    uint8_t isDirectory = 0;
    uint8_t inArchive = 0;
    int64_t modificationTime = 0; // seconds since 1970-01-01 UTC
    int32_t size = 0;
};


// Makes a game path absolute against the data path, in a static buffer that
// the next call overwrites. length, when given, receives its length.
const char* resolveDataPath(const char* path, int* length = nullptr);

void resourceInit();
int resourceMountArchive(const char* path);
bool resourceGetInfo(const char* path, KResourceEntryInfo* info);
// The whole file in a new buffer of size + 1 bytes whose last byte is 0,
// released by the caller with delete[].
bool resourceLoadFile(const char* path, char** data, int32_t* size);
void resourceShutdown();

// Called with every path the layer is asked about, found or not, so that a
// tool can learn which files a game reads; null stops it.
using KResourceLookupObserver = void (*)(const char* path, void* user);
void resourceSetLookupObserver(KResourceLookupObserver observer, void* user);

// Holds one open file; closes it when reopened, closed or destroyed.
class KResourceStream {
public:
    KResourceStream() = default;
    ~KResourceStream();
    KResourceStream(const KResourceStream&) = delete;
    KResourceStream& operator=(const KResourceStream&) = delete;

    // K_RES_OK or K_RES_ERR_OPEN.
    int open(const char* path);
    void close();
    KResourceFile* file() const { return file_; }

private:
    KResourceFile* file_ = nullptr;
};

} // namespace glint
