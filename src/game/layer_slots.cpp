// Layers opening and closing over the play scene: zoom zones grow out of
// their zoom element, item scenes and sub-scenes fade in their layer, and a
// scene opened over another waits until that one has closed.
#include "game/navigation.h"

#include "game/navigation_steps.h"
#include "resource/resource_manager.h"
#include "scene/activity.h"
#include "scene/element.h"
#include "scene/scene.h"
#include "script/interpreter.h"

#include <cmath>

namespace glint {

namespace {

float numberOf(const Value& value) { return value.isNumber() ? static_cast<float>(value.number) : 0; }

} // namespace

bool MNavigation::isGameplayPlay() const { return playScene && playScene->flags.gameplay; }

const LayerSlot* MNavigation::itemSlot() const {
    if (!isGameplayPlay())
        return nullptr;
    int index = playScene->district;
    return index >= 0 && index < kItemSlots ? &itemSlots[index] : nullptr;
}

LayerSlot* MNavigation::itemSlot() {
    return const_cast<LayerSlot*>(static_cast<const MNavigation*>(this)->itemSlot());
}

bool MNavigation::itemSceneShown(const MScene* scene) const {
    const LayerSlot* slot = itemSlot();
    return scene && slot && slot->scene == scene && (slot->idle() || (slot->state == kSlotClosing && slotLock));
}

void MNavigation::openScene(MScene* scene) {
    if (!scene)
        return;
    if (scene->flags.zoomZone) {
        if (scene->parent)
            openSlot(scene->parent->zoomSlot, scene);
        return;
    }
    if (scene->flags.item) {
        if (LayerSlot* slot = itemSlot())
            openSlot(*slot, scene);
        return;
    }
    // Layers outside the ten slots have none: they are clamped to the stack.
    int64_t layer = scene->cells.layer.isNumber() ? roundToInteger(scene->cells.layer.number) : 0;
    LayerSlot& slot = subSlots[layer < 0 ? 0 : layer >= kSubSceneSlots ? kSubSceneSlots - 1 : layer];
    if (slot.scene != scene)
        openSlot(slot, scene);
}

void MNavigation::closeTop(float seconds) {
    int32_t ticks = secondsToTicks(Value::fromNumber(seconds));
    for (int layer = kSubSceneSlots - 1; layer >= 0; --layer) {
        if (subSlots[layer].shows() && subSlots[layer].idle()) {
            closeSlot(subSlots[layer], false, ticks);
            return;
        }
    }
    if (LayerSlot* slot = itemSlot(); slot && slot->shows()) {
        closeSlot(*slot, false, ticks);
        return;
    }
    if (playScene && playScene->zoomSlot.shows())
        closeSlot(playScene->zoomSlot, false, ticks);
}

void MNavigation::openSlot(LayerSlot& slot, MScene* scene) {
    if (!scene || slot.scene == scene)
        return;
    host_.dropTakenObject();
    slot.nextScene = scene;
    slot.step = 0;
    if (slot.shows()) {
        slot.state = kSlotClosing;
        slot.steps = sceneTicks(slot.scene->cells.closeTime, 1);
    } else {
        slot.state = kSlotOpening;
        slot.steps = sceneTicks(scene->cells.openTime, 1);
    }
    slotLock = true;
    sceneActivity().add({nullptr, ActivityKind::Open, scene->name, nullptr, nullptr});
}

void MNavigation::closeSlot(LayerSlot& slot, bool immediate, int32_t ticks) {
    if (!slot.scene)
        return;
    callOnClose(*slot.scene);
    if (immediate) {
        host_.stopSceneSounds(*slot.scene);
        slot = LayerSlot{};
        return;
    }
    slot.state = kSlotClosing;
    slot.step = 0;
    slot.steps = ticks >= 1 ? ticks : sceneTicks(slot.scene->cells.closeTime, 50);
    slotLock = true;
    sceneActivity().add({nullptr, ActivityKind::Close, slot.scene->name, nullptr, nullptr});
}

void MNavigation::startOpening(LayerSlot& slot) {
    MScene& scene = *slot.scene;
    scene.cells.isOpened = Value::fromNumber(1);
    raise(scene.entry.open);
    scene.resetTimers();
    SceneLoadContext context = host_.loadContext();
    scene.load(context);
    scene.prepare(context);
    scene.acquireResources(context);
}

void MNavigation::startClosing(LayerSlot& slot) {
    raise(slot.scene->entry.close);
    host_.hideInventory();
}

void MNavigation::finishClosing(LayerSlot& slot) {
    MScene& scene = *slot.scene;
    raise(scene.entry.closed);
    host_.stopSceneSounds(scene);
    scene.cells.isOpened = Value::fromNumber(0);
    scene.releaseResources(host_.loadContext());
}

void MNavigation::updateSlot(LayerSlot& slot) {
    if (slot.state == kSlotOpening) {
        if (slot.nextScene) {
            slot.scene = slot.nextScene;
            slot.nextScene = nullptr;
        }
        if (slot.step == 0)
            startOpening(slot);
        ++slot.step;
        if (slot.step < slot.steps) {
            slot.visibility = static_cast<float>(slot.step) / static_cast<float>(slot.steps);
        } else {
            raise(slot.scene->entry.opened);
            slot.visibility = 1;
            slot.state = kSlotIdle;
        }
    } else if (slot.state == kSlotClosing && slot.scene) {
        if (slot.step == 0)
            startClosing(slot);
        ++slot.step;
        if (slot.step < slot.steps) {
            slot.visibility = 1 - static_cast<float>(slot.step) / static_cast<float>(slot.steps);
        } else if (slot.step == slot.steps) {
            slot.visibility = 0;
            finishClosing(slot);
        } else {
            MScene* queued = slot.nextScene;
            slot = LayerSlot{};
            if (queued) {
                slot.scene = queued;
                slot.state = kSlotOpening;
                slot.step = 1;
                slot.steps = sceneTicks(queued->cells.openTime, 1);
                startOpening(slot);
            }
        }
    }
    if (slot.shows())
        zoomAnimation(slot);
}

void MNavigation::updateSlots() {
    if (slotLock && !host_.sceneIsBusy(activeScene))
        slotLock = false;
    if (slotLock)
        return;
    if (playScene)
        updateSlot(playScene->zoomSlot);
    if (LayerSlot* slot = itemSlot())
        updateSlot(*slot);
    for (LayerSlot& slot : subSlots)
        updateSlot(slot);
}

// The slot scene grows out of its zoom element while the play scene's
// camera leans towards it.
void MNavigation::zoomAnimation(const LayerSlot& slot) {
    MScene& scene = *slot.scene;
    const float v = slot.visibility, centreX = screenW_ / 2, centreY = screenH_ / 2;
    PolygonPoint e{centreX, centreY};
    const Value* zoomElement = scene.readBack.zoomElement;
    const bool hasElement = zoomElement && zoomElement->is(ValueType::Element) && zoomElement->pointer;
    if (hasElement)
        e = elementCentreOnScreen(*static_cast<const MElement*>(zoomElement->as<ScriptElement>()));
    if (playScene && playScene != &scene) {
        float f = numberOf(scene.cells.zoomCameraScale), h = numberOf(scene.cells.zoomCameraOffset);
        if (roundToInteger(f * 100) != 0)
            playScene->viewScale = v * f + 1;
        if (roundToInteger(h * 100) != 0) {
            playScene->viewCenterX = centreX + (centreX - e.x) * v * h;
            playScene->viewCenterY = centreY + (centreY - e.y) * v * h;
        }
    }
    float zoomScale = numberOf(scene.cells.zoomScale);
    scene.viewScale = zoomScale + (1 - zoomScale) * v;
    scene.viewCenterX = e.x + (centreX - e.x) * v;
    scene.viewCenterY = e.y + (centreY - e.y) * v;
}

} // namespace glint
