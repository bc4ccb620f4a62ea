// The base of every file-backed asset: one object per path, loaded while
// somebody holds it and unloaded when the last holder lets go. The resource
// manager owns the objects and drives the four virtual operations.
#pragma once

#include <cstdint>

namespace glint {

enum class ResourceKind : uint8_t {
    None = 0,
    Texture = 1,
    ParticleSystem = 2,
    SoundFile = 3,
    Video = 4,
    Configuration = 5,
};

// Bits of MResource::state.
constexpr uint8_t kResourceRegisteredByScene = 0x01; // configurations only
constexpr uint8_t kResourceCounted = 0x10; // loaded through an atlas, or counted by the loading step
constexpr uint8_t kResourceQueued = 0x40;

class MResource {
public:
    MResource(ResourceKind kind, const char* path) : path(path), kind(kind) {}
    virtual ~MResource() = default;
    MResource(const MResource&) = delete;
    MResource& operator=(const MResource&) = delete;

    // Called for every resource when the manager shuts down.
    virtual void discard() {}
    // Reads the file and builds the contents; a file that fails leaves the
    // resource empty, which holders must tolerate.
    virtual void load() = 0;
    // Drops the contents and keeps the object, ready to load again.
    virtual void unload() = 0;

    MResource* next = nullptr; // the manager's list of all resources
    const char* path;          // owned by the manager's string pool, or static
    int16_t refCount = 0;
    ResourceKind kind;
    uint8_t state = 0;
    MResource* hashNext = nullptr; // next in the same path-index bucket
};

// Whether resources trace "LOAD %s" and "UNLOAD %s"; the application's
// resource trace setting, off unless something turns it on.
bool resourceTraceEnabled();
void setResourceTrace(bool enabled);

} // namespace glint
