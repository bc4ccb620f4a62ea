// A sound of a scene's sound list as scripts see it: declared in the
// scene's script class under its name, tied to one sound file. Scripts
// read its facts; none can be written, and other names are its own
// variables ("volume_type", "is_played" ...).
#pragma once

#include "script/host_objects.h"

#include <cstdint>

namespace glint {

class MConfiguration;
class MResourceManager;
class MScene;
class MSoundFile;

// The player holds a sound file it played for this many ticks after it
// was last heard.
constexpr int32_t kSoundKeepAliveTicks = 500;

// How a scene sound holds its file.
enum SoundHold : uint8_t { kSoundNotHeld = 0, kSoundHeldByPlayer = 1, kSoundHeldByPreload = 2 };

class MSceneSound : public ScriptSound {
public:
    MScene* owner() const;

    bool getProperty(Symbol* key, Value& out) override;
    bool setProperty(Symbol* key, const Value& value) override;

    MSoundFile* file = nullptr;
    uint8_t held = kSoundNotHeld;
    int32_t keepAlive = kSoundKeepAliveTicks;
    Value* cell = nullptr; // its variable in the scene's script class
};

MSceneSound* takeSceneSound();
void giveBackSceneSound(MSceneSound* sound);

// What the naming rules of the list need from the game configuration.
struct SoundListSettings {
    const char* musicExt = "ogg";
    const char* soundsExt = "ogg";
    bool preload = false; // BuildPreloadSounds
};

// The scene's sounds from its "_sounds.cfg", each with its file registered
// (not loaded) with the resource manager.
void buildSceneSoundList(MScene& scene, MConfiguration& list, MResourceManager& resources,
                         const SoundListSettings& settings);
// Opening (acquire) and closing a scene: its ambient sounds and, with
// preload, its ordinary sounds.
void holdSceneSounds(MScene& scene, MResourceManager& resources, bool preload, bool acquire);
// A sound about to be played holds its file (loading it now when nobody
// did) and is kept alive for kSoundKeepAliveTicks more ticks.
void holdForPlaying(MSceneSound& sound, MResourceManager& resources);

} // namespace glint
