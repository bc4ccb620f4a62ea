#include "scene/element_animation.h"

#include "scene/element.h"
#include "scene/scene.h"

namespace glint {

void advanceElementAnimation(MScene& scene) {
    scene.updateAnimation(scene.clockRuns, scene.camera.halfW, scene.camera.halfH);
    if (scene.clockRuns) {
        scene.updateBlends();
        scene.updateTyping();
    }
}

void markFadingElements(MScene& scene) {
    for (MElement* element : scene.fading)
        element->markTransformDirty();
}

void noteElementActivity(MScene& scene, MElement& element) { element.noteActivity(scene.clockRuns); }

void applyElementFades(MScene& scene) { scene.updateFades(scene.clockRuns); }

} // namespace glint
