#include "engine/resources/zip_memory.h"

#include <cstring>

namespace glint {

namespace {

ZipMemorySource& sourceOf(voidpf opaque) { return *static_cast<ZipMemorySource*>(opaque); }

voidpf ZCALLBACK openSource(voidpf opaque, const void*, int mode) {
    // Reading only: minizip asks for nothing else here.
    return (mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) == ZLIB_FILEFUNC_MODE_READ ? opaque : nullptr;
}

uLong ZCALLBACK readSource(voidpf opaque, voidpf, void* buffer, uLong size) {
    ZipMemorySource& source = sourceOf(opaque);
    uint64_t left = source.position < source.size ? source.size - source.position : 0;
    uLong count = left < size ? static_cast<uLong>(left) : size;
    if (count)
        std::memcpy(buffer, source.data + source.position, count);
    source.position += count;
    return count;
}

uLong ZCALLBACK writeSource(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZCALLBACK tellSource(voidpf opaque, voidpf) { return sourceOf(opaque).position; }

// Positions past the end are refused, as no file could be read there.
long ZCALLBACK seekSource(voidpf opaque, voidpf, ZPOS64_T offset, int origin) {
    ZipMemorySource& source = sourceOf(opaque);
    uint64_t base = origin == ZLIB_FILEFUNC_SEEK_CUR ? source.position
                    : origin == ZLIB_FILEFUNC_SEEK_END ? source.size
                                                       : 0;
    if (offset > source.size || base > source.size - offset)
        return -1;
    source.position = base + offset;
    return 0;
}

int ZCALLBACK closeSource(voidpf, voidpf) { return 0; }
int ZCALLBACK errorSource(voidpf, voidpf) { return 0; }

} // namespace

zlib_filefunc64_def zipMemoryFunctions(ZipMemorySource* source) {
    zlib_filefunc64_def functions{};
    functions.zopen64_file = openSource;
    functions.zread_file = readSource;
    functions.zwrite_file = writeSource;
    functions.ztell64_file = tellSource;
    functions.zseek64_file = seekSource;
    functions.zclose_file = closeSource;
    functions.zerror_file = errorSource;
    functions.opaque = source;
    return functions;
}

} // namespace glint
