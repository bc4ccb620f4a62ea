// The archive readers over arbitrary bytes: the input becomes a file on
// disk (the readers work on paths), is opened as a zip and as a tar, and
// every entry either kind claims is listed, loaded and read as a stream.
#include "engine/resources/resource_archive.h"
#include "engine/resources/resource_tar.h"
#include "engine/resources/resource_zip.h"
#include "engine/system/log.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

using namespace glint;

namespace {

// One scratch file per fuzzing process, removed at exit. TMPDIR may point
// at a memory file system: every input is written there once.
const std::string& scratchPath() {
    static const std::string path = [] {
        const char* folder = std::getenv("TMPDIR");
        std::string name = std::string(folder && *folder ? folder : "/tmp") + "/glint-fuzz-archive-XXXXXX";
        int fd = mkstemp(name.data());
        if (fd < 0)
            std::abort();
        close(fd);
        std::atexit([] { unlink(scratchPath().c_str()); });
        return name;
    }();
    return path;
}

bool writeScratch(const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(scratchPath().c_str(), "wb");
    if (!file)
        return false;
    bool ok = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && ok;
}

void collectName(const char* path, int32_t, void* user) { static_cast<std::vector<std::string>*>(user)->push_back(path); }
bool keepGoing(const char*, bool, void*) { return true; }

void readAsStream(KResourceArchive& archive, const char* name) {
    std::unique_ptr<KResourceFile> file(archive.openFile(name));
    if (!file)
        return;
    char buffer[512];
    int32_t position = 0;
    file->read(buffer, sizeof buffer);
    file->seek(K_SEEK_END, -17);
    file->tell(&position);
    file->read(buffer, sizeof buffer);
    file->seek(K_SEEK_CUR, -1000);
    file->read(buffer, 3);
}

void exercise(KResourceArchive& archive) {
    std::vector<std::string> names;
    archive.listFiles(collectName, &names);
    archive.enumerate("", keepGoing, nullptr);
    archive.enumerate("data", keepGoing, nullptr);
    for (const std::string& name : names) {
        KResourceEntryInfo info;
        archive.getInfo(name.c_str(), &info);
        char* data = nullptr;
        int32_t size = 0;
        if (archive.loadFile(name.c_str(), &data, &size)) {
            // The loader's promise: size bytes and a terminating 0.
            if (size < 0 || data[size] != 0)
                std::abort();
            delete[] data;
        }
        readAsStream(archive, name.c_str());
    }
}

template <typename Archive> void tryKind(const char* password) {
    Archive archive;
    if (archive.open(scratchPath().c_str(), 0, password) == K_RES_OK)
        exercise(archive);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!writeScratch(data, size))
        return 0;
    clearMemoryLog();
    tryKind<KResourceArchiveZip>(kResourceArchivePassword);
    tryKind<KResourceArchiveTar>(nullptr);
    return 0;
}
