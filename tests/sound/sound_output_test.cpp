// The sound output heard through SDL's disk driver: every test plays into
// the one capture file of the run and listens to what it appended.
#include "audio_analysis.h"
#include "engine/resources/resource.h"
#include "engine/sound/sound_object.h"
#include "engine/system/log.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

using namespace glint;
using namespace glint::test;

namespace {

constexpr double kFullTone = 0.5 * 32767; // the fixtures' sine, "vol 0.5"

double gainOf(int32_t millibels) { return std::pow(10.0, millibels / 2000.0); }

class SoundOutputTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = new TempDir;
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", (*folder / "capture.raw").c_str(), 1);
        resourceInit();
        struct Fixture {
            const char* name;
            int rate, channels, bits;
            double seconds, hz;
        };
        const Fixture fixtures[] = {
            {"mono8_22k.wav", 22050, 1, 8, 0.5, 440},   {"stereo16_44k.wav", 44100, 2, 16, 0.5, 440},
            {"mono16_44k.wav", 44100, 1, 16, 0.5, 440}, {"stereo8_22k.wav", 22050, 2, 8, 0.5, 440},
            {"tone.ogg", 44100, 1, 16, 0.5, 440},        {"blip.wav", 44100, 1, 16, 0.1, 440},
            {"short.ogg", 22050, 2, 16, 0.1, 660},      {"loop.ogg", 44100, 2, 16, 0.25, 660},
            {"long.ogg", 44100, 2, 16, 3, 330},
        };
        for (const Fixture& f : fixtures)
            ASSERT_TRUE(makeTone(path(f.name), f.rate, f.channels, f.bits, f.seconds, f.hz)) << f.name;
        ASSERT_EQ(runCommand("sox -n -r 22050 -c 1 -b 24 " + shellQuote(path("deep.wav")) + " synth 0.1 sine 440")
                      .status,
                  0);
    }
    static void TearDownTestSuite() {
        soundShutdown();
        resourceShutdown();
        delete folder;
    }
    static std::string path(const char* name) { return (*folder / name).string(); }

    void SetUp() override { mark_ = captured(); }
    static size_t captured() {
        std::error_code error;
        auto size = std::filesystem::file_size(*folder / "capture.raw", error);
        return error ? 0 : static_cast<size_t>(size);
    }
    // Waits, then gives the stereo samples appended since the last call
    // (or the test's start).
    std::vector<int16_t> listen(double seconds) {
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        size_t end = captured() & ~size_t{3};
        std::string bytes = readFile(*folder / "capture.raw").substr(mark_, end - mark_);
        mark_ = end;
        return pcmOf(bytes);
    }
    // The last quarter second: clear of the output's latency.
    static std::vector<double> tail(const std::vector<int16_t>& pcm, int channel, double seconds = 0.25) {
        size_t frames = pcm.size() / 2, want = static_cast<size_t>(seconds * kCaptureRate);
        return channelOf(pcm, channel, frames > want ? frames - want : 0);
    }

    static TempDir* folder;
    size_t mark_ = 0;
};

TempDir* SoundOutputTest::folder = nullptr;

TEST_F(SoundOutputTest, SamplesOfEveryLayoutPlayAtTheirPitch) {
    for (const char* name : {"mono8_22k.wav", "stereo16_44k.wav", "mono16_44k.wav", "stereo8_22k.wav", "tone.ogg"}) {
        KSoundObject sound;
        ASSERT_TRUE(sound.loadSample(path(name).c_str(), true)) << name;
        sound.play();
        std::vector<int16_t> pcm = listen(0.4);
        sound.stop();
        for (int channel : {0, 1}) {
            std::vector<double> heard = tail(pcm, channel);
            double expected = kFullTone * gainOf(-12);
            EXPECT_NEAR(toneAmplitude(heard, 440), expected, expected * 0.04) << name << " channel " << channel;
            EXPECT_NEAR(rms(heard), expected / std::sqrt(2.0), expected * 0.04) << name << ": a pure tone";
        }
    }
}

TEST_F(SoundOutputTest, VolumeAndPanFollowTheirLaws) {
    KSoundObject sound;
    ASSERT_TRUE(sound.loadSample(path("stereo16_44k.wav").c_str(), true));
    struct Case {
        int volume, pan;
        double left, right;
    };
    const Case cases[] = {
        {100, 0, gainOf(-12), gainOf(-12)},
        {50, 0, gainOf(-831), gainOf(-831)},
        {0, 0, 0, 0},
        {100, 50, gainOf(-12 - 1505), gainOf(-12)},
        {100, -100, gainOf(-12), 0},
    };
    for (const Case& c : cases) {
        sound.volume = c.volume;
        sound.pan = c.pan;
        sound.play();
        std::vector<int16_t> pcm = listen(0.35);
        EXPECT_NEAR(toneAmplitude(tail(pcm, 0), 440), kFullTone * c.left, 60) << c.volume << " / " << c.pan;
        EXPECT_NEAR(toneAmplitude(tail(pcm, 1), 440), kFullTone * c.right, 60) << c.volume << " / " << c.pan;
    }
    // A change while playing is heard once applied.
    sound.volume = 50;
    sound.pan = 0;
    sound.applyVolume();
    EXPECT_NEAR(toneAmplitude(tail(listen(0.35), 0), 440), kFullTone * gainOf(-831), 60);
}

