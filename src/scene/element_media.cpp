#include "scene/element_media.h"

namespace glint {

bool driveParticleElement(MScene&, MElement&) { return false; }

void resetParticleInstance(MElement&) {}

} // namespace glint
