#include "scene/element.h"
#include "scene/element_lists.h"
#include "scene/particle_effects.h"

#include <algorithm>

#include "scene/scene.h"

namespace glint {

namespace {

float& offsetField(MElementOffset& offset, int axis) { return axis == 0 ? offset.x : axis == 1 ? offset.y : offset.z; }
float& scaleField(MElementScale& scale, int axis) { return axis == 0 ? scale.uniform : axis == 1 ? scale.x : scale.y; }

} // namespace

MScene* MElement::owner() const { return static_cast<MScene*>(scene); }

void MElement::setParent(MElement* newParent) {
    if (newParent == parent)
        return;
    flags |= kElementParentChanged;
    parent = newParent;
    for (MElement* above = newParent; above; above = above->parent) {
        if (above->parent == this) {
            above->parent = nullptr;
            above->flags |= kElementParentChanged;
            above->markTransformDirty();
            break;
        }
    }
    markTransformDirty();
    if (MScene* home = owner())
        home->drawOrderDirty = home->hierarchyDirty = true;
}

void MElement::markTransformDirty() {
    transformDirty = 1;
    if (MScene* home = owner())
        home->transformsDirty = true;
}

bool MElement::isClickable() const { return hasFlag(kElementVisible) && hasFlag(kElementActive); }

float MElement::offsetComponent(int axis) const { return offset ? offsetField(*offset, axis) : 0.0f; }

void MElement::setOffsetComponent(int axis, float value) {
    if (!offset) {
        if (value == 0)
            return;
        offset = takeRecord<MElementOffset>();
    }
    offsetField(*offset, axis) = value;
    if (offset->isZero()) {
        returnRecord(offset);
        offset = nullptr;
    }
    markTransformDirty();
}

float MElement::scaleComponent(int axis) const { return scale ? scaleField(*scale, axis) : 1.0f; }

void MElement::setScaleComponent(int axis, float value) {
    if (!scale) {
        if (value == 1)
            return;
        scale = takeRecord<MElementScale>();
    }
    scaleField(*scale, axis) = value;
    if (scale->isOne()) {
        returnRecord(scale);
        scale = nullptr;
    }
    markTransformDirty();
}

void MElement::setCharsCount(float count) {
    charsCount = count;
    MScene* home = owner();
    if (!home)
        return;
    if (count > 0)
        addOnce(home->typing, this);
    else
        removeFrom(home->typing, this);
}

void MElement::setAnimSpeed(float speed) {
    speed = std::max(speed, kMinTimeControlSpeed);
    if (timeControl) {
        timeControl->speed = speed;
        return;
    }
    timeControl = takeRecord<MTimeControl>();
    timeControl->speed = speed;
    flags |= kElementTimeRunning;
    if (MScene* home = owner())
        addOnce(home->animated, this);
}

void MElement::dropRecords() {
    releaseParticleInstance(*this);
    returnRecord(offset);
    returnRecord(scale);
    returnRecord(sizeOverride);
    returnRecord(timeControl);
    returnRecord(fade);
    returnRecord(blend);
    offset = nullptr;
    scale = nullptr;
    sizeOverride = nullptr;
    timeControl = nullptr;
    fade = nullptr;
    blend = nullptr;
}

} // namespace glint
