#include "engine/sound/sound_object.h"

#include "engine/resources/resource.h"
#include "engine/sound/sound_device.h"
#include "engine/system/log.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace glint {

namespace {

using SoundLock = std::lock_guard<std::recursive_mutex>;

void unlink(std::vector<KSoundObject*>& list, KSoundObject* sound) {
    list.erase(std::remove(list.begin(), list.end(), sound), list.end());
}

} // namespace

KSoundObject::KSoundObject() {
    openSoundDevice();
    soundDevice().sounds.push_back(this);
    linked_ = true;
}

KSoundObject::~KSoundObject() { detach(); }

void KSoundObject::detach() {
    KSoundDevice& device = soundDevice();
    if (linked_) {
        if (inStreamList_) {
            SoundLock hold(device.soundLock);
            unlink(device.streams, this);
            inStreamList_ = false;
        } else {
            unlink(device.sounds, this);
        }
        linked_ = false;
    }
    releaseContents();
}

void KSoundObject::releaseContents() {
    if (buffer_) {
        KSoundMixer::Lock hold(soundMixer().lock());
        soundMixer().remove(buffer_.get());
    }
    buffer_.reset();
    if (decoderOpen_)
        ov_clear(&decoder_);
    decoderOpen_ = false;
    data_.reset();
    file_ = KMemoryFile{};
    staging_.reset();
    loaded_ = paused_ = pausedByGlobal_ = false;
}

bool KSoundObject::prepareLoad(const char* path, char** bytes, int32_t* size) {
    KSoundDevice& device = soundDevice();
    if (device.paused || !device.available)
        return false;
    if (inStreamList_)
        stopStream();
    releaseContents();
    return resourceLoadFile(path, bytes, size);
}

bool KSoundObject::createBuffer(const KSoundFormat& format, size_t bytes) {
    if (!playableFormat(format) || bytes == 0 || bytes % format.blockAlign != 0) {
        logMessage("Sound: CreateSoundBuffer (secondary) returned unsupported format (%u channels, %u Hz, %u bits, "
                   "%zu bytes), ERROR",
                   format.channels, format.rate, format.bitsPerSample, bytes);
        return false;
    }
    auto buffer = std::make_unique<KSoundBuffer>();
    buffer->format = format;
    buffer->bytes.assign(bytes, 0);
    format_ = format;
    KSoundMixer::Lock hold(soundMixer().lock());
    buffer_ = std::move(buffer);
    soundMixer().add(buffer_.get());
    return true;
}

bool KSoundObject::loadSample(const char* path, bool loop) {
    KSoundDecoder kind;
    char* bytes = nullptr;
    int32_t size = 0;
    if (!soundDecoderFor(path, kind) || !prepareLoad(path, &bytes, &size))
        return false;
    std::unique_ptr<char[]> file(bytes);
    KSoundScratch& scratch = soundDevice().scratch;
    scratch.clear();
    KSoundFormat format;
    const auto* data = reinterpret_cast<const uint8_t*>(file.get());
    bool decoded = kind == KSoundDecoder::Wav ? readWav(data, static_cast<size_t>(size), format, scratch)
                                              : decodeVorbis(data, static_cast<size_t>(size), format, scratch);
    // A WAV whose data stops inside a frame loses the partial frame.
    size_t usable = decoded && format.blockAlign ? scratch.size() - scratch.size() % format.blockAlign : 0;
    if (!decoded || !createBuffer(format, usable)) {
        releaseContents();
        return false;
    }
    {
        KSoundMixer::Lock hold(soundMixer().lock());
        std::memcpy(buffer_->bytes.data(), scratch.data(), usable);
        buffer_->volumeMb = soundVolumeTable(99);
        buffer_->panMb = panMillibels(pan);
    }
    decodeKind_ = kind;
    isStream_ = false;
    loop_ = loop;
    volume = 100;
    loaded_ = true;
    return true;
}

