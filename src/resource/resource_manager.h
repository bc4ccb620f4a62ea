// The owner of every resource: one object per path and kind, created on
// first mention, loaded while somebody holds it, and queued instead of loaded
// while a scene switch spreads its loading over several frames.
#pragma once

#include "resource/configuration.h"
#include "resource/particle_system.h"
#include "resource/resource_store.h"
#include "resource/sound_file.h"
#include "resource/string_pool.h"
#include "resource/texture.h"
#include "resource/video.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace glint {

// Values of MResourceManager::mode().
constexpr uint8_t kLoadModeImmediate = 0; // acquisitions load at once
constexpr uint8_t kLoadModeStartup = 1;   // the engine is initialising
constexpr uint8_t kLoadModeQueue = 2;     // acquisitions without immediate queue
constexpr uint8_t kLoadModeDrain = 3;     // a loading sequence drains the queue

// How a scene element holds its texture.
enum class TextureHolding : uint8_t {
    None,         // no texture, or a lazy one while nothing is queued
    WhileVisible, // a dynamic texture: from showing the element to hiding it
    WhileOpen,    // from the opening of the element's scene to its closing
};

class TheoraVideoManager;

// What the manager holds in memory at one moment: textures loaded (and of
// them those with an image of their own, atlas pages and single files),
// sound files with their samples, videos with a player.
struct LoadedResources {
    int textures = 0;
    int images = 0;
    int sounds = 0;
    int videos = 0;

    bool operator==(const LoadedResources&) const = default;
};

class MResourceManager {
public:
    // With clipPlayer (BuildUseNewVideoPlayer) videos are played by the
    // threaded clip player, whose manager lives as long as this one.
    explicit MResourceManager(bool clipPlayer = false);
    // Discards every resource in creation order, then the clip player's
    // manager, then destroys the resources.
    ~MResourceManager();
    MResourceManager(const MResourceManager&) = delete;
    MResourceManager& operator=(const MResourceManager&) = delete;

    // Get-or-create by path. Each yields null for a null path or a path
    // already registered with another kind.
    MTexture* texture(const char* path, bool acquire, bool immediate);
    // Always acquired at once: callers read the description right away.
    MParticleSystem* particleSystem(const char* path);
    // Registered only; holders acquire them.
    MSoundFile* soundFile(const char* path);
    MVideo* video(const char* path);
    // New ones are marked as registered by a scene.
    MConfiguration* configuration(const char* path, bool acquire, bool immediate);
    // The resource of any kind registered under path, or null.
    MResource* find(const char* path) const;

    // Takes and drops one reference. The first reference loads the resource
    // (or its atlas page), or queues the load when loads are deferred or in
    // mode 2 and immediate is clear; the last one unloads it, or drops a load
    // still queued. A particle system also holds its image.
    void acquire(MResource* resource, bool immediate);
    void release(MResource* resource);

    // One step of a loading sequence: loads the queued resources from where
    // the last step stopped, and returns false once more than maxPerStep
    // resources were counted. True (and mode 0) at the end of the list.
    // finished, when given, receives the number counted in this step.
    bool loadQueued(int maxPerStep, int* finished = nullptr);
    // Loads every queued resource of the whole list in one pass.
    void loadAllQueued();
    // Mode 3, and the next loadQueued starts at the head of the list.
    void beginLoadingSequence();

    // Whether and how long a scene element holds texture (movies are held
    // while their element is visible). Also decides whether a particle system
    // holds the texture of its image.
    TextureHolding textureHolding(const MTexture* texture) const;

    // Window focus loss and return for every loaded video.
    void pauseVideos();
    void resumeVideos();
    // Once per game tick: the clocks of the clip player's clips.
    void updateVideos();
    // Stops the loaded sound files; unless all is set, music, ambient sounds
    // and sounds marked to keep playing go on.
    void suspendSounds(bool all);

    uint8_t mode() const { return mode_; }
    void setMode(uint8_t mode) { mode_ = mode; }
    bool deferLoads() const { return deferLoads_; }
    void setDeferLoads(bool defer) { deferLoads_ = defer; }

    // The list of all resources in creation order, through MResource::next.
    MResource* first() const { return first_; }
    // Counts what is loaded now, walking that list; which, when given,
    // receives the textures, sound files and videos counted.
    LoadedResources loaded(std::vector<const MResource*>* which = nullptr) const;

private:
    template <class T>
    T* getOrCreate(MResourceStore<T>& store, const char* path);
    MResource* findInAll(const char* path, uint32_t bucket) const;
    void append(MResource* resource);
    void holdImage(MParticleSystem* system, bool immediate);
    void holdLoadedImage(MParticleSystem* system);
    void releaseImage(MParticleSystem* system);
    void loadNow(MResource* resource);
    void loadIfQueued(MResource* resource);
    void unloadNow(MResource* resource);

    MStringPool strings_;
    std::unique_ptr<TheoraVideoManager> videoManager_;
    MResourceStore<MTexture> textures_{ResourceKind::Texture};
    MResourceStore<MParticleSystem> particleSystems_{ResourceKind::ParticleSystem};
    MResourceStore<MSoundFile> soundFiles_{ResourceKind::SoundFile};
    MResourceStore<MVideo> videos_{ResourceKind::Video};
    MResourceStore<MConfiguration> configurations_{ResourceKind::Configuration};
    MResource* first_ = nullptr;
    MResource* last_ = nullptr;
    MResource* drained_ = nullptr; // the last resource a loading step visited
    uint8_t mode_ = kLoadModeImmediate;
    bool deferLoads_ = false;
};

} // namespace glint
