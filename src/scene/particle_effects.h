// Particle emitters in play: the instance each ps_ element runs, driven by
// the scene update and drawn in the element's place, and the engine's list
// of free-running effects (started by scripts and by the picking
// animations), advanced by the inventory tick and drawn after their
// scene's elements.
#pragma once

namespace glint {

class MElement;
class MParticleInstance;
class MScene;

// Preparing a ps_ element whose system loaded: its instance, started by the
// next scene update.
void attachParticleInstance(MScene& scene, MElement& element);
// A new element copied from a ps_ element gets an instance of its own.
void attachCopiedParticleInstance(MElement& copy);
// The element goes away: its instance returns to the pool and the effects
// it owns stay where they are without it.
void releaseParticleInstance(MElement& element);
// Hiding: the element's particles vanish.
void stopParticleInstance(MElement& element);
// Drawing the element: its instance with the scene's draw opacity.
void drawParticleElement(const MElement& element, float drawOpacity);

// A free-running effect of the system of psElement in scene, at (x, y)
// (with owner, from its centre), tinted; it emits once through its
// emission phase and ends when its last particle dies. Null when
// psElement has no system.
MParticleInstance* startFreeEffect(const MElement& psElement, MScene& scene, MElement* owner, float x, float y,
                                   float red, float green, float blue);
// The inventory tick: every effect emits and ages; ended ones go back to
// the pool.
void advanceFreeEffects();
// The effects of scene whose owner is absent or visible, the last started
// first.
void drawSceneEffects(const MScene& scene);
// The end of a run: every effect goes back to the pool.
void releaseFreeEffects();
int freeEffectCount();
// The effect started index-th of those running, oldest first.
MParticleInstance* freeEffectAt(int index);

} // namespace glint
