// The particle effects of the inventory: each item's hover sparkles,
// started once the interface scenes are loaded, moved with the item and
// emitting while it is hovered, and the free-running effects the inventory
// tick advances.
#pragma once

namespace glint {

class MInventory;

// Puts the particle functions in the inventory's hooks.
void installInventoryParticles(MInventory& inventory);
// The end of a run: every item's instances go back to the pool.
void releaseInventoryParticles(MInventory& inventory);

} // namespace glint
