// Music, ambient sounds, voices and effects as the game plays them: the
// level of every sound (its own volume, the level asked for, the player's
// volume options, the game configuration's factors, the scripts' global
// volumes, the goto fade and the opening of zoom and item scenes), the
// list of playing sounds with their fades, the delayed starts, the music
// that follows the scenes with its cross-fade, the ambient loop handed
// over at the scene switch, and the per-tick sound step.
#pragma once

#include "script/value.h"

#include <cstdint>
#include <vector>

namespace glint {

class MConfiguration;
class MNavigation;
class MResourceManager;
class MScene;
class MSceneSound;
class MSoundFile;
struct OptionCells;

enum MusicState : int32_t { kMusicIdle = 0, kMusicPlaying = 1, kMusicFadingOut = 2 };

class MSoundPlayer {
public:
    MSoundPlayer(MResourceManager& resources, const OptionCells& options, const MConfiguration& gameConfig,
                 MNavigation& navigation);
    // Stops every sound and the music.
    ~MSoundPlayer();
    MSoundPlayer(const MSoundPlayer&) = delete;
    MSoundPlayer& operator=(const MSoundPlayer&) = delete;

    // "Global_music_volume", "Global_ambient_volume", "Global_sound_volume",
    // "Global_voice_volume" and "Music" in the global scope.
    void bind(Scope& global);

    // Stores level in the file and sets its sound object's volume.
    void applySoundLevel(MSoundFile& file, float level);
    // The command "music" and the loading of a saved game.
    void requestMusic(MSceneSound* sound, float seconds);
    // The command "ambient": the current ambient stops and sound loops.
    void switchAmbient(MSceneSound* sound);
    // The scene switch's ambient (already held by its scene) starts at level 1.
    void startAmbient(MSoundFile& file);
    void stopSceneSounds(MScene* scene, bool all);
    void cancelDelayedStarts(MScene* scene);
    // Before a scene switch: looped and queued sounds, effects and the voice.
    void stopSwitchSounds();
    void soundStep();

    // The command "sound": volume and the ticks of delay and fade.
    void playSound(MSceneSound& sound, float volume, int32_t delayTicks, int32_t fadeTicks);
    // The command "voice": the current voice stops first.
    void playVoice(MSceneSound& sound, float volume, int32_t delayTicks);
    // A sound stopped at once and dropped from the playing list.
    void stopNow(MSceneSound& sound);

    MSceneSound* currentMusic() const { return currentMusic_; }
    int32_t musicState() const { return musicState_; }
    float musicLevel() const { return musicLevel_; }

private:
    struct DelayedStart {
        int32_t ticks;
        MSoundFile* file;
        float level;
    };

    float categoryLevel(const MSoundFile& file) const;
    float factor(const Value& option, const char* key) const;
    float backgroundLevel(const MSoundFile& file) const;
    MSoundFile* currentAmbient() const;
    void start(MSoundFile& file, float level);
    void join(MSoundFile& file);
    void drop(MSoundFile& file);
    void stepFades();
    void stepDelayedStarts();
    void stepMusic();
    void updateMusicVolume();
    void endMusic(bool played);

    MResourceManager& resources_;
    const OptionCells& options_;
    const MConfiguration& gameConfig_;
    MNavigation& navigation_;

    std::vector<MSoundFile*> playingSounds_;
    std::vector<DelayedStart> delayedStarts_;
    MSceneSound* currentMusic_ = nullptr;
    MSceneSound* pendingMusic_ = nullptr;
    int32_t musicState_ = kMusicIdle;
    int32_t musicFadeTicks_ = 0;
    float musicLevel_ = 1, musicVolume_ = 0;
    MSoundFile* currentVoice_ = nullptr;

    Value globalMusic_ = Value::fromNumber(1), globalAmbient_ = Value::fromNumber(1),
          globalSound_ = Value::fromNumber(1), globalVoice_ = Value::fromNumber(1);
    Value music_; // "Music": the current music, or none
};

} // namespace glint
