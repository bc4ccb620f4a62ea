// The software mixer behind the sound output: every sound buffer plays
// into one 44,100 Hz, 16-bit stereo output. A buffer keeps its own PCM
// layout; the mixer steps through it at its rate (linear interpolation
// between frames) and applies the gains of its volume and pan.
//
// Buffers and the mixer's list are guarded by the mixer's lock, which the
// audio callback holds while it mixes; callers take it through
// KSoundMixer::Lock around every change of a buffer.
#pragma once

#include "engine/sound/sound_format.h"
#include "engine/sound/sound_tables.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace glint {

constexpr int kOutputRate = 44100;
constexpr int kOutputChannels = 2;

// One secondary buffer: PCM, a play cursor, and how it is played.
struct KSoundBuffer {
    KSoundFormat format;
    std::vector<uint8_t> bytes;
    double cursor = 0; // in frames
    bool playing = false;
    bool looping = false;
    int32_t volumeMb = 0, panMb = 0;

    uint32_t frames() const { return format.blockAlign ? static_cast<uint32_t>(bytes.size() / format.blockAlign) : 0; }
    // The play position in bytes, as the streaming refill reads it.
    uint32_t playPosition() const { return static_cast<uint32_t>(cursor) * format.blockAlign; }
    void setPlayPosition(uint32_t byteOffset);
};

class KSoundMixer {
public:
    using Lock = std::lock_guard<std::mutex>;
    std::mutex& lock() { return lock_; }

    // Under the lock.
    void add(KSoundBuffer* buffer) { buffers_.push_back(buffer); }
    void remove(KSoundBuffer* buffer);

    // Mixes frames stereo frames into out, advancing every playing buffer;
    // takes the lock itself.
    void mix(int16_t* out, int frames);
    // The same without taking the lock.
    void mixLocked(int16_t* out, int frames);

private:
    std::mutex lock_;
    std::vector<KSoundBuffer*> buffers_;
    std::vector<float> accumulator_;
};

} // namespace glint
