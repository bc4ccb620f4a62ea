#include "resource/string_pool.h"

#include <algorithm>
#include <cstring>

namespace glint {

namespace {
constexpr size_t kChunkSize = 8192;
} // namespace

const char* MStringPool::add(const char* text) {
    size_t size = std::strlen(text) + 1;
    if (size > capacity_ - used_) {
        // A text longer than a chunk gets a chunk of its own.
        capacity_ = std::max(kChunkSize, size);
        chunks_.push_back(std::make_unique<char[]>(capacity_));
        used_ = 0;
    }
    char* copy = chunks_.back().get() + used_;
    std::memcpy(copy, text, size);
    used_ += size;
    return copy;
}

} // namespace glint
