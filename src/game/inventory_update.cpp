// The panels after the scene updates: scrolling, each item eased into its
// slot with its highlight and edge fade, the close-ups that still have
// something to do, and the scroll arrows.
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

constexpr float kSlotEasing = 0.04f;

bool atLeast(const Value* value, double limit) { return value && value->isNumber() && value->number >= limit; }
bool above(const Value* value, double limit) { return value && value->isNumber() && value->number > limit; }

float towards(float value, float target, float step) {
    return value < target ? std::min(value + step, target) : std::max(value - step, target);
}

int32_t rounded(float x) { return static_cast<int32_t>(roundToInteger(x)); }

InventoryItem* itemOf(const Value& value) {
    return value.is(ValueType::Item) && value.pointer ? dynamic_cast<InventoryItem*>(value.as<ScriptItem>()) : nullptr;
}

// A compiled "on_hint" function asked whether there is something to do:
// it answers in the global "Show_hint".
bool hintAnswersYes(const Value* function) {
    Value* answer = findVariable(script().global(), KindPlain, sym::Show_hint(), nullptr, true);
    *answer = Value::fromNumber(0);
    callDefinedFunction(function->as<ScriptFunction>(), nullptr, 0);
    return atLeast(answer, 0.5);
}

bool compiledFunction(const Value* value) {
    return value && value->is(ValueType::Function) && value->pointer &&
           value->as<ScriptFunction>()->impl != FunctionImpl::None;
}

} // namespace

void MInventory::updatePanels() {
    layout.read(app_.gameConfig, app_.build.platformTag);
    const MScene* play = navigation_.playScene;
    if (!play || !usableIn(*play))
        return;
    for (InventoryPanel& panel : panels)
        updatePanel(panel);
    // Its elements follow the items, so that its tasks hit-test them.
    if (MScene* scene = scenes_.inventory) {
        scene->clockRuns = true;
        scene->update(false);
    }
}

void MInventory::updatePanel(InventoryPanel& panel) {
    const int32_t visible = layout.visibleItems;
    // Scroll once to an item named by the scripts (when it is in the panel).
    if (InventoryItem* item = itemOf(forcePositionByItem); item && item->panel == &panel && item->inPanel()) {
        const int32_t slot = item->slot;
        int32_t first = std::min(slot, panel.firstVisible);
        if (slot >= panel.firstVisible + visible)
            first = slot - visible + 1;
        if (first != panel.firstVisible) {
            panel.scrollSpeed = static_cast<float>(std::abs(first - panel.firstVisible)) * 0.025f;
            panel.firstVisible = first;
        }
        forcePositionByItem = Value();
    }
    const float speed = panel.scrollSpeed > 0 ? panel.scrollSpeed : gameNumber("inventory_scroll_speed", 0.15f);
    panel.scroll = towards(panel.scroll, static_cast<float>(panel.firstVisible), speed);
    if (panel.scroll == static_cast<float>(panel.firstVisible))
        panel.scrollSpeed = 0;
    for (InventoryItem* item : panel.items)
        updateItem(*item);
    updateArrows(panel);
}

void MInventory::updateItem(InventoryItem& item) {
    placeItem(item);
    // Grows under the pointer, unless it is the one in the hand.
    const bool hovered = pointer_.hoverItem == &item && takenItem() != &item;
    item.highlight = hovered ? std::min(item.highlight + layout.highlightSpeed, 1.0f)
                             : std::max(item.highlight - layout.highlightSpeed, 0.0f);
    updateUsable(item);
    item.particlesActive = false;
    const MScene* active = navigation_.activeScene;
    if (active && !above(active->readBack.inventoryHidden, 0.5) && state == kInventoryShown) {
        const InventoryItem& shown = item.replacement ? *item.replacement : item;
        item.particlesActive = (hovered && item.highlight >= layout.particleThreshold) ||
                               (item.itemScene && shown.itemScene && shown.usable && plusIndication());
    }
    if (MElement* element = item.element) {
        const auto x = static_cast<float>(item.x), y = static_cast<float>(item.y);
        // Resting items leave their elements alone, so the scene update
        // skips them.
        if (!element->hasFlag(kElementPositionLocked) || element->channels[kChannelX] != x ||
            element->channels[kChannelY] != y) {
            element->overrideChannel(kElementPositionLocked, kChannelX, x);
            element->overrideChannel(kElementPositionLocked, kChannelY, y);
        }
    }
    if (hooks.moveHoverParticles)
        hooks.moveHoverParticles(item, item.particlesActive);
    if (item.tooltipTicks < item.tooltipDuration && ++item.tooltipTicks == item.tooltipDuration)
        item.tooltipTicks = item.tooltipDuration = 0;
}

