// The element animation steps the scene update drives each tick: clocks
// and keyframe tracks, blends, typing, fades and activity records.
//
// Until keyframe tracks, fades and blends exist these are the minimal
// versions the update needs: advanceElementAnimation only moves the clocks
// of the animated elements by their time control's speed; the fade,
// blend, typing and activity parts do nothing.
#pragma once

namespace glint {

class MElement;
class MScene;

// While the scene clock runs: every element on scene.animated keeps its
// previous time and advances by its time control's speed; an element
// without a control leaves the list.
void advanceElementAnimation(MScene& scene);
// Marks the elements with a running fade, whose opacity changes each tick.
void markFadingElements(MScene& scene);
// The activity records (animating, fading, blending) of an element whose
// base values are being refreshed.
void noteElementActivity(MScene& scene, MElement& element);
// Running fades multiply the effective opacity of their elements.
void applyElementFades(MScene& scene);

} // namespace glint
