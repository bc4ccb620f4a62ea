#include "resource/particle_system.h"

namespace glint {

void MParticleSystem::load() { loaded = 1; }

} // namespace glint
