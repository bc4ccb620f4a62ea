// minizip's file functions over bytes in memory, so that an archive already
// in memory is read without a file (the authoring tool's checks, the
// fuzzing of the reader).
#pragma once

#include <cstddef>
#include <cstdint>
#include <minizip/ioapi.h>

namespace glint {

struct ZipMemorySource {
    const unsigned char* data = nullptr;
    uint64_t size = 0;
    uint64_t position = 0;
};

// Functions whose every stream is source; source must outlive the handle
// opened with them.
zlib_filefunc64_def zipMemoryFunctions(ZipMemorySource* source);

} // namespace glint
