// What the scene update drives besides transforms: particle instances,
// movies and the scene sounds. These are hooks until particle instances,
// movie playback and scene sound lists are attached to scenes: the
// particle step keeps nothing marked, the movie and sound steps and the
// resets do nothing.
#pragma once

namespace glint {

class MElement;
class MScene;

// One tick of a particle element's instance (start, prewarm, emission at
// the element's Em channel, hand-over of a finished instance). True while
// the element must be recomputed next tick.
bool driveParticleElement(MScene& scene, MElement& element);
// Play, pause and frame presentation of a movie element.
void driveMovieElement(MScene& scene, MElement& element);
// The keep-alive countdown of the scene's sounds.
void tickSceneSounds(MScene& scene);
// The reset command: the element's particle instance starts over (no
// particles, emission from the beginning) and its movie plays from the
// first frame. Hooks like the steps above until instances and playback are
// attached to elements.
void resetParticleInstance(MElement& element);
void restartMovie(MElement& element);

} // namespace glint
