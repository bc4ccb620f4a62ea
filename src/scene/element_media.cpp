#include "scene/element_media.h"

namespace glint {

void tickSceneSounds(MScene&) {}

} // namespace glint