bool KSoundObject::loadStream(const char* path) {
    char* bytes = nullptr;
    int32_t size = 0;
    if (!prepareLoad(path, &bytes, &size))
        return false;
    data_.reset(reinterpret_cast<uint8_t*>(bytes));
    file_ = KMemoryFile{data_.get(), static_cast<size_t>(size), 0};
    if (!openVorbis(file_, decoder_)) {
        releaseContents();
        return false;
    }
    decoderOpen_ = true;
    vorbis_info* info = ov_info(&decoder_, -1);
    KSoundFormat format;
    if (info && info->channels > 0 && info->channels <= 255 && info->rate > 0)
        format = pcmFormat(static_cast<uint16_t>(info->channels), static_cast<uint32_t>(info->rate), 16);
    if (!createBuffer(format, kStreamBuffer)) {
        releaseContents();
        return false;
    }
    staging_.reset(new uint8_t[kStreamHalf]);
    decodeKind_ = KSoundDecoder::Vorbis;
    isStream_ = true;
    loaded_ = true;
    return true;
}

void KSoundObject::applyVolumeAndPan() {
    if (!buffer_)
        return;
    KSoundMixer::Lock hold(soundMixer().lock());
    buffer_->volumeMb = volumeMillibels(volume);
    buffer_->panMb = panMillibels(pan);
}

void KSoundObject::play() {
    if (!loaded_ || paused_ || soundDevice().paused || isStream_)
        return;
    applyVolumeAndPan();
    KSoundMixer::Lock hold(soundMixer().lock());
    buffer_->cursor = 0;
    buffer_->looping = loop_;
    buffer_->playing = true;
    nextVoice_ = 0; // one buffer: the round robin stays on it
}

void KSoundObject::stop() {
    if (buffer_) {
        KSoundMixer::Lock hold(soundMixer().lock());
        buffer_->playing = false;
    }
    paused_ = false;
}

void KSoundObject::applyVolume() {
    if (!soundDevice().paused)
        applyVolumeAndPan();
}

bool KSoundObject::isPlaying() const {
    if (paused_ || !loaded_ || soundDevice().paused)
        return false;
    if (isStream_)
        return inStreamList_;
    KSoundMixer::Lock hold(soundMixer().lock());
    return buffer_->playing;
}

void KSoundObject::setPaused(bool on) {
    SoundLock hold(soundDevice().soundLock);
    pauseLocked(on);
}

void KSoundObject::pauseLocked(bool on) {
    if (!loaded_ || (isStream_ && !inStreamList_))
        return;
    if (on) {
        KSoundMixer::Lock mix(soundMixer().lock());
        if (isStream_ || buffer_->playing) {
            savedPosition_ = buffer_->playPosition();
            buffer_->playing = false;
            paused_ = true;
        }
        return;
    }
    if (!paused_)
        return;
    applyVolumeAndPan();
    KSoundMixer::Lock mix(soundMixer().lock());
    buffer_->setPlayPosition(savedPosition_);
    buffer_->looping = isStream_ || loop_;
    buffer_->playing = true;
    paused_ = false;
}

void KSoundObject::pauseAll() {
    KSoundDevice& device = soundDevice();
    {
        SoundLock hold(device.soundLock);
        for (std::vector<KSoundObject*>* list : {&device.streams, &device.sounds})
            for (KSoundObject* sound : *list)
                if (sound->loaded_ && !sound->paused_ && (sound->isStream_ ? sound->inStreamList_ : sound->isPlaying())) {
                    sound->pauseLocked(true);
                    sound->pausedByGlobal_ = sound->paused_;
                }
    }
    device.paused = true;
}

void KSoundObject::resumeAll() {
    KSoundDevice& device = soundDevice();
    SoundLock hold(device.soundLock);
    for (std::vector<KSoundObject*>* list : {&device.streams, &device.sounds})
        for (KSoundObject* sound : *list)
            if (sound->pausedByGlobal_) {
                sound->pauseLocked(false);
                sound->pausedByGlobal_ = false;
            }
}

void KSoundObject::clearGlobalPause() { soundDevice().paused = false; }

bool KSoundObject::globalPaused() { return soundDevice().paused; }

} // namespace glint
