// The PCM layout of a sound buffer, and the growing buffer that decoded
// samples are collected in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace glint {

struct KSoundFormat {
    uint16_t channels = 0;
    uint32_t rate = 0;
    uint16_t bitsPerSample = 0;
    uint16_t blockAlign = 0;
    uint32_t bytesPerSecond = 0;
};

KSoundFormat pcmFormat(uint16_t channels, uint32_t rate, uint16_t bitsPerSample);

// What the mixer can play: 1 or 2 channels of 8-bit unsigned or 16-bit
// signed samples at 1 kHz to 384 kHz.
bool playableFormat(const KSoundFormat& format);

// The decode buffer: starts at 4 MiB, grows in 4 MiB steps and never
// beyond 40 MiB; kept between loads.
constexpr size_t kScratchStep = 4u << 20;
constexpr size_t kScratchLimit = 40u << 20;

class KSoundScratch {
public:
    void clear() { size_ = 0; }
    // False, and nothing appended, when the bytes would not fit the limit.
    bool append(const void* bytes, size_t count);
    const uint8_t* data() const { return data_.get(); }
    size_t size() const { return size_; }
    size_t capacity() const { return capacity_; }
    // Frees the buffer (the sound output's shutdown).
    void release();

private:
    std::unique_ptr<uint8_t[]> data_;
    size_t size_ = 0, capacity_ = 0;
};

} // namespace glint
