#include "engine/resources/resource_file.h"

#include <climits>

namespace glint {

int32_t clampPosition(int64_t position) {
    if (position > INT32_MAX)
        return INT32_MAX;
    if (position < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(position);
}

int32_t seekTarget(int origin, int32_t offset, int32_t current, int32_t size) {
    int64_t base = 0;
    if (origin == K_SEEK_CUR)
        base = current;
    else if (origin == K_SEEK_END)
        base = size;
    return clampPosition(base + offset);
}

} // namespace glint
