// The archive readers over arbitrary bytes: the input is opened in memory as
// a zip and as a tar (no file is written, so a run is not bound by the
// kernel), and every entry either kind claims is listed, loaded and read as
// a stream.
#include "engine/resources/resource_archive.h"
#include "engine/resources/resource_tar.h"
#include "engine/resources/resource_zip.h"
#include "engine/system/log.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace glint;

namespace {

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


} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    clearMemoryLog();
    {
        KResourceArchiveZip zip;
        if (zip.openBytes(data, size, "fuzz.zip", kResourceArchivePassword) == K_RES_OK)
            exercise(zip);
    }
    KResourceArchiveTar tar;
    if (tar.openBytes(data, size, "fuzz.tar") == K_RES_OK)
        exercise(tar);
    return 0;
}
