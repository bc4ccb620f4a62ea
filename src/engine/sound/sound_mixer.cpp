#include "engine/sound/sound_mixer.h"

#include <algorithm>
#include <cmath>

namespace glint {

namespace {

// One channel of one frame as a float in the 16-bit range.
inline float sampleAt(const KSoundBuffer& buffer, uint32_t frame, int channel) {
    const uint8_t* p = buffer.bytes.data() + static_cast<size_t>(frame) * buffer.format.blockAlign;
    if (buffer.format.bitsPerSample == 8)
        return (static_cast<int>(p[channel]) - 128) * 256.0f;
    return static_cast<int16_t>(p[channel * 2] | p[channel * 2 + 1] << 8);
}

// Adds one buffer into the accumulator; stops it at the end unless it loops.
void mixBuffer(KSoundBuffer& buffer, float* accumulator, int frames) {
    uint32_t count = buffer.frames();
    if (count == 0) {
        buffer.playing = false;
        return;
    }
    KChannelGains gains = channelGains(buffer.volumeMb, buffer.panMb);
    double step = static_cast<double>(buffer.format.rate) / kOutputRate;
    bool stereo = buffer.format.channels == 2;
    double cursor = buffer.cursor;
    for (int i = 0; i < frames; ++i) {
        if (cursor >= count) {
            if (!buffer.looping) {
                buffer.playing = false;
                buffer.cursor = 0;
                return;
            }
            cursor = std::fmod(cursor, count);
        }
        uint32_t at = static_cast<uint32_t>(cursor);
        float t = static_cast<float>(cursor - at);
        uint32_t next = at + 1 < count ? at + 1 : (buffer.looping ? 0 : at);
        float left = sampleAt(buffer, at, 0);
        left += (sampleAt(buffer, next, 0) - left) * t;
        float right = left;
        if (stereo) {
            right = sampleAt(buffer, at, 1);
            right += (sampleAt(buffer, next, 1) - right) * t;
        }
        accumulator[2 * i] += left * gains.left;
        accumulator[2 * i + 1] += right * gains.right;
        cursor += step;
    }
    if (cursor >= count && !buffer.looping) {
        buffer.playing = false;
        buffer.cursor = 0;
        return;
    }
    buffer.cursor = cursor >= count ? std::fmod(cursor, count) : cursor;
}

} // namespace

void KSoundBuffer::setPlayPosition(uint32_t byteOffset) {
    cursor = format.blockAlign ? std::min<uint32_t>(byteOffset / format.blockAlign, frames()) : 0;
}

void KSoundMixer::remove(KSoundBuffer* buffer) {
    buffers_.erase(std::remove(buffers_.begin(), buffers_.end(), buffer), buffers_.end());
}

void KSoundMixer::mix(int16_t* out, int frames) {
    Lock hold(lock_);
    mixLocked(out, frames);
}

void KSoundMixer::mixLocked(int16_t* out, int frames) {
    accumulator_.assign(static_cast<size_t>(frames) * kOutputChannels, 0.0f);
    for (KSoundBuffer* buffer : buffers_)
        if (buffer->playing)
            mixBuffer(*buffer, accumulator_.data(), frames);
    for (size_t i = 0; i < accumulator_.size(); ++i)
        out[i] = static_cast<int16_t>(std::lrint(std::clamp(accumulator_[i], -32768.0f, 32767.0f)));
}

} // namespace glint
