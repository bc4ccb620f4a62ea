// A running emitter of a particle system: the instance of a ps_ element, a
// free-running effect started by a script, or an inventory item's hover
// sparkle. Instances and their particles come from engine-wide pools with
// free lists; nothing is allocated per tick once the pools have grown.
#pragma once

#include <cstddef>
#include <cstdint>

namespace glint {

class MElement;
class MParticleSystem;
class MScene;

struct MParticle {
    MParticle* next = nullptr; // circular list of the instance, or the free list
    MParticle* prev = nullptr;
    int32_t life = 0, age = 0;            // ticks
    float originX = 0, originY = 0;       // birth position of an absolute particle
    float spawnX = 0, spawnY = 0;         // offset from the emitter
    float speed = 0, direction = 0;       // pixels per tick, degrees
    float seedX = 0, seedY = 0, seedAngle = 0; // random picks within the size and angle ranges
};

// Bounds that keep a hostile description from exhausting the machine.
constexpr int32_t kMaxBurstParticles = 10000;
constexpr size_t kMaxLiveParticles = 200000; // in all instances together
constexpr int32_t kMaxPrewarmTicks = 6000;

class MParticleInstance {
public:
    // Emission from the beginning: a new start delay, no particles.
    void start();
    // Runs lifeMax updates with emission allowed, so that a visible
    // emitter starts full.
    void prewarm();
    // One tick: rate above 1 emits, below 1 holds the emitter at its start
    // (existing particles still age).
    void update(int rate);
    // Frees every live particle.
    void stop();
    // Every live particle with the opacity (the owner's own opacity is
    // applied here unless the system says otherwise).
    void draw(float opacity) const;

    bool hasParticles() const { return particles != nullptr; }
    int32_t particleCount() const { return count; }
    // The emitter's centre without its offset: the owner's centre, or 0.
    float ownerCentreX() const;
    float ownerCentreY() const;

    MParticleSystem* system = nullptr;
    MElement* owner = nullptr;  // places, scales, turns and tints the emitter; may be null
    MElement* source = nullptr; // the ps_ element whose image stands in for a missing one
    MScene* scene = nullptr;
    uint8_t running = 0, alive = 0, loop = 0, finished = 0;
    int32_t age = 0; // negative while waiting for the start delay
    float progress = 0;
    int32_t burstTimer = 0;
    int32_t emitted = 0;
    float baseX = 0, baseY = 0;     // added to every particle's position
    float offsetX = 0, offsetY = 0; // the emitter from its owner's centre
    float colorR = 1, colorG = 1, colorB = 1;
    MParticle* particles = nullptr; // the oldest live particle
    int32_t count = 0;

private:
    void burst();
    void spawn();
    void ageParticles();
};

// A fresh instance of system from the pool (null without a system), and
// its return with all its particles.
MParticleInstance* takeParticleInstance(MParticleSystem* system);
void giveBackParticleInstance(MParticleInstance* instance);

// Live particles and instances in the pools, for tests and benchmarks.
size_t liveParticleCount();
size_t liveParticleInstanceCount();

} // namespace glint
