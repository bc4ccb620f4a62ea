#include "resource/resource_store.h"

#include "script/symbol.h"

#include <cstring>

namespace glint {

uint32_t resourcePathBucket(const char* path) {
    return superFastHash(path, static_cast<int>(std::strlen(path))) % kResourcePathBuckets;
}

MResource* MResourceIndex::find(const char* path, uint32_t bucket) const {
    for (MResource* resource = heads_[bucket]; resource; resource = resource->hashNext) {
        if (std::strcmp(resource->path, path) == 0)
            return resource;
    }
    return nullptr;
}

void MResourceIndex::add(MResource* resource, uint32_t bucket) {
    resource->hashNext = heads_[bucket];
    heads_[bucket] = resource;
}

} // namespace glint
