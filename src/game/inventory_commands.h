// The script commands of the inventory: use, replace, reset_inventory,
// pick_item and render_inventory, served by the running game's inventory.
#pragma once

namespace glint {

class MInventory;

// Points the keywords at their callbacks (after registerBuiltinCommands);
// null unregisters them.
void registerInventoryCommands(MInventory* inventory);

} // namespace glint
