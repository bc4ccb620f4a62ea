// An emitter description read from a ".particles" file in the particle
// folder. Holding it also holds its image (texture and optional movie)
// while the description is in use.
#pragma once

#include "resource/image_anim.h"
#include "resource/particle_description.h"
#include "resource/resource.h"

#include <cstdint>

namespace glint {

class MResourceManager;

// Bits of MParticleSystem::imageHeld: what the holder took, so that the
// release gives back exactly that even when the loading mode changed since.
constexpr uint8_t kImageHeldMovie = 0x01;
constexpr uint8_t kImageHeldTexture = 0x02;

constexpr const char* kParticleFolder = "data/_interface/particles";

class MParticleSystem : public MResource, public ParticleDescription {
public:
    explicit MParticleSystem(const char* path) : MResource(ResourceKind::ParticleSystem, path) {}

    // Reads the file over the current parameters; a missing file leaves
    // loaded clear.
    void load() override;
    // Keeps the parameters: they are small, and instances may still read them.
    void unload() override {}
    // Writes the parameters back to the file; false when it cannot be written.
    bool save() const;
    // The text save writes.
    std::string text() const;

    MImageAnim image; // no texture: particles use their owner element's image
    uint8_t imageHeld = 0;
    uint8_t loaded = 0; // set once the file was read
    // Registers the image's texture; set by the manager that made it.
    MResourceManager* manager = nullptr;
};

} // namespace glint
