#include "game/inventory_commands.h"

#include "game/inventory.h"
#include "script/commands.h"
#include "script/interpreter.h"

namespace glint {

namespace {

MInventory* served = nullptr;

InventoryItem* itemOf(const Value& value) {
    return value.is(ValueType::Item) && value.pointer ? dynamic_cast<InventoryItem*>(value.as<ScriptItem>()) : nullptr;
}

// use [item] count: without an item, the current item (the one used on
// the current task's element) and the first argument is the count.
uint32_t commandUse(Value* args, int) {
    InventoryItem* item = itemOf(args[0]);
    int32_t pieces = itemCountOf(args[1], 1);
    if (!item) {
        item = itemOf(script().ctx.item);
        pieces = itemCountOf(args[0], 1);
    }
    if (served && item)
        served->use(*item, pieces);
    return 0;
}

uint32_t commandReplace(Value* args, int) {
    InventoryItem *old = itemOf(args[0]), *replacement = itemOf(args[1]);
    if (served && old && replacement)
        served->replace(*old, *replacement);
    return 0;
}

uint32_t commandResetInventory(Value*, int) {
    if (served)
        served->reset();
    return 0;
}

uint32_t commandPickItem(Value* args, int) {
    if (InventoryItem* item = itemOf(args[0]); served && item)
        served->changeCount(*item, itemCountOf(args[1], 1), 0, -1);
    return 0;
}

// From a render hook of the "hud" scene: the inventory is drawn only so.
uint32_t commandRenderInventory(Value* args, int) {
    if (served)
        served->drawPanels(args[0].isNumber() ? static_cast<float>(args[0].number) : 1);
    return 0;
}

} // namespace

void registerInventoryCommands(MInventory* inventory) {
    served = inventory;
    if (!inventory)
        return;
    registerKeyword(KwUse, "use", commandUse, 2, 0);
    registerKeyword(KwReplace, "replace", commandReplace, 2, 0);
    registerKeyword(KwResetInventory, "reset_inventory", commandResetInventory, 0, 0);
    registerKeyword(KwPickItem, "pick_item", commandPickItem, 2, 0);
    registerKeyword(KwRenderInventory, "render_inventory", commandRenderInventory, 1, 0);
}

} // namespace glint
