// The pointer over the panels: which items can be clicked, the item under
// the pointer and the one to take, putting the carried item back, and the
// scroll arrows.
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

InventoryItem* itemOf(const Value& value) {
    return value.is(ValueType::Item) && value.pointer ? dynamic_cast<InventoryItem*>(value.as<ScriptItem>()) : nullptr;
}

void setState(ScriptTask* task, int32_t state) {
    if (task && task->state != state)
        setTaskState(task, state);
}

// An arrow does not react while its panel scrolls.
void setActive(ScriptTask* task, bool active) {
    MElement* arrow = task ? taskElement(*task) : nullptr;
    if (!arrow)
        return;
    if (active)
        arrow->flags |= kElementActive;
    else
        arrow->flags &= ~kElementActive;
}

float pointerIn(const Value& cell) { return cell.isNumber() ? static_cast<float>(cell.number) : 0; }

} // namespace

void MInventory::updateClickTasks() {
    const MScene* play = navigation_.playScene;
    if (!play || !usableIn(*play))
        return;
    for (const std::unique_ptr<InventoryItem>& item : items)
        setState(item->clickTask, item->hasPieces() ? TaskEnabled : TaskDisabled);
}

bool MInventory::panelPointer(InventoryPanel& panel, bool consumed) {
    MScene* hud = scenes_.hud;
    if (hud) {
        const bool scrolling = std::fabs(panel.scroll - static_cast<float>(panel.firstVisible)) >= 0.001f;
        setActive(panel.leftTask, !scrolling);
        setActive(panel.rightTask, !scrolling);
    }
    const MScene* play = navigation_.playScene;
    const float x = pointer_.x, y = pointer_.y;
    const bool inGame = x >= 0 && y >= 0 && x < app_.settings.screenW && y < app_.settings.screenH;
    if (play && usableIn(*play) && inGame && panel.anchor && hud &&
        panel.anchor->hitTest(pointerIn(hud->cells.pointerX), pointerIn(hud->cells.pointerY))) {
        for (InventoryItem* item : panel.items)
            if (!item->holder)
                setState(item->clickTask, item->hasPieces() && item->edgeOpacity >= 1 ? TaskEnabled : TaskDisabled);
        consumed = clickOnPanelItem(panel, consumed);
    }
    // The arrows scroll whatever happened above.
    const ScriptElement* clicked = script().pointer.clicked;
    const int32_t step = app_.gameConfig.getInt(sym::inventory_scroll_step(), 5);
    auto arrowClicked = [clicked](ScriptTask* task) { return task && clicked && task->element == clicked; };
    if (arrowClicked(panel.leftTask)) {
        callGlobalEvent(sym::on_scroll_inventory(), nullptr);
        panel.firstVisible = std::max(panel.firstVisible - step, 0);
    }
    if (arrowClicked(panel.rightTask)) {
        callGlobalEvent(sym::on_scroll_inventory(), nullptr);
        const auto count = static_cast<int32_t>(panel.items.size());
        panel.firstVisible = std::max(std::min(count - layout.visibleItems, panel.firstVisible + step), 0);
    }
    return consumed;
}

// The first clickable item under the pointer is hovered and, with pieces
// that are not still flying in, the one to take; a click on the panel
// while an item is carried puts it back.
bool MInventory::clickOnPanelItem(InventoryPanel& panel, bool consumed) {
    if (state != kInventorySlidingIn && state != kInventoryShown)
        return consumed;
    const float width = app_.gameConfig.getFloat(sym::inventory_click_width(),
                                                 app_.gameConfig.getFloat(sym::inventory_slot_width(), 80));
    const float x = pointer_.x, y = pointer_.y;
    InventoryItem* under = nullptr;
    for (InventoryItem* m : panel.items) {
        if (m->clickTask && m->clickTask->state == TaskEnabled && m->x - width / 2 <= x && x < m->x + width / 2 &&
            m->y - m->height / 2.0f <= y && y < m->y + m->height / 2.0f) {
            under = m;
            break;
        }
    }
    InventoryItem* taken = takenItem();
    if (under) {
        if (under->totalCount != under->usedCount && !taken) {
            pointer_.hoverClick = pointer_.hoverLook = pointer_.hoverUse = HoverTarget{};
            InventoryItem* forced = itemOf(forcedItem);
            if (!forced || (!forced->holder && forced == under)) {
                pointer_.hoverItem = under;
                if (under->count > 0 && under->pendingPicks == 0)
                    pointer_.itemToTake = under;
                consumed = consumed || under->element != nullptr;
            }
        }
    }
    bool& click = pointer_.clicked[kPrimaryButton];
    if (taken && under && click && !(pointer_.itemToTake && pointer_.itemToTake != taken)) {
        pointer_.dropObject(0);
        if (!pointer_.itemToTake) {
            click = false;
            consumed = true;
        }
        pointer_.hoverClick = pointer_.hoverLook = pointer_.hoverUse = HoverTarget{};
        pointer_.hoverItem = nullptr;
    }
    if (click && pointer_.itemToTake && pointer_.taskPass(scenes_.inventory)) {
        click = false;
        consumed = true;
    }
    return consumed;
}

} // namespace glint
