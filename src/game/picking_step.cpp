// The tick of the flights: pulse, flight and arrival, the trails that die
// out behind them, and the ends that hand the item over to its panel.
#include "game/picking.h"

#include <algorithm>

#include "game/inventory.h"
#include "resource/configuration.h"
#include "scene/element.h"
#include "scene/particle_effects.h"
#include "scene/particle_instance.h"
#include "scene/scene.h"
#include "scene/scene_registry.h"
#include "script/symbol.h"

namespace glint {

namespace {

constexpr float kFollowStep = 2;        // pixels per tick towards a moving slot
constexpr int32_t kTrailEndTicks = 5;   // trails stop this long before landing
constexpr int32_t kArrivalTicks = 78;   // the feedback shows this long, and one tick
constexpr int32_t kBackDelayTicks = 25; // "pickup_back" shows this much later

float towards(float value, float target, float step) {
    return value < target ? std::min(value + step, target) : std::max(value - step, target);
}

// Its particles live on, but it emits no more; it dies with the last.
void stopEmitting(MParticleInstance* trail) {
    if (trail)
        trail->finished = 1;
}

void setShownIfNot(MElement* element, bool shown) {
    if (element && element->hasFlag(kElementVisible) != shown)
        element->setShown(shown);
}

void placeAt(MElement& element, const InventoryItem& item) {
    element.overrideChannel(kElementPositionLocked, kChannelX, static_cast<float>(item.x));
    element.overrideChannel(kElementPositionLocked, kChannelY, static_cast<float>(item.y));
}

} // namespace

MPicking::MPicking(const MConfiguration& gameConfig, MSceneRegistry& scenes, MInventory& inventory,
                   const PulseCurve& pulse)
    : config_(gameConfig), scenes_(scenes), inventory_(inventory), pulse_(pulse) {}

MPicking::~MPicking() {
    for (PickingAnimation* a : running_)
        for (MParticleInstance* trail : a->trails)
            giveBackParticleInstance(trail);
}

void MPicking::findFeedback() {
    if (MScene* hud = scenes_.hud) {
        pickupBack_ = hud->findElement(sym::pickup_back());
        pickupFront_ = hud->findElement(sym::pickup_front());
    }
}

int32_t MPicking::ticksOf(const char* key, float fallbackSeconds) const {
    return static_cast<int32_t>(roundToInteger(config_.getFloat(intern(key), fallbackSeconds) * 100.0));
}

bool MPicking::carriesLooseItem() const {
    return std::any_of(running_.begin(), running_.end(), [](const PickingAnimation* a) {
        return !a->settled && a->item && !a->item->holder;
    });
}

void MPicking::step() {
    for (size_t i = running_.size(); i-- > 0;) {
        PickingAnimation* a = running_[i];
        if (!a->finished)
            stepRecord(*a);
        stepTrails(*a);
        if (a->finished && !a->trails[0] && !a->trails[1]) {
            running_.erase(running_.begin() + static_cast<std::ptrdiff_t>(i));
            giveBack(a);
        }
    }
}

void MPicking::stepRecord(PickingAnimation& a) {
    followSlot(a);
    switch (a.phase) {
    case kPickingPulse:
        if (++a.ticks >= ticksOf("hud_pre_picking_anim_time", 1)) {
            a.phase = kPickingFlight;
            a.ticks = 0;
        }
        break;
    case kPickingFlight: stepFlight(a); break;
    case kPickingArrival:
        if (a.item)
            stepArrival(a);
        else
            finish(a);
        break;
    default: finish(a); break;
    }
}

// The panel may still be scrolling to the item: the flight follows its
// slot, smoothly.
void MPicking::followSlot(PickingAnimation& a) {
    const InventoryItem* item = a.item;
    if (!item || item->holder)
        return;
    a.target.x = towards(a.target.x, static_cast<float>(item->restX), kFollowStep);
    a.target.y = towards(a.target.y, static_cast<float>(item->restY), kFollowStep);
    a.target.width = towards(a.target.width, static_cast<float>(item->width), kFollowStep);
    a.target.height = towards(a.target.height, static_cast<float>(item->height), kFollowStep);
}

void MPicking::stepFlight(PickingAnimation& a) {
    const int32_t length = ticksOf("hud_picking_anim_time", 1.5f);
    ++a.ticks;
    if (a.ticks >= length - kTrailEndTicks)
        for (MParticleInstance* trail : a.trails)
            stopEmitting(trail);
    if (a.ticks < length)
        return;
    if (!a.item) {
        finish(a);
        return;
    }
    if (!a.settled)
        settle(a);
    if (a.item->holder) {
        finish(a);
        return;
    }
    a.phase = kPickingArrival;
    a.ticks = 0;
    showFeedback(*a.item, true);
}

void MPicking::stepArrival(PickingAnimation& a) {
    showFeedback(*a.item, false);
    if (a.ticks == 0) {
        for (MElement* arrival : a.arrivals)
            if (arrival && scenes_.hud)
                startFreeEffect(*arrival, *scenes_.hud, nullptr, a.target.x, a.target.y, 1, 1, 1);
    }
    if (++a.ticks > kArrivalTicks) {
        finish(a);
        return;
    }
    if (pickupBack_ && pickupBack_->time >= 0)
        setShownIfNot(pickupBack_, true);
}

// The feedback marks the slot: the front at once, the back (placed when
// the picture lands) once its clock has run up from -25 ticks.
void MPicking::showFeedback(InventoryItem& item, bool landing) {
    if (MElement* back = pickupBack_) {
        placeAt(*back, item);
        if (landing)
            back->animate(-kBackDelayTicks, 0, 1, true, nullptr, true);
    }
    if (MElement* front = pickupFront_) {
        setShownIfNot(front, true);
        placeAt(*front, item);
        if (landing)
            front->restartImageAnimation();
    }
}

void MPicking::hideFeedback() {
    setShownIfNot(pickupBack_, false);
    setShownIfNot(pickupFront_, false);
}

void MPicking::stepTrails(PickingAnimation& a) {
    for (MParticleInstance*& trail : a.trails) {
        if (!trail)
            continue;
        if (trail->alive) {
            trail->update(a.trailMode);
            continue;
        }
        giveBackParticleInstance(trail);
        trail = nullptr;
    }
}

// The picture is in its place: the slot lights up, counted, with the
// item's tooltip beside it.
void MPicking::settle(PickingAnimation& a) {
    a.settled = true;
    for (MParticleInstance* trail : a.trails)
        stopEmitting(trail);
    InventoryItem* item = a.item;
    if (!item)
        return;
    item->glow = 1;
    --item->pendingPicks;
    item->tooltipTicks = 0;
    item->tooltipDuration = ticksOf("picked_item_tooltip_time", 2);
}

void MPicking::finish(PickingAnimation& a) {
    if (!a.settled)
        settle(a);
    a.phase = kPickingDone;
    if (a.item && !a.item->holder)
        inventory_.forceTimer = ticksOf("force_inventory_by_picking_animation_timeout", 2);
    hideFeedback();
    a.finished = true;
}

void MPicking::finishPicksOf(InventoryItem& item) {
    if (item.pendingPicks <= 0)
        return;
    for (PickingAnimation* a : running_)
        if (a->item == &item && !a->finished)
            finish(*a);
}

void MPicking::cancel() {
    for (PickingAnimation* a : running_) {
        if (!a->finished)
            finish(*a);
        giveBack(a);
    }
    running_.clear();
    for (const auto& item : inventory_.items)
        item->tooltipTicks = item->tooltipDuration = 0;
}

void MPicking::giveBack(PickingAnimation* a) {
    for (MParticleInstance* trail : a->trails)
        giveBackParticleInstance(trail);
    pool_.release(a);
}

} // namespace glint
