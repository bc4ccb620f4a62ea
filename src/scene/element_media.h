// What the scene update drives besides transforms and movies (see
// element_movie.h): particle instances (particle_effects.cpp) and the scene
// sounds (scene_sound_list.cpp).
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
// particles, emission from the beginning).
void resetParticleInstance(MElement& element);

} // namespace glint
