// The flight of a found object: its picture swells in place, then flies
// along an arc into its item's slot in the inventory (or to the item's
// holder, or to a target element), trailed by particles; in a panel two
// feedback elements of the "hud" scene and arrival particles mark the slot.
// The scripts start flights with start_picking_anim and draw them with
// render_picking_animations from a render hook of the "hud" scene.
#pragma once

#include <cstdint>
#include <vector>

#include "script/pool.h"

namespace glint {

class MConfiguration;
class MElement;
class MInventory;
class MParticleInstance;
class MSceneRegistry;
class MTexture;
struct InventoryItem;
struct PulseCurve;
struct Symbol;

enum PickingPhase : int32_t {
    kPickingDone = 0,
    kPickingPulse = 1,
    kPickingFlight = 2,
    kPickingArrival = 3,
};

// What start_picking_anim asks for; absent arguments are null or take the
// defaults given here.
struct PickingRequest {
    MElement* element = nullptr; // what was found
    MElement* target = nullptr;  // where a plain flight goes
    float arc = 100, growth = 1, fade = 0.5f;
    int32_t phase = kPickingFlight;
    MElement* trails[2] = {};
    Symbol* version = nullptr; // the item's picture set
    MElement* arrivals[2] = {};
};

// Where a picture is in a flight, in screen coordinates.
struct PickingPose {
    float x = 0, y = 0, width = 0, height = 0, pivotX = 0.5f, pivotY = 0.5f, angle = 0;
};

struct PickingAnimation {
    InventoryItem* item = nullptr; // none for a plain flight of a picture
    MTexture* texture = nullptr;
    float arc = 0, growth = 0, fade = 0;
    PickingPose start, target; // target.angle stays 0
    int32_t phase = kPickingDone;
    int32_t ticks = 0; // in the phase
    MParticleInstance* trails[2] = {};
    int32_t trailMode = 0; // the emission the trails get each tick
    MElement* arrivals[2] = {};
    bool settled = false, finished = false;
};

class MPicking {
public:
    // All must outlive it.
    MPicking(const MConfiguration& gameConfig, MSceneRegistry& scenes, MInventory& inventory,
             const PulseCurve& pulse);
    ~MPicking();
    MPicking(const MPicking&) = delete;
    MPicking& operator=(const MPicking&) = delete;

    // Once the scene descriptions are read: the feedback elements
    // "pickup_back" and "pickup_front" of the "hud" scene, when it has them.
    void findFeedback();

    void start(const PickingRequest& request);
    // One tick of every flight, the newest first.
    void step();
    // Every flight's picture and trails, the newest first.
    void draw();
    // The item leaves its panel or is taken: its flights end at once.
    void finishPicksOf(InventoryItem& item);
    // A scene switch or the end of the run: every flight ends at once and
    // goes back to the pool with its trails.
    void cancel();

    // Flights or their dying trails are still on screen: autosaves wait.
    bool running() const { return !running_.empty(); }
    // An unsettled flight carries an item to a panel: the inventory stays out.
    bool carriesLooseItem() const;
    const std::vector<PickingAnimation*>& animations() const { return running_; }

private:
    bool startItemFlight(PickingAnimation& a, const PickingRequest& request, InventoryItem& item);
    bool startPlainFlight(PickingAnimation& a, const PickingRequest& request);
    void startTrails(PickingAnimation& a, const PickingRequest& request);
    void stepRecord(PickingAnimation& a);
    void stepFlight(PickingAnimation& a);
    void stepArrival(PickingAnimation& a);
    void followSlot(PickingAnimation& a);
    void stepTrails(PickingAnimation& a);
    void settle(PickingAnimation& a);
    void finish(PickingAnimation& a);
    void showFeedback(InventoryItem& item, bool placeBack);
    void hideFeedback();
    void giveBack(PickingAnimation* a);
    void drawRecord(PickingAnimation& a);
    void drawFlight(PickingAnimation& a);
    int32_t ticksOf(const char* key, float fallbackSeconds) const;

    const MConfiguration& config_;
    MSceneRegistry& scenes_;
    MInventory& inventory_;
    const PulseCurve& pulse_;
    MElement* pickupBack_ = nullptr;
    MElement* pickupFront_ = nullptr;
    ObjectPool<PickingAnimation, 10> pool_;
    std::vector<PickingAnimation*> running_; // newest last
};

// Makes the inventory's picking hooks and the two script commands serve
// picking; null unregisters them.
void bindPicking(MPicking* picking, MInventory* inventory);

} // namespace glint
