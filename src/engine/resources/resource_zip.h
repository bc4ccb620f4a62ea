// Zip archives through minizip. The central directory is read once at open;
// each entry keeps its directory position so that it is selected again
// without a scan, and is decompressed whole when opened.
#pragma once

#include "engine/resources/resource_archive.h"
#include "engine/resources/zip_memory.h"

#include <memory>
#include <minizip/unzip.h>
#include <vector>

namespace glint {

struct ZipEntry {
    char name[kResourcePathMax + 1];
    int nameLength;
    bool isDirectory;
    unz_file_info info;
    unz_file_pos position;
};

class KResourceArchiveZip : public KResourceArchive {
public:
    ~KResourceArchiveZip() override;
    int open(const char* path, int reserved, const char* password) override;
    // The same over an archive in memory: data (size bytes) must outlive the
    // archive; name only appears in the log.
    int openBytes(const void* data, size_t size, const char* name, const char* password);
    bool enumerate(const char* directory, EnumerateCallback callback, void* user) override;
    bool getInfo(const char* path, KResourceEntryInfo* info) override;
    KResourceFile* openFile(const char* path) override;
    bool loadFile(const char* path, char** data, int32_t* size) override;
    void listFiles(FileCallback callback, void* user) override;

private:
    void close();
    // After the handle is open: keeps the password and reads the directory.
    int readDirectory(const char* name, const char* password);
    const ZipEntry* find(const char* path) const;
    // The whole entry in a new buffer of size + 1 bytes ending in 0.
    char* decompress(const ZipEntry& entry);
    bool readPlain(const ZipEntry& entry, char* buffer);
    bool readEncrypted(const ZipEntry& entry, char* buffer);

    unzFile handle_ = nullptr;
    char password_[256] = {};
    int64_t archiveLength_ = 0;
    ZipMemorySource memory_;
    std::vector<ZipEntry> entries_;
};

class KResourceFileZip : public KResourceFile {
public:
    KResourceFileZip(char* data, int32_t size) : data_(data), size_(size) {}
    int seek(int origin, int32_t offset) override;
    int tell(int32_t* position) override;
    int read(void* buffer, uint32_t length) override;

private:
    std::unique_ptr<char[]> data_;
    int32_t size_;
    int32_t position_ = 0;
};

} // namespace glint
