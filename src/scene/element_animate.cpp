// An element's clock: started by animate, advanced every tick while its
// scene's clock runs, and turned into channel values by the tracks.
#include "scene/activity.h"
#include "scene/animation.h"
#include "scene/element.h"
#include "scene/element_lists.h"
#include "scene/scene.h"

#include <cmath>

namespace glint {

namespace {

constexpr int kChannelOpacity = kChannelAlpha;

bool visualLoops(const MElement& element) {
    return (element.visual && element.visual->loopTime > 0) || element.imageAnimates();
}

void endControl(MElement& element) {
    returnRecord(element.timeControl);
    element.timeControl = nullptr;
    element.flags &= ~kElementTimeRunning;
}

// lo and hi around v, as the binary search over the key times finds them.
void keysAround(const MKeyTrack& track, float v, int& lo, int& hi) {
    lo = 0;
    hi = track.count() - 1;
    while (lo < hi - 1) {
        int mid = (lo + hi) / 2;
        if (static_cast<float>(track.times[mid]) > v)
            hi = mid;
        else
            lo = mid;
    }
}

} // namespace

bool MElement::imageAnimates() const {
    const MElement* source = imageSource ? imageSource : this;
    return source->visual && source->visual->image.frameCount() > 1;
}

float trackValue(const MKeyTrack& track, int channel, float time) {
    const int count = track.count();
    if (count == 0)
        return 0;
    if (count == 1)
        return track.values[0];
    float v = time;
    if (v < static_cast<float>(track.times[0]))
        return track.values[0];
    const float last = static_cast<float>(track.times[count - 1]);
    if (v > last) {
        if (last <= 0)
            return track.values[count - 1];
        v -= std::trunc(v / last) * last;
    }
    int lo = 0, hi = 0;
    keysAround(track, v, lo, hi);
    if (lo == hi)
        return track.values[hi];
    if (lo == 0 && v < static_cast<float>(track.times[0]))
        return track.values[0];
    float a = track.values[lo], b = track.values[hi];
    const float t0 = static_cast<float>(track.times[lo]), t1 = static_cast<float>(track.times[hi]);
    if (channel == kChannelOpacity && t1 - t0 <= 10 && std::fabs(b - a) >= 1)
        return v < t1 ? a : b;
    if (channel == kChannelAngle && std::fabs(b - a) > 180) {
        float turn = 360 * (std::floor((std::fabs(b - a) - 180) / 360) + 1);
        (a < b ? a : b) += turn;
    }
    return a + (b - a) * (v - t0) / (t1 - t0);
}

void MElement::animate(int32_t from, int32_t to, float speed, bool loop, ScriptTask* task, bool force) {
    time = previousTime = static_cast<float>(from);
    const bool fromNegative = from < 0;
    from = std::min(from, 0);
    to = std::min(to, 0);
    const bool needed = from != to || (from == 0 && to == 0 && visualLoops(*this)) || force;
    if (needed) {
        if (!timeControl)
            timeControl = takeRecord<MTimeControl>();
        *timeControl = {from, to, std::max(speed, kMinTimeControlSpeed), task};
        if (loop)
            flags |= kElementClockLoops;
        else
            flags &= ~kElementClockLoops;
        if (!loop && fromNegative && from != to)
            sceneActivity().add({owner(), ActivityKind::Animate, owner() ? owner()->name : nullptr, name, task});
    } else {
        returnRecord(timeControl);
        timeControl = nullptr;
    }
    if (MScene* home = owner())
        addOnce(home->animated, this);
    flags |= kElementTimeRunning;
}

bool MElement::advanceClock() {
    previousTime = time;
    if (!timeControl)
        return false;
    MTimeControl& c = *timeControl;
    const float to = static_cast<float>(c.to);
    bool ended = false;
    if (c.from > c.to) {
        time -= c.speed;
        if (time <= to) {
            time = to;
            ended = true;
        }
    } else {
        time += c.speed;
        if (time >= to) {
            if (to < -0.001f) {
                time = to;
                ended = true;
            } else if ((!visual || visual->loopTime == 0) && !imageAnimates()) {
                time = 0; // nothing loops: an open-ended run stops at once
                ended = true;
            }
        }
    }
    if (ended)
        endControl(*this);
    return !ended;
}

void MElement::evaluateTracks(float halfWidth, float halfHeight) {
    if (!visual || !visual->tracks)
        return;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const MKeyTrack& track = (*visual->tracks)[static_cast<size_t>(channel)];
        if (track.count() == 0)
            continue;
        if (((channel == kChannelX || channel == kChannelY) && hasFlag(kElementPositionLocked)) ||
            (channel == kChannelZ && hasFlag(kElementDepthLocked)) ||
            (channel == kChannelAngle && hasFlag(kElementAngleLocked)))
            continue;
        markTransformDirty();
        float value = trackValue(track, channel, time);
        if (!parent && channel == kChannelX)
            value += halfWidth;
        else if (!parent && channel == kChannelY)
            value += halfHeight;
        channels[channel] = value;
    }
}

void MScene::updateAnimation(bool clockRuns, float halfWidth, float halfHeight) {
    // A copy: an element that stops leaves the list while it is walked.
    std::vector<MElement*> running = animated;
    for (MElement* element : running) {
        if (clockRuns && !element->advanceClock()) {
            removeFrom(animated, element);
            element->flags &= ~kElementTimeRunning;
        }
        element->evaluateTracks(halfWidth, halfHeight);
    }
}

} // namespace glint
