// Starting, emitting and ageing: the clock of an instance and the birth of
// its particles. Drawing is in particle_draw.cpp.
#include "scene/particle_instance.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "engine/system/numbers.h"
#include "resource/particle_system.h"
#include "scene/element.h"
#include "scene/element_geometry.h"
#include "script/pool.h"

namespace glint {

namespace {

class ParticlePool {
public:
    static constexpr size_t kBlockSize = 1024;

    MParticle* take() {
        if (!free_) {
            if (live_ >= kMaxLiveParticles)
                return nullptr;
            grow();
        }
        MParticle* particle = free_;
        free_ = particle->next;
        ++live_;
        return particle;
    }
    void give(MParticle* particle) {
        particle->next = free_;
        free_ = particle;
        --live_;
    }
    size_t live() const { return live_; }

private:
    void grow() {
        blocks_.push_back(std::make_unique<MParticle[]>(kBlockSize));
        MParticle* block = blocks_.back().get();
        for (size_t i = kBlockSize; i-- > 0;) {
            block[i].next = free_;
            free_ = &block[i];
        }
    }

    std::vector<std::unique_ptr<MParticle[]>> blocks_;
    MParticle* free_ = nullptr;
    size_t live_ = 0;
};

ParticlePool& particlePool() {
    static ParticlePool pool;
    return pool;
}

ObjectPool<MParticleInstance, 64>& instancePool() {
    static ObjectPool<MParticleInstance, 64> pool;
    return pool;
}

float randomFloat() { return static_cast<float>(random()); }

float lerp(float a, float b, float t) { return a + (b - a) * t; }

// trunc(random x (high - low + 0.999) + low), as every random tick count.
int32_t randomTicks(int32_t low, int32_t high) {
    return static_cast<int32_t>(std::trunc(random() * (static_cast<double>(high) - low + 0.999) + low));
}

// A uniform point of the owner's hotspot polygons, picked by area, or of
// its rectangle when it has none.
PolygonPoint pointOfOwnerArea(const MElement& owner) {
    const MElementVisual* visual = owner.visual;
    if (!visual || !visual->hasHotspot() || visual->hotspotArea <= 0)
        return {(randomFloat() - owner.pivotX) * owner.absW, (randomFloat() - owner.pivotY) * owner.absH};
    float g = randomFloat() * visual->hotspotArea;
    for (const MHotspotPolygon& polygon : visual->polygons) {
        if (polygon.kind != PolygonKind::Hotspot)
            continue;
        for (int j = 0; j < polygon.count() && j < static_cast<int>(polygon.edgeAreas.size()); ++j) {
            g -= polygon.edgeAreas[j];
            if (g > 0)
                continue;
            float u = randomFloat(), v = randomFloat();
            if (u + v > 1) {
                u = 1 - u;
                v = 1 - v;
            }
            const PolygonPoint c = polygon.centroid, a = polygon.points[j], b = polygon.points[j + 1];
            return {c.x + (a.x - c.x) * u + (b.x - c.x) * v, c.y + (a.y - c.y) * u + (b.y - c.y) * v};
        }
    }
    return {};
}

float ownerArea(const MElement& owner) {
    const MElementVisual* visual = owner.visual;
    if (visual && visual->hasHotspot())
        return visual->hotspotArea;
    return owner.absW * owner.absH;
}

} // namespace

float MParticleInstance::ownerCentreX() const {
    if (!owner)
        return 0;
    const auto corners = elementCorners(*owner);
    return (corners[0].x + corners[2].x) / 2;
}

float MParticleInstance::ownerCentreY() const {
    if (!owner)
        return 0;
    const auto corners = elementCorners(*owner);
    return (corners[0].y + corners[2].y) / 2;
}

void MParticleInstance::start() {
    running = alive = 1;
    finished = 0;
    offsetX = offsetY = 0;
    stop();
    age = -randomTicks(system->startMin, system->startMax);
    progress = system->emitTime > 0 ? static_cast<float>(age) / system->emitTime : 0;
    burstTimer = 0;
    emitted = 0;
    if (system->emitTime < 0)
        alive = 0;
}

void MParticleInstance::prewarm() {
    const int32_t ticks = std::min(system->lifeMax, kMaxPrewarmTicks);
    for (int32_t i = 0; i < ticks; ++i)
        update(2);
}

void MParticleInstance::update(int rate) {
    if (!running || !alive)
        return;
    if (++age < 0)
        return;
    bool emitting = rate > 1;
    if (rate < 1) {
        age = 0;
        burstTimer = 0;
        emitted = 0;
    } else if (age >= system->emitTime) {
        if (!loop) {
            finished = 1;
        } else if (age >= system->cycleTime) {
            age = 0;
        } else {
            emitting = false;
        }
    }
    progress = system->emitTime >= 1 ? static_cast<float>(age) / system->emitTime : 0;
    if (!finished && --burstTimer < 1) {
        if (emitting)
            burst();
        else
            burstTimer = 0;
    }
    ageParticles();
    if (!particles && finished)
        alive = 0;
}

void MParticleInstance::burst() {
    const ParticleDescription& d = *system;
    const float rate = std::clamp(lerp(d.rateMin, d.rateMax, randomFloat()), 0.1f, 100.0f);
    burstTimer = static_cast<int32_t>(std::lround(100.0f / rate));
    double size = lerp(d.countMin, d.countMax, randomFloat());
    if (d.shape == 2 && owner)
        size *= ownerArea(*owner) * 0.001;
    const auto particlesInBurst =
        static_cast<int32_t>(std::clamp(std::round(size), 0.0, static_cast<double>(kMaxBurstParticles)));
    for (int32_t i = 0; i < particlesInBurst; ++i) {
        if (d.total > 0 && emitted >= d.total)
            break;
        spawn();
    }
}

void MParticleInstance::spawn() {
    const ParticleDescription& d = *system;
    const int32_t life = randomTicks(d.lifeMin, d.lifeMax);
    if (life <= 0)
        return;
    MParticle* p = particlePool().take();
    if (!p)
        return;
    ++emitted;
    p->life = life;
    p->age = 0;
    if (d.shape == 1) {
        const float r = std::sqrt(randomFloat());
        const SinCos turn = tableSinCos(360 * randomFloat());
        p->spawnX = (d.sizeXSecond + (d.sizeXFirst - d.sizeXSecond) * r) * turn.cos;
        p->spawnY = (d.sizeYSecond + (d.sizeYFirst - d.sizeYSecond) * r) * turn.sin;
    } else if (d.shape == 2) {
        const PolygonPoint point = owner ? pointOfOwnerArea(*owner) : PolygonPoint{};
        p->spawnX = point.x;
        p->spawnY = point.y;
    } else {
        p->spawnX = d.sizeXFirst * (randomFloat() - 0.5f) * 2;
        p->spawnY = d.sizeYFirst * (randomFloat() - 0.5f) * 2;
    }
    p->originX = p->originY = 0;
    if (d.option('B')) {
        p->originX = offsetX + ownerCentreX();
        p->originY = offsetY + ownerCentreY();
    }
    const float pickDirection = randomFloat();
    p->direction = lerp(lerp(d.direction[0], d.direction[1], pickDirection),
                        lerp(d.direction[2], d.direction[3], pickDirection), progress);
    const float pickSpeed = randomFloat();
    p->speed = lerp(lerp(d.velocity[0], d.velocity[1], pickSpeed), lerp(d.velocity[2], d.velocity[3], pickSpeed),
                    progress);
    p->seedX = randomFloat();
    p->seedY = randomFloat();
    p->seedAngle = randomFloat();
    // The newest goes last: before the oldest in the circle.
    if (!particles) {
        p->next = p->prev = p;
        particles = p;
    } else {
        p->next = particles;
        p->prev = particles->prev;
        particles->prev->next = p;
        particles->prev = p;
    }
    ++count;
}

void MParticleInstance::ageParticles() {
    MParticle* p = particles;
    for (int32_t n = count; n > 0; --n) {
        MParticle* next = p->next;
        if (++p->age >= p->life) {
            if (p == next) {
                particles = nullptr;
            } else {
                p->prev->next = next;
                next->prev = p->prev;
                if (p == particles)
                    particles = next;
            }
            particlePool().give(p);
            --count;
        }
        p = next;
    }
}

void MParticleInstance::stop() {
    if (!particles)
        return;
    MParticle* p = particles;
    for (int32_t n = count; n > 0; --n) {
        MParticle* next = p->next;
        particlePool().give(p);
        p = next;
    }
    particles = nullptr;
    count = 0;
}

MParticleInstance* takeParticleInstance(MParticleSystem* system) {
    if (!system)
        return nullptr;
    MParticleInstance* instance = instancePool().create();
    instance->system = system;
    return instance;
}

void giveBackParticleInstance(MParticleInstance* instance) {
    if (!instance)
        return;
    instance->stop();
    instancePool().release(instance);
}

size_t liveParticleCount() { return particlePool().live(); }

size_t liveParticleInstanceCount() { return instancePool().liveCount(); }

} // namespace glint
