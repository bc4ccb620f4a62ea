// How items enter and leave the panels: counts, the panel operations, and
// the commands and hand movements built on them.
#include "game/inventory.h"

#include <algorithm>

#include "game/navigation.h"
#include "game/pointer.h"
#include "scene/element.h"

namespace glint {

void MInventory::changeCount(InventoryItem& item, int32_t countDelta, int32_t usedDelta, int32_t index) {
    const int64_t used = std::clamp<int64_t>(int64_t{item.usedCount} + usedDelta, 0, std::max(item.totalCount, 0));
    item.usedCount = static_cast<int32_t>(used);
    const int64_t room = std::max<int64_t>(int64_t{item.totalCount} - item.usedCount, 0);
    item.count = static_cast<int32_t>(std::clamp<int64_t>(int64_t{item.count} + countDelta, 0, room));
    if (item.hasPieces()) {
        addItem(item, index);
        return;
    }
    if (takenItem() == &item)
        pointer_.dropObject(0);
    removeItem(item, 1);
}

void MInventory::addItem(InventoryItem& item, int32_t index) {
    if (item.inPanel() || item.totalCount == item.usedCount || item.holder)
        return;
    std::vector<InventoryItem*>& list = item.panel->items;
    const auto size = static_cast<int32_t>(list.size());
    if (index == -1) {
        index = size;
    } else {
        index = std::clamp(index, 0, size);
        item.glow = item.glowTarget = 1;
    }
    list.insert(list.begin() + index, &item);
    for (int32_t i = index + 1; i <= size; ++i)
        list[static_cast<size_t>(i)]->slot = i;
    item.slot = index;
    item.slotPosition = static_cast<float>(index);
    if (item.element)
        item.element->setShown(true);
    updateItem(item);
}

void MInventory::removeItem(InventoryItem& item, int32_t scrollBack) {
    // A close-up open from the inventory keeps its item in view.
    if (item.itemScene && !item.holder && navigation_.itemSceneShown(item.itemScene))
        return;
    if (hooks.finishPicksOf)
        hooks.finishPicksOf(item);
    InventoryPanel& panel = *item.panel;
    std::vector<InventoryItem*>& list = panel.items;
    auto at = std::find(list.begin(), list.end(), &item);
    if (at != list.end()) {
        const auto removedSlot = static_cast<int32_t>(at - list.begin());
        for (auto later = list.erase(at); later != list.end(); ++later)
            (*later)->slot = static_cast<int32_t>(later - list.begin());
        if (static_cast<int32_t>(list.size()) < layout.visibleItems + removedSlot && panel.firstVisible > 0)
            panel.firstVisible = std::max(panel.firstVisible - scrollBack, 0);
    }
    item.slot = -1;
    item.slotPosition = -1;
    item.edgeOpacity = 0;
    if (item.element)
        item.element->setShown(false);
}

void MInventory::use(InventoryItem& item, int32_t pieces) {
    if (pieces < 0) {
        changeCount(item, -item.count, -item.usedCount, -1);
        return;
    }
    const int32_t taken = std::min(pieces, item.count);
    changeCount(item, -taken, taken, -1);
}

// The item in the hand keeps its place until it is put back: then the
// replacement takes it (itemDropped).
void MInventory::replace(InventoryItem& old, InventoryItem& replacement) {
    if (takenItem() == &old) {
        old.replacement = &replacement;
        return;
    }
    const int32_t index = old.slot;
    changeCount(old, -old.count, -old.usedCount, -1);
    changeCount(replacement, 1 - replacement.count, 0, index);
}

void MInventory::reset() {
    if (InventoryItem* taken = takenItem(); taken && taken->inPanel()) {
        taken->replacement = nullptr;
        pointer_.dropObject(0);
    }
    for (InventoryPanel& panel : panels) {
        for (InventoryItem* item : panel.items) {
            item->usedCount = std::min(item->usedCount + item->count, item->totalCount);
            item->count = 0;
            if (hooks.finishPicksOf)
                hooks.finishPicksOf(*item);
            item->slot = -1;
            item->slotPosition = -1;
            item->edgeOpacity = 0;
            if (item->element)
                item->element->setShown(false);
        }
        // An empty panel shows from its start again.
        panel.items.clear();
        panel.firstVisible = 0;
        panel.scroll = 0;
        panel.scrollSpeed = 0;
    }
}

void MInventory::moveToPanel(InventoryItem& item, int32_t number) {
    InventoryPanel* target = &panels[static_cast<size_t>(std::clamp(number, 1, static_cast<int32_t>(panels.size())) - 1)];
    if (target == item.panel)
        return;
    const bool shown = item.inPanel();
    if (shown) {
        removeItem(item, 1);
        if (item.inPanel())
            return; // its close-up holds it where it is
    }
    item.panel = target;
    if (shown)
        addItem(item, -1);
}

void MInventory::itemTaken(InventoryItem& item) {
    if (hooks.finishPicksOf)
        hooks.finishPicksOf(item);
}

// Back in its panel at once; an item replaced while it was carried gives
// its place to the replacement now.
void MInventory::itemDropped(InventoryItem& item) {
    item.glow = 1;
    item.highlight = 0;
    InventoryItem* replacement = item.replacement;
    if (!replacement)
        return;
    item.replacement = nullptr;
    const int32_t index = item.slot;
    changeCount(item, -item.count, -item.usedCount, -1);
    changeCount(*replacement, 1 - replacement->count, 0, index);
}

InventoryItem* MInventory::takenItem() const {
    const Value& taken = pointer_.takenObject;
    if (!taken.is(ValueType::Item) || !taken.pointer)
        return nullptr;
    return dynamic_cast<InventoryItem*>(taken.as<ScriptItem>());
}

} // namespace glint
