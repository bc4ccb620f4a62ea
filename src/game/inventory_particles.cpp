#include "game/inventory_particles.h"

#include "game/inventory.h"
#include "game/inventory_item.h"
#include "scene/element.h"
#include "scene/particle_effects.h"
#include "scene/particle_instance.h"

namespace glint {

namespace {

// A looping instance of element's system, placed by the item rather than
// by an owner.
MParticleInstance* hoverInstanceOf(MElement* element) {
    if (!element || !element->visual)
        return nullptr;
    MParticleInstance* instance = takeParticleInstance(element->visual->particleSystem);
    if (!instance)
        return nullptr;
    instance->source = element;
    instance->scene = element->owner();
    instance->loop = 1;
    instance->start();
    return instance;
}

// The instance follows the item's hover_ps (or hover_front_ps) property:
// a script that names another element gets a new instance.
void follow(MParticleInstance*& instance, MElement* element) {
    if (instance && instance->source == element)
        return;
    giveBackParticleInstance(instance);
    instance = hoverInstanceOf(element);
}

void startHover(InventoryItem& item) {
    follow(item.hoverInstance, item.hoverPs);
    follow(item.hoverFrontInstance, item.hoverFrontPs);
}

void moveHover(InventoryItem& item, bool emitting) {
    startHover(item);
    for (MParticleInstance* instance : {item.hoverInstance, item.hoverFrontInstance}) {
        if (!instance)
            continue;
        instance->offsetX = static_cast<float>(item.x);
        instance->offsetY = static_cast<float>(item.y);
        instance->update(emitting ? 2 : 0);
    }
}

void drawHover(InventoryItem& item, bool front, float alpha) {
    if (MParticleInstance* instance = front ? item.hoverFrontInstance : item.hoverInstance)
        instance->draw(alpha);
}

} // namespace

void installInventoryParticles(MInventory& inventory) {
    inventory.hooks.startHoverParticles = startHover;
    inventory.hooks.moveHoverParticles = moveHover;
    inventory.hooks.drawHoverParticles = drawHover;
    inventory.hooks.advanceFreeEffects = advanceFreeEffects;
}

void releaseInventoryParticles(MInventory& inventory) {
    for (auto& item : inventory.items) {
        giveBackParticleInstance(item->hoverInstance);
        giveBackParticleInstance(item->hoverFrontInstance);
        item->hoverInstance = item->hoverFrontInstance = nullptr;
    }
}

} // namespace glint
