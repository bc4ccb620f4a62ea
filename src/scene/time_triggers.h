// The when cues of a scene's scripts, fired as the clocks of their elements
// pass the cue times. The scene update calls it each tick after the clocks
// moved.
#pragma once

namespace glint {

class MScene;

void fireTimeTriggers(MScene& scene);

} // namespace glint
