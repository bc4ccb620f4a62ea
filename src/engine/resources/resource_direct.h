// The disk as a source of files. Paths are UTF-8; on Linux they are opened
// as they are, relative ones against the working directory (the data path).
#pragma once

#include "engine/resources/resource_archive.h"

#include <cstdio>

namespace glint {

class KResourceArchiveDirect : public KResourceArchive {
public:
    // The disk is not opened: K_RES_ERR_UNSUPPORTED.
    int open(const char* path, int reserved, const char* password) override;
    // Folder listing is a system service; reports nothing.
    bool enumerate(const char* directory, EnumerateCallback callback, void* user) override;
    bool getInfo(const char* path, KResourceEntryInfo* info) override;
    KResourceFile* openFile(const char* path) override;
    bool loadFile(const char* path, char** data, int32_t* size) override;
    void listFiles(FileCallback callback, void* user) override;
};

class KResourceFileDirect : public KResourceFile {
public:
    // Takes ownership of stream (may be null).
    explicit KResourceFileDirect(std::FILE* stream) : stream_(stream) {}
    ~KResourceFileDirect() override;
    int seek(int origin, int32_t offset) override;
    int tell(int32_t* position) override;
    int read(void* buffer, uint32_t length) override;

private:
    std::FILE* stream_;
};

} // namespace glint
