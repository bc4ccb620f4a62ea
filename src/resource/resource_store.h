// The objects of one resource kind: allocated 100 at a time and never moved
// or freed before the store dies, with a fixed index of 100 path buckets.
#pragma once

#include "resource/resource.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace glint {

constexpr int kResourceBlockSize = 100;
constexpr int kResourcePathBuckets = 100;

// The path-index bucket of a path (SuperFastHash of its bytes).
uint32_t resourcePathBucket(const char* path);

// Chains of one kind's resources by path bucket; new entries go to the head.
class MResourceIndex {
public:
    MResource* find(const char* path, uint32_t bucket) const;
    void add(MResource* resource, uint32_t bucket);

private:
    std::array<MResource*, kResourcePathBuckets> heads_{};
};

template <class T>
class MResourceStore {
public:
    explicit MResourceStore(ResourceKind kind) : kind(kind) {}
    ~MResourceStore() { clear(); }
    MResourceStore(const MResourceStore&) = delete;
    MResourceStore& operator=(const MResourceStore&) = delete;

    // A new object constructed with path (which must outlive it).
    T* create(const char* path) {
        if (count_ % kResourceBlockSize == 0)
            blocks_.push_back(std::allocator<T>().allocate(kResourceBlockSize));
        T* object = std::construct_at(blocks_.back() + count_ % kResourceBlockSize, path);
        ++count_;
        return object;
    }

    // Destroys every object, in creation order, and frees the blocks.
    void clear() {
        for (int i = 0; i < count_; ++i) std::destroy_at(at(i));
        for (T* block : blocks_) std::allocator<T>().deallocate(block, kResourceBlockSize);
        blocks_.clear();
        count_ = 0;
        index = MResourceIndex();
    }

    int size() const { return count_; }
    T* at(int i) const { return blocks_[i / kResourceBlockSize] + i % kResourceBlockSize; }

    const ResourceKind kind;
    MResourceIndex index;

private:
    std::vector<T*> blocks_;
    int count_ = 0;
};

} // namespace glint
