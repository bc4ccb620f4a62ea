// The player's inventory: the items the "inventory" scene defines, shown in
// one to nine panels anchored at elements of the "hud" scene. Items enter
// and leave the panels as their counts change, ease into their slots,
// glow, wobble and grow under the pointer; panels scroll when they hold
// more items than they show; the inventory slides in and out as the game
// wants it; and render_inventory draws it all from a render hook of the
// "hud" scene.
//
// The model a savegame reads and restores: `items` (in the order the
// "inventory" scene lists them, each with count, usedCount and its own
// variables), and for each of `panels` its items in slot order with
// firstVisible; addItem (item, -1) puts a read item back at the end of its
// panel.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/inventory_item.h"
#include "game/pulse_curve.h"
#include "game/tooltip.h"
#include "script/value.h"

namespace glint {

class KText;
class MApplication;
class MConfiguration;
class MElement;
class MFontList;
class MNavigation;
class MPointer;
class MResourceManager;
class MScene;
class MSceneRegistry;
class MTexture;
struct SceneLoadContext;
struct Scope;
struct ScriptTask;

constexpr int kMaxInventoryPanels = 9;

enum InventoryState : int32_t {
    kInventoryUndecided = 0, // placed at once by the next inventory tick
    kInventoryHidden = 1,
    kInventorySlidingIn = 2,
    kInventoryShown = 3,
    kInventorySlidingOut = 4,
};

// One bar of items.
struct InventoryPanel {
    std::vector<InventoryItem*> items; // slot order
    int32_t number = 0;                // 0-based
    float scroll = 0;                  // first visible slot as drawn
    int32_t firstVisible = 0;          // where scroll eases to
    float scrollSpeed = 0;             // slots per tick; 0: the configured speed
    MElement* anchor = nullptr;        // in the "hud" scene
    float anchorX = 0, anchorY = 0;    // its position when the game started
    ScriptTask* leftTask = nullptr;    // scroll arrows of the "hud" scene
    ScriptTask* rightTask = nullptr;
    bool wobbling = false;
    int32_t wobbleTicks = 0, wobbleFirst = 0;
};

// Sizes and speeds of the game configuration, read again every tick.
struct InventoryLayout {
    float itemSize = 80;          // inventory_item_size
    float slotWidth = 80;         // inventory_slot_width
    float highlightSpeed = 0.03f; // inventory_upscale_speed x 0.01
    float particleThreshold = 0.5f; // inventory_upscale_ps_factor
    int32_t visibleItems = 8;     // inventory_visible_items (per platform)

    void read(const MConfiguration& config, const char* platformTag);
};

// What the inventory leaves to the particle effects and the picking
// animations; a null hook does nothing.
struct InventoryHooks {
    // Loading step 7: running instances of the item's hover_ps and
    // hover_front_ps at its position.
    void (*startHoverParticles)(InventoryItem& item) = nullptr;
    // Every item update: the instances move to the item and emit while
    // emitting is set.
    void (*moveHoverParticles)(InventoryItem& item, bool emitting) = nullptr;
    // drawPanel: the instances behind (front false) or in front of the item.
    void (*drawHoverParticles)(InventoryItem& item, bool front, float alpha) = nullptr;
    // The inventory tick: the free-running particle effects advance.
    void (*advanceFreeEffects)() = nullptr;
    // The picking animations: finish those of an item at once, advance all
    // by one tick, and whether an unsettled one carries an item without a
    // holder (the inventory stays out for it).
    void (*finishPicksOf)(InventoryItem& item) = nullptr;
    void (*stepPicking)() = nullptr;
    bool (*pickingCarriesLooseItem)() = nullptr;
};

class MInventory {
public:
    // All must outlive the inventory.
    MInventory(const MApplication& app, MSceneRegistry& scenes, MResourceManager& resources, MNavigation& navigation,
               MPointer& pointer, const MFontList& fonts);
    ~MInventory();
    MInventory(const MInventory&) = delete;
    MInventory& operator=(const MInventory&) = delete;

    // Set-up, in loading order: the panels, items and picture sets once the
    // scene descriptions are read (and before scripts compile, which find
    // the items as ^name); the script variables and the panels' anchors;
    // the scroll arrows once the "hud" scene's tasks exist; the hover
    // particles.
    void build(const SceneLoadContext& context);
    void bind(Scope& global, const SceneLoadContext& context);
    void attachArrows();
    void startHoverParticles();

