// One thing the player can carry: an item of the inventory, made from a
// top-level element of the "inventory" scene, with the picture sets its
// child elements add, its counts and where its panel shows it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "script/host_objects.h"

namespace glint {

class MElement;
class MInventory;
class MParticleInstance;
class MScene;
class MTexture;
struct InventoryItem;
struct InventoryPanel;
struct ScriptTask;

// Picture kinds: the picture, the "_g" picture drawn under it and the "_r"
// picture drawn as its reflection.
enum ItemPictureKind : int { kItemPicture = 0, kItemUnderPicture = 1, kItemReflection = 2 };
constexpr int kItemPictureKinds = 3;
constexpr int kItemCountVariants = 10;

// A set of pictures of an item: the item's own element gives the default
// set, each child element one more. A picture is kept per kind and count
// variant (the picture shown while the item has that many pieces).
struct ItemImageSet {
    InventoryItem* item = nullptr;
    MElement* element = nullptr;
    Symbol* name = nullptr;
    MTexture* textures[kItemPictureKinds * kItemCountVariants] = {};

    // The picture of kind and count variant, else the one for no count,
    // else null.
    MTexture* picture(int countVariant, int kind) const;
    // The slot of a picture code: count variant (tens) and kind (units).
    static int slotOfCode(int code) { return code % 10 + kItemPictureKinds * (code / 10); }
};

// A count scripts give: rounded, kept within a billion either way so that
// sums of counts cannot overflow; fallback for anything but a number.
int32_t itemCountOf(const Value& value, int32_t fallback);

struct InventoryItem : ScriptItem {
    using ScriptItem::ScriptItem;

    // Script properties: "name", "count", "used_count", "Total_count",
    // "item_scene", "item_click_task", "holder", "hover_ps",
    // "hover_front_ps" and "inventory_index"; other names are the item's
    // own variables.
    bool getProperty(Symbol* key, Value& out) override;
    bool setProperty(Symbol* key, const Value& value) override;

    // Pieces left to carry: not used up, and some in the inventory.
    bool hasPieces() const { return totalCount != usedCount && count > 0; }
    bool inPanel() const { return slot >= 0; }
    // The item's own variable of that name, or null.
    const Value* variable(Symbol* key) const { return members.get(key); }

    MInventory* inventory = nullptr;
    float slotPosition = -1; // eases towards slot; -1 while in no panel
    int32_t slot = -1;       // index in its panel's items
    int32_t x = 0, y = 0;    // centre drawn this tick
    int32_t width = 0, height = 0;
    int32_t restX = 0, restY = 0; // centre of its slot once the panel stops scrolling
    float highlight = 0;          // grows while hovered
    std::unique_ptr<ItemImageSet> defaultImageSet;
    std::vector<std::unique_ptr<ItemImageSet>> imageSets;
    InventoryPanel* panel = nullptr;
    MScene* itemScene = nullptr; // its close-up: the scene of the same name
    MElement* element = nullptr; // in the "inventory" scene; shown while in a panel
    ScriptTask* clickTask = nullptr;
    float glow = 0, glowTarget = 0; // presence in the panel
    float edgeOpacity = 0;          // fades out over half a slot at the panel's ends
    int32_t pendingPicks = 0;       // picking animations not yet settled
    InventoryItem* replacement = nullptr; // stands in for the item when it is put back
    MElement* holder = nullptr;           // never in a panel; picks fly to it
    MElement* hoverPs = nullptr;
    MElement* hoverFrontPs = nullptr;
    // Running instances of hoverPs and hoverFrontPs, drawn behind and in
    // front of the item.
    MParticleInstance* hoverInstance = nullptr;
    MParticleInstance* hoverFrontInstance = nullptr;
    bool particlesActive = false, usable = false;
    int32_t tooltipTicks = 0, tooltipDuration = 0; // the tooltip after a pick-up
    int32_t count = 0, usedCount = 0, totalCount = 0;
    Value cell; // the global variable "^name"
};

} // namespace glint
