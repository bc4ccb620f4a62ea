#include "scene/time_triggers.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "scene/element.h"
#include "scene/scene.h"
#include "script/interpreter.h"

namespace glint {

namespace {

// A clock position in ticks; a positive one is taken within the loop.
int64_t onLoop(float time, int64_t loopTicks) {
    int64_t t = roundToInteger(time);
    return t > 0 ? t % loopTicks : t;
}

bool passes(const MElement& element, int32_t tick) {
    float loopTime = element.visual ? element.visual->loopTime : 0;
    int64_t loopTicks = std::max<int64_t>(1, roundToInteger(loopTime * 100));
    int64_t now = onLoop(element.time, loopTicks);
    int64_t before = onLoop(element.previousTime, loopTicks);
    return now != before && (now == tick || (element.time == 1 && before == tick));
}

} // namespace

void fireTimeTriggers(MScene& scene) {
    // A cue body may delete elements, which drops their cues: walk a copy
    // and skip what has gone meanwhile.
    std::vector<AnimationCue*> cues = scene.scope.cues;
    for (AnimationCue* cue : cues) {
        const auto& live = scene.scope.cues;
        if (std::find(live.begin(), live.end(), cue) == live.end()) continue;
        auto* element = dynamic_cast<MElement*>(cue->element);
        if (element && passes(*element, cue->time)) runAnimationCue(scene.scope, *cue);
    }
}

} // namespace glint