    // Counts: used count and count move by the deltas within the item's
    // totals; an item with pieces joins its panel at index (-1 the end),
    // one without leaves it (and the hand).
    void changeCount(InventoryItem& item, int32_t countDelta, int32_t usedDelta, int32_t index);
    void addItem(InventoryItem& item, int32_t index);
    void removeItem(InventoryItem& item, int32_t scrollBack);
    // Script commands: use up pieces (a negative count clears both
    // counts), put another item in an item's place, empty every panel.
    void use(InventoryItem& item, int32_t pieces);
    void replace(InventoryItem& old, InventoryItem& replacement);
    void reset();
    // "inventory_index": the item moves to panel number (1-based, clamped).
    void moveToPanel(InventoryItem& item, int32_t number);

    // The hand: an item was taken, an item was put back.
    void itemTaken(InventoryItem& item);
    void itemDropped(InventoryItem& item);

    // The tick, in its order: the slide state machine and the item click
    // tasks before the click dispatch; panelPointer for each panel inside
    // its HUD pass (returns the new consumed flag); the inventory tick after
    // the script passes; the panels after the scene updates.
    void stepState(bool waiting);
    void updateClickTasks();
    bool panelPointer(InventoryPanel& panel, bool consumed);
    void tick();
    void updatePanels();
    // A scene switch: the state is decided again, the picking feedback hides.
    void resetState();
    // A layer starts closing: the state is decided again by the next tick.
    void redecideState() { state = kInventoryUndecided; }

    // Drawing: every panel (render_inventory), the taken item at (x, y).
    void drawPanels(float scale);
    void drawTakenItem(InventoryItem& item, float x, float y, float scale);
    // The picture set an item shows now (its replacement's when it has one).
    const ItemImageSet& imageSetFor(const InventoryItem& item) const;
    void drawItemPicture(const InventoryItem& item, int countVariant, int kind, float x, float y, float pivotX,
                         float pivotY, float scale, float alpha) const;
    // The item's localized name or its own tooltip texts, or "".
    std::string itemTooltip(const InventoryItem& item) const;
    // "count_text", else the pieces left of all ("2/3", or "x2" with
    // "item_count_x"); "" for an item that exists once.
    static std::string counterText(const InventoryItem& item);
    TooltipStyle tooltipStyle() const;

    // Whether the game wants the inventory out now.
    bool wanted() const;
    // The inventory can be used in the scene: it is no hidden-object
    // scene, or it forces the inventory.
    bool usableIn(const MScene& scene) const;
    InventoryItem* findItem(Symbol* name) const;
    // "Taken_object" when it holds an item.
    InventoryItem* takenItem() const;

    std::vector<std::unique_ptr<InventoryItem>> items;
    std::vector<InventoryPanel> panels;
    InventoryLayout layout;
    int32_t state = kInventoryUndecided;
    int32_t forceTimer = 0; // ticks the inventory stays out after a pick
    // Pictures of the "gui_images" scene.
    MElement* hudItemActive = nullptr;
    MElement* hudItemInactive = nullptr;
    MElement* hudTooltipBack = nullptr;
    InventoryHooks hooks;

    // Global script variables.
    Value forceInventory, forceInventoryTimeout, forcePositionByItem, forcedItem, forcedTask;

private:
    void buildItem(MElement& element);
    void addImageSet(InventoryItem& item, MElement& element, Symbol* setName);
    void registerExtraPictures(ItemImageSet& set);
    void updatePanel(InventoryPanel& panel);
    void updateItem(InventoryItem& item);
    void placeItem(InventoryItem& item);
    void updateUsable(InventoryItem& item);
    void updateArrows(InventoryPanel& panel);
    void wobbleTick(InventoryPanel& panel);
    float glowTargetOf(const InventoryItem& item) const;
    void stepSlideZone();
    void stepTransitions();
    bool slideFinished() const;
    bool subSceneShown() const;
    bool clickOnPanelItem(InventoryPanel& panel, bool consumed);
    void drawPanel(InventoryPanel& panel, float scale);
    void drawIndication(const InventoryItem& item, float scale, float alpha);
    void drawPickedTooltip(const InventoryItem& item, float scale);
    void drawCounter(const InventoryItem& item, KText& font, float offsetX, float offsetY, float scale);
    bool plusIndication() const;
    float gameNumber(const char* key, float fallback) const;

    const MApplication& app_;
    MSceneRegistry& scenes_;
    MResourceManager& resources_;
    MNavigation& navigation_;
    MPointer& pointer_;
    const MFontList& fonts_;
    PulseCurve wobbleCurve_;
    std::vector<MTexture*> heldPictures_; // the listed pictures, held for the run
};

} // namespace glint
