#include "scene/element_media.h"

namespace glint {

bool driveParticleElement(MScene&, MElement&) { return false; }

void driveMovieElement(MScene&, MElement&) {}

void tickSceneSounds(MScene&) {}

void resetParticleInstance(MElement&) {}

void restartMovie(MElement&) {}

} // namespace glint
