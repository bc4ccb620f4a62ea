// What an open scene holds, and the savegame baseline of its elements.
#include "app/application.h"
#include "resource/resource_manager.h"
#include "scene/element.h"
#include "scene/scene.h"
#include "scene/scene_loader.h"
#include "scene/scene_registry.h"

namespace glint {

void holdElementResources(MResourceManager& resources, MElement& element) {
    const MImageAnim& image = element.visual->image;
    const bool visible = element.hasFlag(kElementVisible);
    if (MTexture* texture = image.texture; texture && !(element.held & kHeldTexture)) {
        TextureHolding holding = resources.textureHolding(texture);
        if (holding == TextureHolding::WhileOpen || (holding == TextureHolding::WhileVisible && visible)) {
            resources.acquire(texture, false);
            element.held |= kHeldTexture;
        }
    }
    if (image.movie && visible && !(element.held & kHeldMovie)) {
        resources.acquire(image.movie, false);
        element.held |= kHeldMovie;
    }
}

void releaseElementResources(MResourceManager& resources, MElement& element) {
    const MImageAnim& image = element.visual->image;
    if ((element.held & kHeldTexture) && image.texture)
        resources.release(image.texture);
    if ((element.held & kHeldMovie) && image.movie)
        resources.release(image.movie);
    element.held = 0;
}

namespace {

template <class Action> void forZoomZones(const MScene& scene, const SceneLoadContext& context, Action action) {
    for (MScene* child : context.registry.scenes())
        if (child->parent == &scene && child->flags.zoomZone && child != &scene)
            action(*child);
}

} // namespace

void MScene::acquireResources(const SceneLoadContext& context) {
    if (resourcesHeld)
        return;
    resourcesHeld = true;
    holder = &context.resources;
    for (MElement* element : elements) holdElementResources(context.resources, *element);
    if (context.hooks.holdSounds)
        context.hooks.holdSounds(*this, true);
    forZoomZones(*this, context, [&](MScene& child) { child.acquireResources(context); });
}

void MScene::releaseResources(const SceneLoadContext& context) {
    if (!resourcesHeld)
        return;
    resourcesHeld = false;
    holder = nullptr;
    for (MElement* element : elements) releaseElementResources(context.resources, *element);
    if (context.hooks.holdSounds)
        context.hooks.holdSounds(*this, false);
    forZoomZones(*this, context, [&](MScene& child) { child.releaseResources(context); });
}

void MScene::snapshotFlags() {
    constexpr uint32_t kBaselineBits = 0x1FFF0000;
    for (MElement* e : elements) {
        uint32_t bits = 0;
        auto set = [&bits](int bit, bool condition) {
            if (condition)
                bits |= 1u << bit;
        };
        set(16, e->hasFlag(kElementVisible));
        set(17, e->hasFlag(kElementActive));
        set(18, e->hasFlag(kElementTinted));
        set(19, e->timeControl != nullptr);
        set(20, e->imageSource != nullptr);
        set(21, e->sizeOverride != nullptr);
        set(22, e->scale != nullptr);
        set(23, e->offset != nullptr);
        set(24, e->charsCount != 0);
        set(25, e->charsSpeed != 0);
        set(26, e->hotspot != nullptr);
        set(27, e->alpha != kOpaque);
        set(28, e->cropElement != nullptr);
        e->flags = (e->flags & ~kBaselineBits) | bits;
    }
}

} // namespace glint
