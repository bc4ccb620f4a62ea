#include "engine/sound/sound_format.h"

#include <cstring>

namespace glint {

KSoundFormat pcmFormat(uint16_t channels, uint32_t rate, uint16_t bitsPerSample) {
    KSoundFormat format;
    format.channels = channels;
    format.rate = rate;
    format.bitsPerSample = bitsPerSample;
    // A header's fields can be anything: the products stay unsigned, and a
    // layout they do not fit is refused by playableFormat.
    format.blockAlign = static_cast<uint16_t>(static_cast<uint32_t>(channels) * bitsPerSample / 8);
    format.bytesPerSecond = rate * static_cast<uint32_t>(format.blockAlign);
    return format;
}

bool playableFormat(const KSoundFormat& format) {
    return (format.channels == 1 || format.channels == 2) &&
           (format.bitsPerSample == 8 || format.bitsPerSample == 16) && format.rate >= 1000 &&
           format.rate <= 384000;
}

bool KSoundScratch::append(const void* bytes, size_t count) {
    if (count > kScratchLimit - size_)
        return false;
    size_t needed = size_ + count;
    if (needed > capacity_) {
        size_t grown = capacity_ ? capacity_ : kScratchStep;
        while (needed > grown)
            grown += kScratchStep;
        std::unique_ptr<uint8_t[]> larger(new (std::nothrow) uint8_t[grown]);
        if (!larger)
            return false;
        if (size_)
            std::memcpy(larger.get(), data_.get(), size_);
        data_ = std::move(larger);
        capacity_ = grown;
    }
    if (count)
        std::memcpy(data_.get() + size_, bytes, count);
    size_ += count;
    return true;
}

void KSoundScratch::release() {
    data_.reset();
    size_ = capacity_ = 0;
}

} // namespace glint
