// What the manager holds in memory: so that a game's walk through its rooms
// can be checked to give back what the rooms it left had loaded.
#include "resource/resource_manager.h"

namespace glint {

namespace {

// Whether a resource counts as loaded, and adds it to its count.
bool count(const MResource* resource, LoadedResources& counts) {
    switch (resource->kind) {
    case ResourceKind::Texture: {
        const auto* texture = static_cast<const MTexture*>(resource);
        counts.images += texture->image != nullptr;
        return texture->isLoaded() && ++counts.textures;
    }
    case ResourceKind::SoundFile:
        return static_cast<const MSoundFile*>(resource)->isLoaded() && ++counts.sounds;
    case ResourceKind::Video:
        return static_cast<const MVideo*>(resource)->hasPlayer() && ++counts.videos;
    default: return false;
    }
}

} // namespace

LoadedResources MResourceManager::loaded(std::vector<const MResource*>* which) const {
    LoadedResources counts;
    for (const MResource* resource = first_; resource; resource = resource->next)
        if (count(resource, counts) && which)
            which->push_back(resource);
    return counts;
}

} // namespace glint
