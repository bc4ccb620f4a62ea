// The element animation steps in the order the scene update runs them
// (element_animate.cpp and element_fade.cpp do the work).
#pragma once

namespace glint {

class MElement;
class MScene;

// Clocks and tracks of the animated elements, then blends and typing
// (while the scene clock runs).
void advanceElementAnimation(MScene& scene);
// Elements with a running fade change opacity every tick.
void markFadingElements(MScene& scene);
// The activity records of an element whose base values are refreshed.
void noteElementActivity(MScene& scene, MElement& element);
// Fades advance and scale the effective opacity.
void applyElementFades(MScene& scene);

} // namespace glint
