#include "engine/video/theora_data_source.h"

#include <algorithm>
#include <cstring>

namespace glint {

uint32_t TheoraMemoryFileDataSource::read(void* buffer, uint32_t count) {
    uint64_t left = bytes_.size() - position_;
    uint32_t copied = static_cast<uint32_t>(std::min<uint64_t>(count, left));
    if (copied > 0)
        std::memcpy(buffer, bytes_.data() + position_, copied);
    position_ += copied;
    return copied;
}

void TheoraMemoryFileDataSource::seek(uint64_t position) { position_ = std::min<uint64_t>(position, bytes_.size()); }

} // namespace glint