// Where the item is drawn this tick, where it will rest, and how much of it
// shows at the panel's ends.
void MInventory::placeItem(InventoryItem& item) {
    const InventoryPanel& panel = *item.panel;
    const float width = layout.slotWidth;
    const auto visible = static_cast<float>(layout.visibleItems);
    float anchorX = app_.settings.screenW / 2, anchorY = app_.settings.screenH - layout.itemSize / 2;
    if (panel.anchor)
        anchorX = panel.anchor->absX, anchorY = panel.anchor->absY;
    const float centring = visible >= 1 ? (1 - visible) * width / 2 : 0;
    item.slotPosition = towards(item.slotPosition, static_cast<float>(item.slot), kSlotEasing);
    const float d = item.slotPosition - panel.scroll;
    item.x = rounded(d * width + centring + anchorX);
    item.y = rounded(anchorY);
    item.width = item.height = rounded(layout.itemSize);
    item.restX = rounded(static_cast<float>(item.slot - panel.firstVisible) * width + panel.anchorX + centring);
    item.restY = rounded(panel.anchorY);
    if (d >= 0 && d <= visible - 1)
        item.edgeOpacity = 1;
    else if (d >= -0.5f && d < 0)
        item.edgeOpacity = (d + 0.5f) * 2;
    else if (d > visible - 1 && d <= visible - 0.5f)
        item.edgeOpacity = (visible - 0.5f - d) * 2;
    else
        item.edgeOpacity = 0;
}

// An item is usable while its close-up still offers the player something
// to do: its scene's "on_hint" agrees, and some hintable task there is
// enabled on a visible element and needs nothing that is used up.
void MInventory::updateUsable(InventoryItem& item) {
    item.usable = false;
    MScene* scene = item.itemScene;
    if (item.count <= 0 || !scene)
        return;
    const Value* onHint = findVariable(scene->scope, KindFunction, sym::on_hint(), nullptr, false);
    if (compiledFunction(onHint) && !hintAnswersYes(onHint))
        return;
    for (ScriptTask* task : scene->scope.tasks) {
        if (!task->hintable || task->state != TaskEnabled)
            continue;
        if (MElement* element = taskElement(*task); element && !element->hasFlag(kElementVisible))
            continue;
        const Value* own = task->members.get(sym::on_hint());
        if (compiledFunction(own) && !hintAnswersYes(own))
            continue;
        if (InventoryItem* wanted = task->description ? itemOf(task->description->usingObject) : nullptr;
            wanted && wanted->count == 0)
            continue;
        item.usable = true;
    }
}

void MInventory::updateArrows(InventoryPanel& panel) {
    const MScene* play = navigation_.playScene;
    const MScene* active = navigation_.activeScene;
    const bool allowed = !(play && atLeast(&play->cells.noHud, 0.5)) && active &&
                         !atLeast(&active->cells.noInventory, 0.5);
    const auto count = static_cast<int32_t>(panel.items.size());
    auto show = [](ScriptTask* task, bool wanted) {
        MElement* arrow = task ? taskElement(*task) : nullptr;
        if (arrow && arrow->hasFlag(kElementVisible) != wanted)
            arrow->setShown(wanted);
    };
    show(panel.leftTask, allowed && panel.firstVisible >= 1);
    show(panel.rightTask, allowed && panel.firstVisible + layout.visibleItems < count);
}

// The player's "?custom_plus_indication": unset, or a number of at least 0.5.
bool MInventory::plusIndication() const {
    const Value* setting = findVariable(script().global(), KindPlain, sym::q_custom_plus_indication(), nullptr, false);
    return !setting || setting->isNone() || atLeast(setting, 0.5);
}

} // namespace glint
