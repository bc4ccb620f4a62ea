// An open file of one source (disk, tar entry or zip entry).
#pragma once

#include "engine/system/object.h"

#include <cstdint>

namespace glint {

// seek origins; any other value counts as from the start.
constexpr int K_SEEK_SET = 0;
constexpr int K_SEEK_CUR = 1;
constexpr int K_SEEK_END = 2;

class KResourceFile : public KObjectListable {
public:
    // Closes what the kind holds.
    ~KResourceFile() override = default;
    // Result code.
    virtual int seek(int origin, int32_t offset) = 0;
    // Stores the current position; result code.
    virtual int tell(int32_t* position) = 0;
    // Reads length bytes; K_RES_ERR_IO when fewer arrive (see each kind).
    virtual int read(void* buffer, uint32_t length) = 0;
};

// Position arithmetic of the in-archive kinds: 32-bit positions that never
// wrap, so a hostile offset cannot turn into a small one.
int32_t clampPosition(int64_t position);
int32_t seekTarget(int origin, int32_t offset, int32_t current, int32_t size);

} // namespace glint
