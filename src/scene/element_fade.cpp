// Showing and hiding, fades (visibility over time) and blends (the alpha
// property over time), what they keep scripts waiting for, and the
// animation commands' entry points.
#include "scene/activity.h"
#include "scene/element.h"
#include "scene/element_lists.h"
#include "scene/element_movie.h"
#include "scene/particle_effects.h"
#include "scene/scene.h"
#include "script/script_system.h"

#include <algorithm>
#include <cmath>

namespace glint {

namespace {

// The task whose script runs now; fades and blends report to it.
ScriptTask* currentTask() {
    const Value& task = script().ctx.task;
    return task.is(ValueType::Task) ? task.as<ScriptTask>() : nullptr;
}

// A new run of a fade or blend continues where a running one stands: the
// same share of the new duration, counted from the other end when the
// direction turns. A finished one starts from its end when the element is
// already where the new one leads.
template <class Record> int32_t continuedProgress(const Record* old, bool oldIn, bool in, int32_t duration,
                                                 bool alreadyThere) {
    if (old && old->progress < old->duration) {
        auto progress = static_cast<int32_t>(static_cast<int64_t>(duration) * old->progress / old->duration);
        return oldIn == in ? progress : duration - progress;
    }
    return alreadyThere ? duration : 0;
}

void addActivity(MElement& element, ActivityKind kind, ScriptTask* task) {
    MScene* scene = element.owner();
    sceneActivity().add({scene, kind, scene ? scene->name : nullptr, element.name, task});
}

} // namespace

void MElement::scriptAnimate(int32_t from, int32_t to, float speed, bool effect) {
    animate(from, to, speed, effect, currentTask(), false);
}

void MElement::scriptFade(bool fadeIn, int32_t ticks, bool effect) { startFade(fadeIn, ticks, effect); }

void MElement::scriptBlend(bool blendIn, int32_t ticks, bool effect) { startBlend(blendIn, ticks, effect); }

void MElement::setShown(bool shown) {
    MScene* scene = owner();
    if (shown) {
        flags |= kElementVisible | kElementActive;
        if (scene && scene->resourcesHeld && scene->holder)
            holdElementResources(*scene->holder, *this);
    } else {
        flags &= ~(kElementVisible | kElementActive);
        if (scene && scene->holder && held)
            releaseElementResources(*scene->holder, *this);
        stopMovie(*this);
        stopParticleInstance(*this);
    }
    markTransformDirty();
}

void MElement::startFade(bool fadeIn, int32_t duration, bool noWait) {
    const bool visible = hasFlag(kElementVisible);
    int32_t progress =
        continuedProgress(fade, fade && fade->fadeIn, fadeIn, duration, fadeIn ? visible : !visible);
    if (!fade)
        fade = takeRecord<MFade>();
    *fade = {duration, progress, fadeIn, noWait, currentTask()};
    if (fadeIn)
        setShown(true);
    if (!noWait && duration > 0)
        addActivity(*this, ActivityKind::Fade, fade->task);
    if (progress < duration) {
        if (MScene* scene = owner())
            addOnce(scene->fading, this);
    } else {
        finishFade();
    }
}

void MElement::finishFade() {
    if (fade && !fade->fadeIn && !hasFlag(kElementKeepShown))
        setShown(false);
    returnRecord(fade);
    fade = nullptr;
    if (MScene* scene = owner())
        removeFrom(scene->fading, this);
}

void MElement::startBlend(bool blendIn, int32_t duration, bool noWait) {
    const bool opaque = alpha == kOpaque;
    int32_t progress =
        continuedProgress(blend, blend && blend->blendIn, blendIn, duration, blendIn ? opaque : !opaque);
    if (!blend)
        blend = takeRecord<MBlend>();
    *blend = {duration, progress, blendIn, noWait, currentTask()};
    if (!noWait && duration > 0)
        addActivity(*this, ActivityKind::Blend, blend->task);
    if (progress < duration) {
        if (MScene* scene = owner())
            addOnce(scene->blending, this);
    } else {
        finishBlend();
    }
}

void MElement::finishBlend() {
    if (blend)
        alpha = blend->blendIn ? kOpaque : 0;
    markTransformDirty();
    returnRecord(blend);
    blend = nullptr;
    if (MScene* scene = owner())
        removeFrom(scene->blending, this);
}

void MScene::updateFades(bool clockRuns) {
    std::vector<MElement*> running = fading;
    for (MElement* element : running) {
        MFade* f = element->fade;
        if (f && clockRuns)
            ++f->progress;
        if (!f || f->progress >= f->duration) {
            element->finishFade();
            continue;
        }
        double share = static_cast<double>(f->progress) / f->duration;
        element->effectiveAlpha =
            static_cast<int16_t>(std::round(element->effectiveAlpha * (f->fadeIn ? share : 1 - share)));
    }
}

void MScene::updateBlends() {
    std::vector<MElement*> running = blending;
    for (MElement* element : running) {
        MBlend* b = element->blend;
        if (!b || ++b->progress >= b->duration) {
            element->finishBlend();
            continue;
        }
        double share = static_cast<double>(b->progress) / b->duration;
        double value = std::round(kOpaque * (b->blendIn ? share : 1 - share));
        element->alpha = static_cast<int16_t>(std::clamp(value, 0.0, static_cast<double>(kOpaque)));
        element->markTransformDirty();
    }
}

void MElement::noteActivity(bool clockRuns) {
    if (const MFade* f = fade; f && f->progress < f->duration && !f->noWait)
        addActivity(*this, ActivityKind::Fading, f->task);
    if (const MBlend* b = blend; b && b->progress < b->duration && !b->noWait)
        addActivity(*this, ActivityKind::Blending, b->task);
    if (timeControl && !hasFlag(kElementClockLoops) && clockRuns && time < 0)
        addActivity(*this, ActivityKind::Animating, timeControl->task);
}

} // namespace glint
