// Stream playback: the 64 KiB buffer plays looping while the streaming
// thread refills the half it has just left.
#include "engine/sound/sound_device.h"
#include "engine/sound/sound_object.h"

#include <SDL.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

namespace glint {

namespace {

using SoundLock = std::lock_guard<std::recursive_mutex>;

} // namespace

void KSoundObject::playStream(bool loop, bool randomStart) {
    KSoundDevice& device = soundDevice();
    if (paused_ && device.paused)
        return;
    SoundLock hold(device.soundLock);
    stopStream();
    if (!loaded_ || !isStream_)
        return;
    playedSeconds_ = 0;
    looped_ = false;
    nextVoice_ = 0;
    streamLoop_ = loop;
    if (randomStart) {
        double total = ov_time_total(&decoder_, -1);
        if (total > 0)
            ov_time_seek_page(&decoder_, total * (std::rand() % 32768) / 32767.0);
    }
    if (!fillHalf(0) || !fillHalf(1))
        return;
    applyVolumeAndPan();
    {
        KSoundMixer::Lock mix(soundMixer().lock());
        buffer_->cursor = 0;
        buffer_->looping = true;
        buffer_->playing = true;
    }
    auto& sounds = device.sounds;
    for (size_t i = 0; i < sounds.size(); ++i)
        if (sounds[i] == this) {
            sounds.erase(sounds.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    device.streams.push_back(this);
    inStreamList_ = true;
}

void KSoundObject::stopStream() {
    KSoundDevice& device = soundDevice();
    SoundLock hold(device.soundLock);
    if (inStreamList_) {
        auto& streams = device.streams;
        for (size_t i = 0; i < streams.size(); ++i)
            if (streams[i] == this) {
                streams.erase(streams.begin() + static_cast<std::ptrdiff_t>(i));
                break;
            }
        device.sounds.push_back(this);
        inStreamList_ = false;
    }
    if (buffer_) {
        KSoundMixer::Lock mix(soundMixer().lock());
        buffer_->playing = false;
    }
    paused_ = false;
    if (decoderOpen_)
        ov_time_seek(&decoder_, 0);
}

KSoundObject::Fill KSoundObject::readHalf(uint8_t* staging, uint32_t& got) {
    got = 0;
    bool rewound = false;
    while (got < kStreamHalf) {
        int link = 0;
        long read = ov_read(&decoder_, reinterpret_cast<char*>(staging + got), static_cast<int>(kStreamHalf - got),
                            0, 2, 1, &link);
        if (read < 0)
            return Fill::Failed;
        // A later link of a chained file with another layout ends the data.
        vorbis_info* info = read > 0 ? ov_info(&decoder_, link) : nullptr;
        if (read > 0 && (!info || info->channels != format_.channels ||
                         static_cast<uint32_t>(info->rate) != format_.rate))
            read = 0;
        if (read == 0) {
            // One wrap per half: a file that decodes to nothing ends here.
            if (!streamLoop_ || rewound)
                break;
            ov_time_seek(&decoder_, 0);
            rewound = true;
            looped_ = true;
            playedSeconds_ = 0;
            continue;
        }
        got += static_cast<uint32_t>(read);
        playedSeconds_ += static_cast<double>(read) / format_.bytesPerSecond;
        rewound = false;
    }
    return got > 0 ? Fill::Data : Fill::Empty;
}

bool KSoundObject::fillHalf(int half) {
    uint32_t got = 0;
    Fill fill = readHalf(staging_.get(), got);
    if (fill == Fill::Failed)
        return false;
    KSoundMixer::Lock mix(soundMixer().lock());
    uint8_t* target = buffer_->bytes.data() + static_cast<size_t>(half) * kStreamHalf;
    std::memcpy(target, staging_.get(), got);
    std::memset(target + got, 0, kStreamHalf - got);
    halfHasData_[half] = fill == Fill::Data;
    return true;
}

// When the play cursor enters a half, the other one is refilled. A stream
// that does not loop stops once the cursor enters a half that received no
// data, so that the last decoded half is heard to its end.
void KSoundStreaming::service(KSoundObject& stream) {
    uint32_t position;
    {
        KSoundMixer::Lock mix(soundMixer().lock());
        position = stream.buffer_->playPosition();
    }
    int entered = position >= kStreamHalf ? 1 : 0;
    if ((stream.nextVoice_ == 0) != (entered == 1))
        return;
    if (!stream.halfHasData_[entered] && !stream.streamLoop_) {
        stream.stopStream();
        return;
    }
    int refill = 1 - entered;
    stream.fillHalf(refill);
    stream.nextVoice_ = entered;
}

void KSoundStreaming::run() {
    SDL_SetThreadPriority(SDL_THREAD_PRIORITY_TIME_CRITICAL);
    KSoundDevice& device = soundDevice();
    while (!device.stopStreamer) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        SoundLock hold(device.soundLock);
        std::vector<KSoundObject*> streams = device.streams;
        for (KSoundObject* stream : streams)
            if (!stream->paused_)
                service(*stream);
    }
}

} // namespace glint
