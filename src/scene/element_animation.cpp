#include "scene/element_animation.h"

#include <algorithm>

#include "scene/element.h"
#include "scene/scene.h"

namespace glint {

void advanceElementAnimation(MScene& scene) {
    if (!scene.clockRuns)
        return;
    auto stopped = [](MElement* element) {
        if (!element->timeControl) {
            element->flags &= ~kElementTimeRunning;
            return true;
        }
        element->previousTime = element->time;
        element->time += element->timeControl->speed;
        return false;
    };
    auto& animated = scene.animated;
    animated.erase(std::remove_if(animated.begin(), animated.end(), stopped), animated.end());
}

void markFadingElements(MScene&) {}

void noteElementActivity(MScene&, MElement&) {}

void applyElementFades(MScene&) {}

} // namespace glint
