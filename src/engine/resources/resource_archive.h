// A source of files: the disk, or an archive mounted in the resource layer.
#pragma once

#include "engine/resources/resource.h"
#include "engine/resources/resource_file.h"
#include "engine/system/object.h"

#include <cstdint>

namespace glint {

// Longest path a lookup keeps; longer ones are cut.
constexpr int kResourcePathMax = 259;

// Encrypted zip entries of "data.pak" use this password; the authoring tool
// builds them with the same one.
inline constexpr char kResourceArchivePassword[] = "Gl1ntPak";

class KResourceArchive : public KObjectListable {
public:
    // Called for each child; returning false stops the enumeration.
    using EnumerateCallback = bool (*)(const char* name, bool isDirectory, void* user);
    // Called for each file entry with its full archive path and size.
    using FileCallback = void (*)(const char* path, int32_t size, void* user);

    ~KResourceArchive() override = default;
    // reserved is always 0; password is used by the zip kind only. Result code.
    virtual int open(const char* path, int reserved, const char* password) = 0;
    // Reports the direct children of a directory; false if the callback stopped it.
    virtual bool enumerate(const char* directory, EnumerateCallback callback, void* user) = 0;
    virtual bool getInfo(const char* path, KResourceEntryInfo* info) = 0;
    // A new file owned by the caller, or null.
    virtual KResourceFile* openFile(const char* path) = 0;
    // A new buffer of size + 1 bytes ending in 0, released with delete[].
    virtual bool loadFile(const char* path, char** data, int32_t* size) = 0;
    // Every file entry, for the authoring tool's listing; the disk has none.
    virtual void listFiles(FileCallback callback, void* user) = 0;
};

// Opens path as a zip archive, else as a tar archive; null when neither
// opens. The caller owns the result.
KResourceArchive* resourceOpenArchive(const char* path);

// When on, the lookups log which source served each file.
void resourceSetTracing(bool on);

} // namespace glint
