// The sound output's process state: the SDL audio device that plays the
// mixer, the decode buffer, the sound lock, the lists of sounds and of
// playing streams, and the streaming thread. Internal to the sound folder.
#pragma once

#include "engine/sound/sound_mixer.h"

#include <SDL.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace glint {

class KSoundObject;

struct KSoundDevice {
    bool initialized = false; // the first sound object tried to open it
    bool available = false;   // the device plays
    SDL_AudioDeviceID id = 0;
    KSoundMixer mixer;
    KSoundScratch scratch;
    std::recursive_mutex soundLock;
    std::thread streamer;
    std::atomic<bool> stopStreamer{false};
    std::atomic<bool> paused{false};
    std::vector<KSoundObject*> sounds;  // every sound not in streams
    std::vector<KSoundObject*> streams; // playing streams, under soundLock
};

KSoundDevice& soundDevice();
// Opens the output once; false when it is off.
bool openSoundDevice();
void closeSoundDevice();

// The streaming thread's body.
struct KSoundStreaming {
    static void run();
    static void service(KSoundObject& stream);
};

} // namespace glint
