// An emitter description read from a ".particles" file. Holding it also holds
// its image (texture and optional movie) while the description is in use.
#pragma once

#include "resource/image_anim.h"
#include "resource/resource.h"

#include <cstdint>

namespace glint {

// Bits of MParticleSystem::imageHeld: what the holder took, so that the
// release gives back exactly that even when the loading mode changed since.
constexpr uint8_t kImageHeldMovie = 0x01;
constexpr uint8_t kImageHeldTexture = 0x02;

class MParticleSystem : public MResource {
public:
    explicit MParticleSystem(const char* path) : MResource(ResourceKind::ParticleSystem, path) {}

    void load() override;
    // Keeps the parameters: they are small, and instances may still read them.
    void unload() override {}

    MImageAnim image; // no texture: particles use their owner element's image
    uint8_t imageHeld = 0;
    uint8_t loaded = 0; // set once the file was read
};

} // namespace glint
