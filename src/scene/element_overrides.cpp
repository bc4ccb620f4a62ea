// What script commands change on an element besides its properties:
// channel overrides, the image it draws, its size override, and the
// restart of its image animation.
#include "scene/element.h"
#include "scene/element_lists.h"
#include "scene/scene.h"

namespace glint {

void MElement::cancelPendingHide() {
    if (!fade || fade->fadeIn)
        return;
    returnRecord(fade);
    fade = nullptr;
    if (MScene* home = owner())
        removeFrom(home->fading, this);
}

void MElement::overrideChannel(uint32_t lock, int channel, float value) {
    flags |= lock;
    channels[channel] = value;
    markTransformDirty();
}

void MElement::releaseOverride(uint32_t lock) {
    if (!hasFlag(lock))
        return;
    flags &= ~lock;
    markTransformDirty();
    if (hasFlag(kElementTimeRunning))
        return;
    const MScene* home = owner();
    const SceneCamera centre = home ? home->camera : SceneCamera{};
    evaluateTracks(centre.halfW, centre.halfH);
}

void MElement::restartImageAnimation() { animate(0, 0, 1, true, nullptr, false); }

void MElement::setImageSource(MElement* source) {
    if (source == this)
        source = nullptr;
    // The open-ended loop the old image ran; keyframe loops keep going.
    if (timeControl && timeControl->from == 0 && timeControl->to == 0 && hasFlag(kElementClockLoops) &&
        !(visual && visual->loopTime > 0)) {
        returnRecord(timeControl);
        timeControl = nullptr;
        flags &= ~(kElementTimeRunning | kElementClockLoops);
    }
    imageSource = source;
    const MScene* home = owner();
    if (home && home->resourcesHeld && imageAnimates())
        restartImageAnimation();
    markTransformDirty();
}

void MElement::setSizeOverride(float w, float h) {
    if (!sizeOverride)
        sizeOverride = takeRecord<MSizeOverride>();
    *sizeOverride = {w, h};
    markTransformDirty();
}

void MElement::clearSizeOverride() {
    returnRecord(sizeOverride);
    sizeOverride = nullptr;
    markTransformDirty();
}

} // namespace glint
