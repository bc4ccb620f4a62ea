// What the scene update drives besides transforms and movies (see
// element_movie.h): particle instances and the scene sounds. The particle
// steps are hooks until particle instances are attached to scenes: the
// particle step keeps nothing marked and the reset does nothing. The
// sound step lives with the sound list (scene_sound_list.cpp).
#pragma once

namespace glint {

class MElement;
class MScene;

// One tick of a particle element's instance (start, prewarm, emission at
// the element's Em channel, hand-over of a finished instance). True while
// the element must be recomputed next tick.
bool driveParticleElement(MScene& scene, MElement& element);
// The keep-alive countdown of the sounds the scene's player loaded.
void tickSceneSounds(MScene& scene);
// The reset command: the element's particle instance starts over (no
// particles, emission from the beginning). A hook like the steps above
// until instances are attached to elements.
void resetParticleInstance(MElement& element);

} // namespace glint
