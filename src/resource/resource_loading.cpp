// Reference counting, the load queue and the holding rules of the manager.
#include "resource/resource_manager.h"

#include "engine/system/log.h"

#include <limits>

namespace glint {

namespace {

MTexture* atlasParentOf(MResource* resource) {
    return resource->kind == ResourceKind::Texture ? static_cast<MTexture*>(resource)->atlasParent : nullptr;
}

// The resource whose contents a holder of resource actually uses.
MResource* contentsOf(MResource* resource) {
    while (MTexture* parent = atlasParentOf(resource)) resource = parent;
    return resource;
}

// Configurations trace their own loads, since the application also loads
// some of them without the manager.
bool managerTraces(const MResource* resource) {
    return resourceTraceEnabled() && resource->kind != ResourceKind::Configuration;
}

void warnUnheld(const MResource* resource) {
    debugTrace("WARNING: release of %s, which nobody holds", resource->path);
}

} // namespace

void MResourceManager::acquire(MResource* resource, bool immediate) {
    if (!resource)
        return;
    if (resource->kind == ResourceKind::ParticleSystem)
        holdImage(static_cast<MParticleSystem*>(resource), immediate);
    for (MResource* holder = resource;;) {
        if (++holder->refCount > 1) {
            // A caller that needs the contents now must not wait for the
            // drain of a load somebody else queued.
            if (immediate)
                loadIfQueued(contentsOf(holder));
            return;
        }
        MTexture* page = atlasParentOf(holder);
        if (!page) {
            resource = holder;
            break;
        }
        holder->state |= kResourceCounted;
        holder = page;
    }
    if (!immediate && (deferLoads_ || mode_ == kLoadModeQueue)) {
        resource->state |= kResourceQueued | kResourceCounted;
        return;
    }
    loadNow(resource);
    if (resource->kind == ResourceKind::ParticleSystem)
        holdLoadedImage(static_cast<MParticleSystem*>(resource));
}

void MResourceManager::release(MResource* resource) {
    if (!resource)
        return;
    if (resource->refCount <= 0) {
        warnUnheld(resource);
        return;
    }
    if (resource->kind == ResourceKind::ParticleSystem)
        releaseImage(static_cast<MParticleSystem*>(resource));
    while (--resource->refCount <= 0) {
        bool neverLoaded = resource->state & kResourceQueued;
        resource->state &= ~(kResourceQueued | kResourceCounted);
        MTexture* page = atlasParentOf(resource);
        if (!page) {
            if (!neverLoaded)
                unloadNow(resource);
            return;
        }
        if (page->refCount <= 0) {
            warnUnheld(page);
            return;
        }
        resource = page;
    }
}

bool MResourceManager::loadQueued(int maxPerStep, int* finished) {
    int counted = 0;
    for (MResource* resource = drained_ ? drained_->next : first_; resource; resource = resource->next) {
        drained_ = resource;
        if (resource->state & kResourceQueued) {
            resource->state &= ~kResourceQueued;
            loadNow(resource);
        }
        if (resource->state & kResourceCounted) {
            resource->state &= ~kResourceCounted;
            if (++counted > maxPerStep) {
                if (finished)
                    *finished = counted;
                return false;
            }
        }
    }
    if (finished)
        *finished = counted;
    mode_ = kLoadModeImmediate;
    return true;
}

// From the head: resources queued outside a loading sequence may sit
// anywhere in the list, before the point the last sequence reached.
void MResourceManager::loadAllQueued() {
    drained_ = nullptr;
    loadQueued(std::numeric_limits<int>::max());
}

void MResourceManager::beginLoadingSequence() {
    mode_ = kLoadModeDrain;
    drained_ = nullptr;
}

TextureHolding MResourceManager::textureHolding(const MTexture* texture) const {
    if (!texture)
        return TextureHolding::None;
    if (texture->dynamic)
        return TextureHolding::WhileVisible;
    if (texture->lazy && mode_ == kLoadModeImmediate)
        return TextureHolding::None;
    return TextureHolding::WhileOpen;
}

void MResourceManager::holdImage(MParticleSystem* system, bool immediate) {
    if (system->imageHeld)
        return;
    if (system->image.movie) {
        acquire(system->image.movie, immediate);
        system->imageHeld |= kImageHeldMovie;
    }
    if (textureHolding(system->image.texture) != TextureHolding::None) {
        acquire(system->image.texture, immediate);
        system->imageHeld |= kImageHeldTexture;
    }
}

// A system names its image only once its file is read, after the holding
// rule above ran without it; and a system is read because an element is
// about to draw it, so its image loads now whatever its laziness.
void MResourceManager::holdLoadedImage(MParticleSystem* system) {
    if (system->imageHeld)
        return;
    if (system->image.movie) {
        acquire(system->image.movie, true);
        system->imageHeld |= kImageHeldMovie;
    }
    if (system->image.texture) {
        acquire(system->image.texture, true);
        system->imageHeld |= kImageHeldTexture;
    }
}

void MResourceManager::releaseImage(MParticleSystem* system) {
    if (system->imageHeld & kImageHeldMovie)
        release(system->image.movie);
    if (system->imageHeld & kImageHeldTexture)
        release(system->image.texture);
    system->imageHeld = 0;
}

void MResourceManager::loadNow(MResource* resource) {
    if (managerTraces(resource))
        debugTrace("LOAD %s", resource->path);
    resource->load();
}

void MResourceManager::loadIfQueued(MResource* resource) {
    if (!(resource->state & kResourceQueued))
        return;
    resource->state &= ~kResourceQueued;
    loadNow(resource);
}

void MResourceManager::unloadNow(MResource* resource) {
    if (managerTraces(resource))
        debugTrace("UNLOAD %s", resource->path);
    resource->unload();
}

} // namespace glint