TEST_F(SoundOutputTest, SamplesLoopOrPlayOnce) {
    KSoundObject once, looping;
    ASSERT_TRUE(once.loadSample(path("blip.wav").c_str(), false));
    ASSERT_TRUE(looping.loadSample(path("blip.wav").c_str(), true));
    once.play();
    EXPECT_TRUE(once.isPlaying());
    listen(0.4);
    EXPECT_FALSE(once.isPlaying());
    // Whatever the capture still had to write of it is out by now.
    EXPECT_LT(rms(tail(listen(0.4), 0)), 1.0) << "a sample that does not loop ends";
    looping.play();
    std::vector<int16_t> pcm = listen(0.6);
    EXPECT_TRUE(looping.isPlaying());
    EXPECT_NEAR(toneAmplitude(tail(pcm, 0, 0.4), 440), kFullTone * gainOf(-12), 200) << "the loop repeats it";
}

TEST_F(SoundOutputTest, StreamsLoopSeamlesslyOrStopAtTheirEnd) {
    KSoundObject looping, once;
    ASSERT_TRUE(looping.loadStream(path("loop.ogg").c_str()));
    ASSERT_TRUE(once.loadStream(path("short.ogg").c_str()));
    looping.playStream(true, false);
    std::vector<int16_t> pcm = listen(1.2);
    EXPECT_TRUE(looping.isPlaying());
    EXPECT_TRUE(looping.looped());
    EXPECT_LT(looping.playedSeconds(), 0.5) << "counted again from the wrap";
    // Every 20 ms of the last second carries the tone: no gap at the wraps.
    std::vector<double> heard = tail(pcm, 0, 1.0);
    for (size_t at = 0; at + 882 <= heard.size(); at += 882) {
        std::vector<double> window(heard.begin() + at, heard.begin() + at + 882);
        ASSERT_GT(rms(window), kFullTone * 0.6) << "gap at " << at;
    }
    looping.stopStream();
    EXPECT_FALSE(looping.isPlaying());

    // Shorter than one half: it plays once, all of it, and stops.
    once.playStream(false, false);
    EXPECT_TRUE(once.isPlaying());
    pcm = listen(0.6);
    EXPECT_FALSE(once.isPlaying());
    std::vector<double> left = channelOf(pcm, 0);
    double seconds = 0;
    for (double s : left)
        seconds += std::fabs(s) > 1000 ? 1.0 / kCaptureRate : 0;
    EXPECT_GT(seconds, 0.06) << "its whole length is heard";
    EXPECT_LT(rms(tail(pcm, 0, 0.2)), 1.0);
}

TEST_F(SoundOutputTest, StreamsPlayOnWhileTheMainThreadIsBusy) {
    KSoundObject music;
    ASSERT_TRUE(music.loadStream(path("long.ogg").c_str()));
    music.playStream(false, false);
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1200);
    volatile uint64_t spin = 0;
    while (std::chrono::steady_clock::now() < until)
        spin = spin + 1;
    std::vector<int16_t> pcm = listen(0);
    std::vector<double> heard = tail(pcm, 1, 1.0);
    for (size_t at = 0; at + 2205 <= heard.size(); at += 2205) {
        std::vector<double> window(heard.begin() + at, heard.begin() + at + 2205);
        ASSERT_NEAR(toneAmplitude(window, 330), kFullTone * gainOf(-12), 400) << "at " << at;
    }
    music.stopStream();
}

TEST_F(SoundOutputTest, TheGlobalPauseResumesOnlyWhatItPaused) {
    KSoundObject held, playing, music;
    ASSERT_TRUE(held.loadSample(path("mono16_44k.wav").c_str(), true));
    ASSERT_TRUE(playing.loadSample(path("mono16_44k.wav").c_str(), true));
    ASSERT_TRUE(music.loadStream(path("loop.ogg").c_str()));
    held.play();
    held.setPaused(true);
    playing.play();
    music.playStream(true, false);
    listen(0.2);

    KSoundObject::pauseAll();
    EXPECT_FALSE(playing.isPlaying());
    EXPECT_FALSE(music.isPlaying());
    KSoundObject late;
    EXPECT_FALSE(late.loadSample(path("blip.wav").c_str(), false)) << "no loads while paused";
    listen(0.3); // what the capture still had to write from before
    EXPECT_LT(rms(tail(listen(0.35), 0)), 1.0) << "silence while paused";

    KSoundObject::clearGlobalPause();
    KSoundObject::resumeAll();
    EXPECT_TRUE(playing.isPlaying());
    EXPECT_TRUE(music.isPlaying());
    EXPECT_TRUE(held.isPaused()) << "paused before, paused after";
    listen(0.3);
    std::vector<int16_t> pcm = listen(0.35);
    EXPECT_NEAR(toneAmplitude(tail(pcm, 0), 440), kFullTone * gainOf(-12), 200);
    EXPECT_NEAR(toneAmplitude(tail(pcm, 0), 660), kFullTone * gainOf(-12), 200);
    music.stopStream();
}

TEST_F(SoundOutputTest, UnplayableFilesFailTheirLoad) {
    clearMemoryLog();
    KSoundObject sound;
    EXPECT_FALSE(sound.loadSample(path("deep.wav").c_str(), false));
    EXPECT_NE(memoryLog().find("Sound: CreateSoundBuffer (secondary) returned unsupported format (1 channels, 22050 "
                               "Hz, 24 bits"),
              std::string::npos)
        << memoryLog();
    EXPECT_FALSE(sound.isLoaded());
    EXPECT_FALSE(sound.loadSample(path("tone.mp3").c_str(), false)) << "unknown extension";
    EXPECT_FALSE(sound.loadStream(path("blip.wav").c_str())) << "a stream must be Vorbis";
    EXPECT_FALSE(sound.loadSample(path("missing.ogg").c_str(), false));
    sound.play();
    EXPECT_FALSE(sound.isPlaying());
}

} // namespace
