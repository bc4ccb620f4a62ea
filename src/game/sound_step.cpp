// The playing sounds with their fades, delayed starts, the music switch,
// the ambient loop and what the commands start and stop.
#include "game/sound_player.h"

#include "app/options.h"
#include "game/navigation.h"
#include "resource/resource_manager.h"
#include "resource/sound_file.h"
#include "scene/scene.h"
#include "scene/scene_sound.h"

#include <algorithm>
#include <cmath>

namespace glint {

namespace {

constexpr float kSilentLevel = 0.001f;

Value soundValue(MSceneSound* sound) { return sound ? Value::fromPointer(ValueType::Sound, sound) : Value(); }

bool belongsTo(const MSoundFile& file, const MScene* scene) { return file.owner && file.owner->owner() == scene; }

} // namespace

void MSoundPlayer::join(MSoundFile& file) {
    if (std::find(playingSounds_.begin(), playingSounds_.end(), &file) == playingSounds_.end())
        playingSounds_.push_back(&file);
}

void MSoundPlayer::drop(MSoundFile& file) {
    playingSounds_.erase(std::remove(playingSounds_.begin(), playingSounds_.end(), &file), playingSounds_.end());
}

void MSoundPlayer::start(MSoundFile& file, float level) {
    applySoundLevel(file, level);
    file.play();
}

void MSoundPlayer::soundStep() {
    stepFades();
    stepDelayedStarts();
    stepMusic();
}

void MSoundPlayer::stepFades() {
    for (size_t i = playingSounds_.size(); i-- > 0;) {
        MSoundFile& file = *playingSounds_[i];
        if (!file.isPlaying()) {
            if (!file.loop)
                playingSounds_.erase(playingSounds_.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        if (file.fadeSteps > 0) {
            file.level += (file.targetLevel - file.level) / file.fadeSteps;
            file.fadeSteps -= 1;
        }
        if (file.level > kSilentLevel) {
            applySoundLevel(file, file.level);
            continue;
        }
        file.stop();
        playingSounds_.erase(playingSounds_.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

void MSoundPlayer::stepDelayedStarts() {
    for (size_t i = delayedStarts_.size(); i-- > 0;) {
        DelayedStart& record = delayedStarts_[i];
        if (--record.ticks > 0)
            continue;
        MSoundFile& file = *record.file;
        float level = record.level;
        delayedStarts_.erase(delayedStarts_.begin() + static_cast<std::ptrdiff_t>(i));
        file.targetLevel = level;
        file.fadeSteps = 0;
        start(file, level);
        join(file);
    }
}

void MSoundPlayer::stepMusic() {
    if (musicState_ == kMusicFadingOut) {
        musicLevel_ = std::max(0.0f, musicLevel_ - (musicFadeTicks_ > 0 ? 1.0f / musicFadeTicks_ : musicLevel_));
        updateMusicVolume();
        if (musicLevel_ <= 0.01f) {
            musicState_ = kMusicIdle;
            if (currentMusic_)
                endMusic(false);
        }
    }
    if (musicState_ == kMusicIdle && pendingMusic_) {
        currentMusic_ = pendingMusic_;
        music_ = soundValue(currentMusic_);
        musicState_ = kMusicPlaying;
        pendingMusic_ = nullptr;
        MSoundFile& file = *currentMusic_->file;
        resources_.acquire(&file, true);
        start(file, kSilentLevel);
        musicLevel_ = 0;
        updateMusicVolume();
    }
    if (musicState_ != kMusicPlaying || !currentMusic_)
        return;
    MSoundFile& file = *currentMusic_->file;
    if (!file.isPlaying()) {
        if (file.loop) {
            start(file, kSilentLevel);
            updateMusicVolume();
        } else {
            endMusic(true);
            musicState_ = kMusicIdle;
        }
        return;
    }
    float target = 1;
    if (MScene* play = navigation_.playScene) {
        const Value* wanted = play->readBack.musicVolume;
        if (wanted)
            target = wanted->isNumber() ? static_cast<float>(wanted->number) : 0;
    }
    if (musicFadeTicks_ == 0) {
        musicLevel_ = target;
    } else {
        float step = 1.0f / musicFadeTicks_;
        musicLevel_ += std::clamp(target - musicLevel_, -step, step);
    }
    updateMusicVolume();
}

// The music's level times the scripts' global music volume and the factor
// of its category.
void MSoundPlayer::updateMusicVolume() {
    musicVolume_ = musicLevel_ * (globalMusic_.isNumber() ? static_cast<float>(globalMusic_.number) : 0);
    if (!currentMusic_)
        return;
    MSoundFile& file = *currentMusic_->file;
    musicVolume_ *= file.sfxVolume ? factor(options_.soundVolume, "global_sound_volume")
                                   : factor(options_.musicVolume, "global_music_volume");
    applySoundLevel(file, musicVolume_);
}

// The music stops (or has ended, played) and its file is let go.
void MSoundPlayer::endMusic(bool played) {
    MSoundFile& file = *currentMusic_->file;
    if (played)
        currentMusic_->members.set(sym::is_played(), Value::fromNumber(1));
    else
        file.stop();
    resources_.release(&file);
    currentMusic_ = nullptr;
    music_ = Value();
}

void MSoundPlayer::requestMusic(MSceneSound* sound, float seconds) {
    if (sound && !sound->file->isMusic)
        sound = nullptr;
    musicFadeTicks_ = std::max<int32_t>(0, static_cast<int32_t>(std::lround(seconds * 100)));
    if (sound != currentMusic_) {
        if (musicState_ == kMusicPlaying)
            musicState_ = kMusicFadingOut;
        pendingMusic_ = sound;
    } else if (sound) {
        if (musicState_ == kMusicFadingOut)
            musicState_ = kMusicPlaying;
        else if (musicState_ == kMusicIdle)
            pendingMusic_ = sound;
    } else {
        pendingMusic_ = nullptr;
    }
}

void MSoundPlayer::switchAmbient(MSceneSound* sound) {
    if (MSoundFile* old = currentAmbient()) {
        old->stop();
        drop(*old);
        resources_.release(old);
        navigation_.currentAmbient = nullptr;
    }
    if (!sound)
        return;
    navigation_.currentAmbient = sound->file;
    resources_.acquire(sound->file, true);
    startAmbient(*sound->file);
}

void MSoundPlayer::startAmbient(MSoundFile& file) {
    start(file, 1);
    file.targetLevel = 1;
    file.fadeSteps = 0;
    join(file);
}

void MSoundPlayer::stopSceneSounds(MScene* scene, bool all) {
    MSoundFile* ambient = currentAmbient();
    for (size_t i = playingSounds_.size(); i-- > 0;) {
        MSoundFile& file = *playingSounds_[i];
        if (!all) {
            bool spared = scene ? !belongsTo(file, scene) : file.keepOnStop != 0;
            if (spared || (&file == ambient && !navigation_.ambientChange))
                continue;
        }
        file.stop();
        playingSounds_.erase(playingSounds_.begin() + static_cast<std::ptrdiff_t>(i));
        if (&file == ambient)
            navigation_.currentAmbient = nullptr;
    }
}

void MSoundPlayer::cancelDelayedStarts(MScene* scene) {
    std::erase_if(delayedStarts_, [scene](const DelayedStart& r) { return !scene || belongsTo(*r.file, scene); });
}

void MSoundPlayer::stopSwitchSounds() {
    stopSceneSounds(nullptr, false);
    cancelDelayedStarts(nullptr);
    resources_.suspendSounds(false);
    if (currentVoice_)
        currentVoice_->stop();
    currentVoice_ = nullptr;
}

void MSoundPlayer::playSound(MSceneSound& sound, float volume, int32_t delayTicks, int32_t fadeTicks) {
    holdForPlaying(sound, resources_);
    MSoundFile& file = *sound.file;
    bool playing = file.isPlaying();
    if (volume <= kSilentLevel && fadeTicks <= 0) {
        stopNow(sound);
        return;
    }
    if (playing) {
        file.targetLevel = volume;
        file.fadeSteps = static_cast<float>(std::max(0, fadeTicks));
        if (fadeTicks <= 0)
            applySoundLevel(file, volume);
        join(file);
        return;
    }
    if (volume <= kSilentLevel)
        return; // a fade out of a sound that is not playing
    if (delayTicks > 0) {
        delayedStarts_.push_back({delayTicks, &file, volume});
        return;
    }
    file.targetLevel = volume;
    file.fadeSteps = static_cast<float>(std::max(0, fadeTicks));
    start(file, fadeTicks > 0 ? 0 : volume);
    join(file);
}

void MSoundPlayer::playVoice(MSceneSound& sound, float volume, int32_t delayTicks) {
    if (currentVoice_) {
        currentVoice_->stop();
        drop(*currentVoice_);
    }
    currentVoice_ = nullptr;
    playSound(sound, volume, delayTicks, 0);
    if (sound.file->isVoice)
        currentVoice_ = sound.file;
}

void MSoundPlayer::stopNow(MSceneSound& sound) {
    sound.file->stop();
    drop(*sound.file);
}

} // namespace glint
