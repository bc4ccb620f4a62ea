// Copies of texts that live as long as the pool, packed into large chunks so
// that thousands of resource paths cost a handful of allocations.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace glint {

class MStringPool {
public:
    MStringPool() = default;
    MStringPool(const MStringPool&) = delete;
    MStringPool& operator=(const MStringPool&) = delete;

    // A zero-terminated copy of text, valid until the pool is destroyed.
    const char* add(const char* text);

private:
    std::vector<std::unique_ptr<char[]>> chunks_;
    size_t used_ = 0;
    size_t capacity_ = 0;
};

} // namespace glint
