// Tar archives (ustar, with GNU long names) read by our own walker. The
// directory tree is built once at open; entries are read through the
// archive's one stream.
#pragma once

#include "engine/resources/resource_archive.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace glint {

// The stream outlives the archive while files opened from it are still in use.
using SharedStream = std::shared_ptr<std::FILE>;

// One path component. Names are owned here: the engine layer keeps its own
// strings.
struct TarNode {
    std::string name;
    uint32_t dataOffset = 0; // header offset + 512; 0 for directories
    int32_t size = 0;
    int64_t modificationTime = 0;
    bool isDirectory = false;
    std::vector<std::unique_ptr<TarNode>> children; // insertion order
};

class KResourceArchiveTar : public KResourceArchive {
public:
    int open(const char* path, int reserved, const char* password) override;
    // The same over an archive in memory: data (size bytes) must outlive the
    // archive and every file opened from it; name only appears in the log.
    int openBytes(const void* data, size_t size, const char* name);
    bool enumerate(const char* directory, EnumerateCallback callback, void* user) override;
    bool getInfo(const char* path, KResourceEntryInfo* info) override;
    KResourceFile* openFile(const char* path) override;
    bool loadFile(const char* path, char** data, int32_t* size) override;
    void listFiles(FileCallback callback, void* user) override;

private:
    // Takes the stream (null when it could not be opened) and reads its entries.
    int start(std::FILE* file, const char* name);
    void walk(const char* path);
    bool addEntry(const char* path, bool directory, uint32_t dataOffset, int32_t size, int64_t mtime);
    const TarNode* find(const char* path) const;
    const TarNode* findFile(const char* path) const;

    SharedStream stream_;
    int64_t length_ = 0;
    TarNode root_;
};

class KResourceFileTar : public KResourceFile {
public:
    KResourceFileTar(SharedStream stream, uint32_t dataOffset, int32_t size)
        : stream_(std::move(stream)), dataOffset_(dataOffset), size_(size) {}
    int seek(int origin, int32_t offset) override;
    int tell(int32_t* position) override;
    int read(void* buffer, uint32_t length) override;

private:
    SharedStream stream_;
    uint32_t dataOffset_;
    int32_t size_;
    int32_t position_ = 0;
};

} // namespace glint
