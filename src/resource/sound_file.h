// A sound of a scene's sound list: the file behind one scene sound, with
// its category and playback letters from the list. Its audio (an engine
// sound object, streamed for music and decoded whole otherwise) exists
// only while it is held.
#pragma once

#include "resource/resource.h"

#include <cstdint>
#include <memory>

namespace glint {

class KSoundObject;
class MSceneSound;

class MSoundFile : public MResource {
public:
    explicit MSoundFile(const char* path);
    ~MSoundFile() override;

    void discard() override;
    void load() override;
    void unload() override;

    // Music as a stream (with its loop and random start), the rest as a sample.
    void play();
    void stop();
    bool isPlaying() const;
    bool isLoaded() const { return sound != nullptr; }

    MSceneSound* owner = nullptr;
    std::unique_ptr<KSoundObject> sound; // while loaded
    uint8_t isMusic = 0, isAmbient = 0, isVoice = 0;
    uint8_t loop = 0;        // L
    uint8_t randomStart = 0; // R
    uint8_t keepOnStop = 0;  // X: keeps playing when the game suspends its sounds
    uint8_t sfxVolume = 0;   // S: music played at the sound-effect level
    // The players' state: the level last applied, the level a fade goes
    // to, and the ticks left in the fade.
    float level = 1, targetLevel = 1, fadeSteps = 0;
    float volume = 1;
};

} // namespace glint
