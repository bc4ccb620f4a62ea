#include "scene/particle_effects.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "resource/particle_system.h"
#include "scene/element.h"
#include "scene/element_media.h"
#include "scene/particle_instance.h"
#include "scene/scene.h"

namespace glint {

namespace {

std::vector<MParticleInstance*>& freeEffects() {
    static std::vector<MParticleInstance*> effects;
    return effects;
}

MParticleInstance* instanceFor(MScene* scene, MElement& element) {
    MParticleSystem* system = element.visual ? element.visual->particleSystem : nullptr;
    MParticleInstance* instance = takeParticleInstance(system);
    if (!instance)
        return nullptr;
    instance->owner = instance->source = &element;
    instance->scene = scene;
    instance->loop = 1;
    return instance;
}

// The emission rate the element's Em channel asks for: 2 while it is fully
// on, 0 while it is off or the element is inactive.
int emissionRate(const MElement& element) {
    if (!element.hasFlag(kElementActive))
        return 0;
    return static_cast<int>(std::lround(element.channels[kChannelEmission] * 2));
}

} // namespace

void attachParticleInstance(MScene& scene, MElement& element) {
    if (!element.particles)
        element.particles = instanceFor(&scene, element);
}

void attachCopiedParticleInstance(MElement& copy) {
    if (copy.visual && copy.visual->isParticleSystem() && !copy.particles)
        copy.particles = instanceFor(copy.owner(), copy);
}

void releaseParticleInstance(MElement& element) {
    giveBackParticleInstance(element.particles);
    element.particles = nullptr;
    for (MParticleInstance* effect : freeEffects()) {
        if (effect->owner == &element) {
            // The emitter stays where its owner was last seen.
            effect->baseX += effect->ownerCentreX();
            effect->baseY += effect->ownerCentreY();
            effect->owner = nullptr;
        }
        if (effect->source == &element)
            effect->source = nullptr;
    }
}

void stopParticleInstance(MElement& element) {
    if (element.particles)
        element.particles->stop();
}

void resetParticleInstance(MElement& element) {
    if (MParticleInstance* instance = element.particles) {
        instance->stop();
        instance->running = 0;
    }
}

bool driveParticleElement(MScene& scene, MElement& element) {
    MParticleInstance* instance = element.particles;
    if (!instance)
        return false;
    if (!instance->running) {
        instance->start();
        if (element.hasFlag(kElementVisible) && element.hasFlag(kElementActive) &&
            element.channels[kChannelEmission] > 0.5f)
            instance->prewarm();
    }
    if (scene.clockRuns)
        instance->update(emissionRate(element));
    if (!instance->alive) {
        giveBackParticleInstance(instance);
        element.particles = nullptr;
        return false;
    }
    const bool emits = element.hasFlag(kElementActive) && std::lround(element.channels[kChannelEmission]) > 0;
    return emits || instance->hasParticles();
}

void drawParticleElement(const MElement& element, float drawOpacity) {
    if (element.particles)
        element.particles->draw(drawOpacity);
}

MParticleInstance* startFreeEffect(const MElement& psElement, MScene& scene, MElement* owner, float x, float y,
                                   float red, float green, float blue) {
    MParticleSystem* system = psElement.visual ? psElement.visual->particleSystem : nullptr;
    MParticleInstance* effect = takeParticleInstance(system);
    if (!effect)
        return nullptr;
    effect->scene = &scene;
    effect->owner = owner;
    effect->source = const_cast<MElement*>(&psElement);
    effect->start();
    effect->baseX = x;
    effect->baseY = y;
    effect->colorR = red;
    effect->colorG = green;
    effect->colorB = blue;
    freeEffects().push_back(effect);
    return effect;
}

void advanceFreeEffects() {
    std::vector<MParticleInstance*>& effects = freeEffects();
    for (MParticleInstance* effect : effects)
        effect->update(2);
    auto ended = std::stable_partition(effects.begin(), effects.end(),
                                       [](const MParticleInstance* effect) { return effect->alive != 0; });
    for (auto at = ended; at != effects.end(); ++at)
        giveBackParticleInstance(*at);
    effects.erase(ended, effects.end());
}

void drawSceneEffects(const MScene& scene) {
    const std::vector<MParticleInstance*>& effects = freeEffects();
    for (auto at = effects.rbegin(); at != effects.rend(); ++at) {
        const MParticleInstance* effect = *at;
        if (effect->scene == &scene && (!effect->owner || effect->owner->hasFlag(kElementVisible)))
            effect->draw(1);
    }
}

void releaseFreeEffects() {
    for (MParticleInstance* effect : freeEffects())
        giveBackParticleInstance(effect);
    freeEffects().clear();
}

int freeEffectCount() { return static_cast<int>(freeEffects().size()); }

MParticleInstance* freeEffectAt(int index) { return freeEffects().at(static_cast<size_t>(index)); }

} // namespace glint
