#include "engine/sound/sound_device.h"

#include "engine/sound/sound_object.h"
#include "engine/system/log.h"
#include "engine/system/thread.h"


namespace glint {

namespace {

// About 23 ms a period: the streaming refill stays far ahead of it.
constexpr Uint16 kDevicePeriodFrames = 1024;

void SDLCALL mixCallback(void* user, Uint8* stream, int length) {
    static_cast<KSoundDevice*>(user)->mixer.mix(reinterpret_cast<int16_t*>(stream),
                                                length / (kOutputChannels * 2));
}

} // namespace

KSoundDevice& soundDevice() {
    static KSoundDevice device;
    return device;
}

KSoundMixer& soundMixer() { return soundDevice().mixer; }

bool openSoundDevice() {
    KSoundDevice& device = soundDevice();
    if (device.initialized)
        return device.available;
    device.initialized = true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        logMessage("Sound: DirectSoundCreate returned %s, ERROR", SDL_GetError());
        return false;
    }
    logMessage("Sound: DirectSound initialized");
    SDL_AudioSpec want{}, have{};
    want.freq = kOutputRate;
    want.format = AUDIO_S16LSB;
    want.channels = kOutputChannels;
    want.samples = kDevicePeriodFrames;
    want.callback = mixCallback;
    want.userdata = &device;
    // No changes allowed: SDL converts to whatever the hardware takes.
    device.id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device.id == 0) {
        logMessage("Sound: CreateSoundBuffer (primary) returned %s, ERROR", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    SDL_PauseAudioDevice(device.id, 0);
    logMessage("Sound: primary buffer started");
    device.available = true;
    device.stopStreamer = false;
    device.streamer = startThread(KSoundStreaming::run);
    return true;
}

void closeSoundDevice() {
    KSoundDevice& device = soundDevice();
    if (device.available) {
        SDL_CloseAudioDevice(device.id);
        device.id = 0;
        logMessage("Sound: primary buffer released");
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        logMessage("Sound: DirectSound released");
    }
    device.scratch.release();
    device.available = false;
    device.initialized = false;
    device.paused = false;
}

void soundShutdown() {
    KSoundDevice& device = soundDevice();
    if (device.streamer.joinable()) {
        device.stopStreamer = true;
        device.streamer.join();
    }
    {
        std::lock_guard<std::recursive_mutex> hold(device.soundLock);
        for (KSoundObject* stream : device.streams)
            device.sounds.push_back(stream);
        device.streams.clear();
    }
    // The owners of the objects still destroy them; what they hold goes now.
    for (KSoundObject* sound : device.sounds)
        sound->detach();
    device.sounds.clear();
    closeSoundDevice();
}

} // namespace glint
