// The engine's sound object: a sample, decoded whole (".wav" or ".ogg")
// into one buffer and played with one call, or a stream, an Ogg Vorbis
// file kept compressed in memory and decoded by the streaming thread into
// a 64 KiB looping buffer one 32 KiB half at a time.
//
// The first sound object opens the output: 44,100 Hz, 16-bit stereo,
// mixed in software (sound_mixer.h). Samples are used from the main
// thread only; stream playback, stop, pause and the refills run under the
// sound lock.
#pragma once

#include "engine/sound/sound_decode.h"
#include "engine/sound/sound_mixer.h"

#include <cstdint>
#include <memory>

namespace glint {

constexpr uint32_t kStreamHalf = 32768;
constexpr uint32_t kStreamBuffer = 2 * kStreamHalf;

class KSoundObject {
public:
    KSoundObject();
    ~KSoundObject();
    KSoundObject(const KSoundObject&) = delete;
    KSoundObject& operator=(const KSoundObject&) = delete;

    // Both fail at once while the output is paused or off.
    bool loadSample(const char* path, bool loop);
    bool loadStream(const char* path);

    void play();
    void playStream(bool loop, bool randomStart);
    // Stops the buffer and clears the pause.
    void stop();
    // Takes the stream off the playing list and rewinds it to its start.
    void stopStream();
    // Applies volume (0 to 100) to the buffer.
    void applyVolume();
    bool isPlaying() const;
    void setPaused(bool on);

    bool isLoaded() const { return loaded_; }
    bool isStream() const { return isStream_; }
    bool isPaused() const { return paused_; }
    // A looping stream wrapped since it started; seconds of audio fed
    // since the start or the last wrap.
    bool looped() const { return looped_; }
    double playedSeconds() const { return playedSeconds_; }

    // The global pause of focus loss: pauseAll pauses every playing sound
    // and then pauses the output; the caller clears the output's pause
    // (clearGlobalPause) before resumeAll resumes what pauseAll paused.
    static void pauseAll();
    static void resumeAll();
    static void clearGlobalPause();
    static bool globalPaused();

    int32_t volume = 100; // 0 to 100
    int32_t pan = 0;      // -100 (left) to 100 (right)

private:
    friend struct KSoundStreaming;
    friend void soundShutdown();
    enum class Fill { Data, Empty, Failed };

    bool prepareLoad(const char* path, char** bytes, int32_t* size);
    bool createBuffer(const KSoundFormat& format, size_t bytes);
    void releaseContents();
    // Releases what the sound holds and leaves the lists (shutdown).
    void detach();
    void applyVolumeAndPan();
    void pauseLocked(bool on);
    bool fillHalf(int half);
    Fill readHalf(uint8_t* staging, uint32_t& got);

    OggVorbis_File decoder_{};
    bool decoderOpen_ = false;
    KSoundFormat format_;
    std::unique_ptr<KSoundBuffer> buffer_;
    uint32_t savedPosition_ = 0;
    bool linked_ = false; // in one of the output's lists
    bool loaded_ = false, paused_ = false, pausedByGlobal_ = false, loop_ = false;
    int nextVoice_ = 0; // streams: the half to refill next
    bool isStream_ = false, inStreamList_ = false, streamLoop_ = false;
    bool halfHasData_[2] = {};
    KSoundDecoder decodeKind_ = KSoundDecoder::Wav;
    std::unique_ptr<uint8_t[]> data_;
    KMemoryFile file_;
    std::unique_ptr<uint8_t[]> staging_;
    bool looped_ = false;
    double playedSeconds_ = 0;
};

// Stops the streaming thread, releases every sound and closes the output.
void soundShutdown();

// The output's mixer, for tests and measurements that mix without a device.
KSoundMixer& soundMixer();

} // namespace glint
