#include "resource/resource_manager.h"

#include "engine/video/theora_video_manager.h"

namespace glint {

MResourceManager::MResourceManager(bool clipPlayer) {
    if (clipPlayer)
        videoManager_ = std::make_unique<TheoraVideoManager>();
}

// Discarding first lets every resource drop contents that may refer to
// others (an atlas page, a movie) while all of them still exist; the paths
// outlive the stores.
MResourceManager::~MResourceManager() {
    for (MResource* resource = first_; resource; resource = resource->next) resource->discard();
    videoManager_.reset();
    textures_.clear();
    particleSystems_.clear();
    soundFiles_.clear();
    videos_.clear();
    configurations_.clear();
}

MTexture* MResourceManager::texture(const char* path, bool acquire, bool immediate) {
    MTexture* texture = getOrCreate(textures_, path);
    if (acquire)
        this->acquire(texture, immediate);
    return texture;
}

MParticleSystem* MResourceManager::particleSystem(const char* path) {
    MParticleSystem* system = getOrCreate(particleSystems_, path);
    if (system)
        system->manager = this;
    acquire(system, true);
    return system;
}

MSoundFile* MResourceManager::soundFile(const char* path) { return getOrCreate(soundFiles_, path); }

MVideo* MResourceManager::video(const char* path) { return getOrCreate(videos_, path); }

MConfiguration* MResourceManager::configuration(const char* path, bool acquire, bool immediate) {
    int before = configurations_.size();
    MConfiguration* configuration = getOrCreate(configurations_, path);
    if (configurations_.size() != before)
        configuration->state |= kResourceRegisteredByScene;
    if (acquire)
        this->acquire(configuration, immediate);
    return configuration;
}

MResource* MResourceManager::find(const char* path) const {
    return path ? findInAll(path, resourcePathBucket(path)) : nullptr;
}

template <class T>
T* MResourceManager::getOrCreate(MResourceStore<T>& store, const char* path) {
    if (!path)
        return nullptr;
    uint32_t bucket = resourcePathBucket(path);
    if (MResource* known = findInAll(path, bucket))
        return known->kind == store.kind ? static_cast<T*>(known) : nullptr;
    T* resource = store.create(strings_.add(path));
    store.index.add(resource, bucket);
    append(resource);
    return resource;
}

MResource* MResourceManager::findInAll(const char* path, uint32_t bucket) const {
    const MResourceIndex* indexes[] = {&textures_.index, &particleSystems_.index, &soundFiles_.index,
                                       &videos_.index, &configurations_.index};
    for (const MResourceIndex* index : indexes) {
        if (MResource* resource = index->find(path, bucket))
            return resource;
    }
    return nullptr;
}

void MResourceManager::append(MResource* resource) {
    if (last_)
        last_->next = resource;
    else
        first_ = resource;
    last_ = resource;
}

void MResourceManager::pauseVideos() {
    for (int i = 0; i < videos_.size(); ++i)
        videos_.at(i)->pause();
}

void MResourceManager::resumeVideos() {
    for (int i = 0; i < videos_.size(); ++i)
        videos_.at(i)->resume();
}

void MResourceManager::updateVideos() {
    if (videoManager_)
        videoManager_->updateClips();
}

void MResourceManager::suspendSounds(bool all) {
    for (int i = 0; i < soundFiles_.size(); ++i) {
        MSoundFile* sound = soundFiles_.at(i);
        bool keepsPlaying = sound->isMusic || sound->isAmbient || sound->keepOnStop;
        if (sound->isLoaded() && (all || !keepsPlaying))
            sound->stop();
    }
}

} // namespace glint
