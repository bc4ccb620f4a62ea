// Starting a flight: where the picture starts (the found element, seen
// through its scene's camera) and where it lands (the item's slot, its
// holder, or a target element).
#include "game/picking.h"

#include "game/inventory.h"
#include "resource/texture.h"
#include "scene/element.h"
#include "scene/particle_instance.h"
#include "scene/scene.h"
#include "scene/scene_registry.h"
#include "script/symbol.h"

namespace glint {

namespace {

MElement* elementIn(const Value* value) {
    return value && value->is(ValueType::Element) && value->pointer
               ? dynamic_cast<MElement*>(value->as<ScriptElement>())
               : nullptr;
}

InventoryItem* itemIn(const Value* value) {
    return value && value->is(ValueType::Item) && value->pointer ? dynamic_cast<InventoryItem*>(value->as<ScriptItem>())
                                                                 : nullptr;
}

// The element's point and size as its scene's camera shows them.
PickingPose onScreen(const MElement& element, float width, float height) {
    PickingPose pose{element.absX, element.absY, width, height, element.pivotX, element.pivotY, 0};
    if (const MScene* scene = element.owner()) {
        const SceneCamera& c = scene->camera;
        pose.x = (pose.x - c.halfW + c.offsetX) * c.scaleX + c.halfW + c.shiftX;
        pose.y = (pose.y - c.halfH + c.offsetY) * c.scaleY + c.halfH + c.shiftY;
        pose.width *= c.scaleX;
        pose.height *= c.scaleY;
    }
    return pose;
}

PickingPose placeOf(const MElement& element) {
    return {element.absX, element.absY, element.absW, element.absH, element.pivotX, element.pivotY, 0};
}

// The set the version names, else the item's own.
const ItemImageSet* imageSetNamed(const InventoryItem& item, Symbol* version) {
    for (const auto& set : item.imageSets)
        if (version && set->name == version)
            return set.get();
    return item.defaultImageSet.get();
}

// What an element shows now: its image source's picture when it has one.
MTexture* pictureOf(const MElement& element) {
    const MElement& shown = element.imageSource ? *element.imageSource : element;
    return shown.visual ? shown.visual->image.texture : nullptr;
}

} // namespace

void MPicking::start(const PickingRequest& request) {
    if (!request.element)
        return;
    PickingAnimation* a = pool_.create();
    InventoryItem* item = itemIn(request.element->members.get(sym::item()));
    const bool started = item ? startItemFlight(*a, request, *item) : startPlainFlight(*a, request);
    if (!started) {
        pool_.release(a);
        return;
    }
    a->arc = request.arc;
    a->growth = request.growth;
    a->fade = request.fade;
    a->phase = request.phase;
    a->ticks = 0;
    for (int i = 0; i < 2; ++i)
        a->arrivals[i] = request.arrivals[i];
    startTrails(*a, request);
    running_.push_back(a);
}

bool MPicking::startItemFlight(PickingAnimation& a, const PickingRequest& request, InventoryItem& item) {
    if (item.totalCount == item.usedCount)
        return false; // every piece is used up: nothing left to find
    ++item.pendingPicks;
    inventory_.changeCount(item, 1, 0, -1);
    if (!item.holder)
        inventory_.forcePositionByItem = item.cell;
    a.item = &item;
    if (const ItemImageSet* set = imageSetNamed(item, request.version))
        a.texture = set->picture(0, kItemPicture);
    a.start = onScreen(*request.element, static_cast<float>(item.width), static_cast<float>(item.height));
    if (const MElement* holder = item.holder) {
        a.target = placeOf(*holder);
    } else {
        a.target = {static_cast<float>(item.restX), static_cast<float>(item.restY), static_cast<float>(item.width),
                    static_cast<float>(item.height), 0.5f, 0.5f, 0};
        a.start.pivotX = a.start.pivotY = 0.5f;
    }
    return true;
}

bool MPicking::startPlainFlight(PickingAnimation& a, const PickingRequest& request) {
    if (!request.target)
        return false;
    const MElement& element = *request.element;
    MElement* picture = elementIn(element.members.get(sym::Picking_image()));
    if (!picture)
        picture = request.element;
    a.texture = pictureOf(*picture);
    a.start = onScreen(element, 0, 0);
    a.start.width = picture->absW;
    a.start.height = picture->absH;
    a.start.angle = element.absAngle;
    a.target = placeOf(*request.target);
    return true;
}

// The trails emit in the "hud" scene, from where the picture starts.
void MPicking::startTrails(PickingAnimation& a, const PickingRequest& request) {
    for (int i = 0; i < 2; ++i) {
        const MElement* source = request.trails[i];
        MParticleInstance* trail =
            source && source->visual ? takeParticleInstance(source->visual->particleSystem) : nullptr;
        if (!trail)
            continue;
        trail->scene = scenes_.hud;
        trail->source = const_cast<MElement*>(source);
        trail->start();
        trail->offsetX = a.start.x;
        trail->offsetY = a.start.y;
        a.trails[i] = trail;
    }
}

} // namespace glint
