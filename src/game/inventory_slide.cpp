// When the inventory is out: whether the game wants it, the slide in and
// out that the scripts play on the panel's anchor, and the inventory tick
// with the wobble and the glow of the items.
#include "game/inventory.h"

#include <algorithm>
#include <cmath>

#include "app/application.h"
#include "game/navigation.h"
#include "game/pointer.h"
#include "resource/configuration.h"
#include "scene/element.h"
#include "scene/scene.h"
#include "scene/scene_registry.h"
#include "script/interpreter.h"
#include "script/symbol.h"

namespace glint {

namespace {

constexpr float kGlowStep = 0.02f;

bool atLeast(const Value& value, double limit) { return value.isNumber() && value.number >= limit; }
bool above(const Value& value, double limit) { return value.isNumber() && value.number > limit; }
bool above(const Value* value, double limit) { return value && above(*value, limit); }

InventoryItem* itemOf(const Value& value) {
    return value.is(ValueType::Item) && value.pointer ? dynamic_cast<InventoryItem*>(value.as<ScriptItem>()) : nullptr;
}

float towards(float value, float target, float step) {
    return value < target ? std::min(value + step, target) : std::max(value - step, target);
}

} // namespace

float MInventory::gameNumber(const char* key, float fallback) const {
    return app_.gameConfig.getFloat(intern(key), fallback);
}

bool MInventory::usableIn(const MScene& scene) const {
    const Value* forced = scene.readBack.inventoryForced;
    return !scene.flags.hiddenObject || (forced && forced->isNumber() && roundToInteger(forced->number) != 0);
}

// The reasons are weighed in this order; the first that decides, decides.
bool MInventory::wanted() const {
    const MScene* play = navigation_.playScene;
    if (!play)
        return false;
    if (play->flags.hiddenObject)
        return true;
    if (atLeast(play->cells.noHud, 0.5) || atLeast(play->cells.noInventory, 0.5))
        return false;
    if (InventoryItem* forced = itemOf(forcedItem); forced && !forced->holder)
        return true;
    if (forcedTask.is(ValueType::Task))
        return false;
    if (hooks.pickingCarriesLooseItem && hooks.pickingCarriesLooseItem())
        return true;
    if (const MScene* active = navigation_.activeScene;
        active && (!active->flags.gameplay || above(active->readBack.inventoryHidden, 0.5)))
        return false;
    if (above(forceInventory, 0.5))
        return true;
    if (InventoryItem* taken = takenItem(); taken && !taken->holder)
        return true;
    return forceTimer > 0 || above(forceInventoryTimeout, 0.5);
}

void MInventory::stepState(bool waiting) {
    if (!waiting) {
        if (forceTimer > 0)
            --forceTimer;
        if (above(forceInventoryTimeout, 0.01))
            forceInventoryTimeout = Value::fromNumber(forceInventoryTimeout.number - 0.01);
        stepSlideZone();
    }
    stepTransitions();
}

// Near the screen edge the inventory comes out and stays a moment after
// the pointer leaves.
void MInventory::stepSlideZone() {
    const MScene* play = navigation_.playScene;
    if (!play || !usableIn(*play) || !navigation_.hudAllowed(0.5f))
        return;
    if (forcedTask.is(ValueType::Task)) {
        InventoryItem* forced = itemOf(forcedItem);
        if (!forced || forced->holder)
            return;
    }
    const float xRange = gameNumber("inventory_x_range", 150);
    const float yRange = state == kInventoryHidden ? gameNumber("inventory_y_range_in", 40)
                                                   : gameNumber("inventory_y_range_out", 140);
    const float width = app_.settings.screenW, height = app_.settings.screenH;
    const float x = pointer_.x, y = pointer_.y;
    const bool inX = xRange < x && x <= width - xRange;
    const bool inY = yRange >= 0 ? height - yRange <= y && y < height : y <= -yRange && y < height;
    if (inX && inY)
        forceInventoryTimeout = Value::fromNumber(std::max(gameNumber("inventory_slideout_timeout", 1), 0.01f));
}

// Transitions only while a gameplay scene is active and no sub-scene covers
// it; a state can move on more than once in a call.
void MInventory::stepTransitions() {
    const MScene* active = navigation_.activeScene;
    if (!active || !active->flags.gameplay || subSceneShown())
        return;
    const bool want = wanted();
    if (state == kInventoryHidden && want) {
        state = kInventorySlidingIn;
        const bool wobble = app_.gameConfig.getInt(sym::inventory_wobble(), 0) != 0;
        for (InventoryPanel& panel : panels) {
            panel.wobbling = wobble;
            panel.wobbleTicks = 0;
            panel.wobbleFirst = static_cast<int32_t>(roundToInteger(panel.scroll));
        }
        callGlobalEvent(sym::on_inventory_slidein(), nullptr);
    }
    if (state == kInventorySlidingIn && slideFinished())
        state = kInventoryShown;
    if (state == kInventoryShown && !want) {
        state = kInventorySlidingOut;
        callGlobalEvent(sym::on_inventory_slideout(), nullptr);
    }
    if (state == kInventorySlidingOut && slideFinished())
        state = kInventoryHidden;
}

// The scripts play the slide as a scripted segment (negative times) of the
// first panel's anchor; the state follows it.
bool MInventory::slideFinished() const {
    const MElement* anchor = panels.front().anchor;
    return !anchor || !anchor->timeControl || anchor->time >= 0;
}

bool MInventory::subSceneShown() const {
    for (const LayerSlot& slot : navigation_.subSlots)
        if (slot.shows() && slot.visibility >= 1)
            return true;
    return false;
}

void MInventory::tick() {
    if (state == kInventoryUndecided) {
        const bool want = wanted();
        state = want ? kInventoryShown : kInventoryHidden;
        callGlobalEvent(want ? sym::on_inventory_show() : sym::on_inventory_hide(), nullptr);
    }
    const MScene* play = navigation_.playScene;
    if (play && !atLeast(play->cells.noHud, 0.5) && navigation_.activeScene) {
        if (usableIn(*play)) {
            for (InventoryPanel& panel : panels)
                wobbleTick(panel);
            const InventoryItem* taken = takenItem();
            for (const std::unique_ptr<InventoryItem>& item : items) {
                item->glowTarget = glowTargetOf(*item);
                if (item.get() == taken)
                    item->glow = 0; // the carried item leaves its panel
                item->glow = towards(item->glow, item->glowTarget, kGlowStep);
            }
        }
        bool covered = false;
        for (int layer = 1; layer < kSubSceneSlots; ++layer) {
            const LayerSlot& slot = navigation_.subSlots[layer];
            covered = covered || (slot.shows() && slot.visibility >= 1 && !above(slot.scene->cells.isPassiveScene, 0.5));
        }
        if (!covered && hooks.stepPicking)
            hooks.stepPicking();
    }
    if (hooks.advanceFreeEffects)
        hooks.advanceFreeEffects();
}

void MInventory::wobbleTick(InventoryPanel& panel) {
    if (!panel.wobbling)
        return;
    ++panel.wobbleTicks;
    const float step = std::max(gameNumber("inventory_wobble_step", 0.07f), 0.0f);
    const float length = wobbleCurve_.ends[6] + static_cast<float>(layout.visibleItems - 1) * step * 100;
    if (static_cast<float>(panel.wobbleTicks) > length)
        panel.wobbling = false;
}

// An item with a close-up stays lit while the close-up is open; any other
// while it has pieces not still flying in.
float MInventory::glowTargetOf(const InventoryItem& item) const {
    if (&item == takenItem())
        return 0;
    if (const MScene* scene = item.itemScene) {
        if (navigation_.itemSceneShown(scene))
            return 1;
        if (above(scene->cells.isOpened, 0.5) && item.replacement)
            return 1;
    }
    return item.totalCount != item.usedCount && item.count - item.pendingPicks > 0 ? 1 : 0;
}

void MInventory::resetState() {
    if (MScene* hud = scenes_.hud) {
        for (Symbol* name : {sym::pickup_back(), sym::pickup_front()})
            if (MElement* feedback = hud->findElement(name))
                feedback->setShown(false);
    }
    forceTimer = 0;
    forceInventoryTimeout = Value::fromNumber(0);
    state = kInventoryUndecided;
}

} // namespace glint
