// One tick of a scene: animation, base values, hover links, transforms,
// cues, camera and draw order, in this order.
#include <algorithm>

#include "scene/element.h"
#include "scene/element_animation.h"
#include "scene/element_media.h"
#include "scene/scene.h"
#include "scene/scene_update_steps.h"
#include "scene/time_triggers.h"
#include "script/script_system.h"

namespace glint {

namespace {

int16_t opacityOf(double fraction) {
    return static_cast<int16_t>(std::clamp<int64_t>(roundToInteger(fraction * 1024.0), -32767, 32767));
}

void refreshBaseValues(MScene& scene, MElement& e) {
    noteElementActivity(scene, e);
    const float* channel = e.channels;
    float uniform = e.scaleComponent(0);
    e.absScaleX = channel[kChannelScaleX] * uniform * e.scaleComponent(1);
    e.absScaleY = channel[kChannelScaleY] * uniform * e.scaleComponent(2);
    e.absAngle = channel[kChannelAngle];
    e.absX = channel[kChannelX] + e.offsetComponent(0);
    e.absY = channel[kChannelY] + e.offsetComponent(1);
    float z = channel[kChannelZ] + e.offsetComponent(2);
    if (z != e.absZ)
        scene.drawOrderDirty = true;
    e.absZ = z;
    bool visible = e.hasFlag(kElementVisible);
    e.effectiveAlpha = visible ? opacityOf(e.alpha / 1024.0 * channel[kChannelAlpha]) : 0;
}

void markHoverLinks(MScene& scene) {
    for (MHoverLink* link : scene.hoverLinks) {
        link->element->markTransformDirty();
        if (link->highlight)
            link->highlight->markTransformDirty();
    }
}

} // namespace

const Value* globalValue(Symbol* name) {
    Scope* global = globalScope();
    return global ? findVariable(*global, KindPlain, name, nullptr, false) : nullptr;
}

MElement* carriedElement() {
    const Value* taken = globalValue(sym::Taken_object());
    if (!taken || !taken->is(ValueType::Element) || !taken->pointer)
        return nullptr;
    return dynamic_cast<MElement*>(taken->as<ScriptElement>());
}

const ScriptElement* pointerTarget() { return globalScope() ? script().pointer.hovered : nullptr; }

// Marks spread from parents to children in one walk because parents come
// first; unmarked elements keep last tick's absolute values.
void computeBaseValues(MScene& scene) {
    if (scene.hierarchyDirty) {
        scene.hierarchyDirty = false;
        reorderUpdateList(scene);
    }
    scene.transformsDirty = false;
    scene.recomputed.clear();
    for (MElement* element : scene.updateList) {
        if (!element->transformDirty) {
            if (!element->parent || !element->parent->transformDirty)
                continue;
            element->transformDirty = 1;
        }
        scene.recomputed.push_back(element);
        refreshBaseValues(scene, *element);
    }
}

void MScene::update(bool sortNow) {
    if (clockRuns)
        ++tickCounter;
    MElement* carried = carriedElement();
    if (carried && carried->scene == this)
        carried->markTransformDirty();
    advanceElementAnimation(*this);
    markFadingElements(*this);
    markHoverLinks(*this);
    computeBaseValues(*this);
    applyElementFades(*this);
    updateHoverLinks(*this);
    computeTransforms(*this);
    fireTimeTriggers(*this);
    deriveCamera(*this);
    if (sortNow && drawOrderDirty) {
        drawOrderDirty = false;
        sortDrawList(*this);
    }
    drawOpacity = 1;
    drawDarkness = 0;
    firstDrawIndex = -1;
    tickSceneSounds(*this);
    clockRuns = false;
}

// A negative clock is inside a scripted segment, which keeps its place.
void MScene::resetTimers() {
    for (MHoverLink* link : hoverLinks) link->level = 0;
    for (MElement* element : elements) {
        if (element->time > 0)
            element->time = 0;
        element->previousTime = element->time;
    }
}

} // namespace glint
