// The threaded clip player on a real GL context: the same frames as the
// engine's own player at every game tick, looping, pausing and restarting,
// many clips sharing the two workers, clips destroyed while a worker
// decodes them, and files that are cut short, broken or carry sound.
#include "support/gl_test_support.h"

#include "engine/resources/resource.h"
#include "engine/video/clip_player.h"
#include "engine/video/theora_log.h"
#include "engine/video/video.h"
#include "support/test_support.h"
#include "video/video_clips.h"

#include <chrono>
#include <cmath>
#include <memory>
#include <thread>

namespace glint::test {
namespace {

constexpr int kFps = 10;
constexpr int kFrames = 20; // two seconds

class ClipPlayerTest : public GlWindowTest {
protected:
    static void SetUpTestSuite() {
        clips = new TempDir;
        makeClip(clip("frames.ogv"), colourPerFrame(kFrames, 32, 32, kFps));
        frames = new DecodedClip(decodeWithFfmpeg(clip("frames.ogv")));
    }
    static void TearDownTestSuite() {
        delete frames;
        delete clips;
    }
    static std::string clip(const std::string& name) { return (*clips / name).string(); }

    void SetUp() override {
        resourceInit();
        open(64, 64, 64, 64);
        KVideo::setFramesAwaited(true);
        TheoraVideoClip::setFramesAwaited(true);
        ASSERT_EQ(frames->frames.size(), static_cast<size_t>(kFrames));
        setTheoraLogSink([this](const std::string& text) { logText += text + "\n"; });
        manager = std::make_unique<TheoraVideoManager>();
    }
    void TearDown() override {
        player.reset();
        manager.reset();
        setTheoraLogSink(nullptr);
        GlWindowTest::TearDown();
    }

    // What the player logged so far.
    const std::string& log() const { return logText; }

    std::unique_ptr<KClipPlayer> openBytes(const std::string& bytes, bool loop = false, bool stacked = false,
                                           bool colour = false) {
        std::unique_ptr<KClipPlayer> opened =
            KClipPlayer::open(*manager, std::vector<unsigned char>(bytes.begin(), bytes.end()), stacked, colour);
        if (opened)
            opened->setAutoRestart(loop);
        return opened;
    }
    bool openClip(const std::string& name, bool loop = false) {
        player = openBytes(readFile(clip(name)), loop);
        return player != nullptr;
    }

    // The game ticks of seconds, then the frame drawn; the texture's pixels.
    std::vector<uint32_t> playFor(double seconds) {
        for (long ticks = std::lround(seconds * 100); ticks > 0; --ticks) {
            manager->updateClips();
            player->update(false);
        }
        player->update(true);
        KMovieFrame frame;
        return player->frame(frame) ? texturePixels(*frame.texture) : std::vector<uint32_t>{};
    }

    static TempDir* clips;
    static DecodedClip* frames;
    std::unique_ptr<TheoraVideoManager> manager;
    std::unique_ptr<KClipPlayer> player;
    std::string logText;
};

TempDir* ClipPlayerTest::clips = nullptr;
DecodedClip* ClipPlayerTest::frames = nullptr;

uint32_t centre(const std::vector<uint32_t>& pixels, const KTexture& texture) {
    return pixels[16 * texture.textureWidth + 16];
}

TEST_F(ClipPlayerTest, ShowsTheSameFrameAsTheEnginePlayerAtEveryTickAndEndsWithIt) {
    KVideo video;
    ASSERT_TRUE(video.open(clip("frames.ogv").c_str(), true, false, false, false));
    ASSERT_TRUE(openClip("frames.ogv"));
    KMovieFrame none;
    player->update(true);
    EXPECT_FALSE(player->frame(none)) << "nothing is shown before playback starts";
    video.resume();
    player->resume();
    for (int tick = 1; tick <= 250; ++tick) {
        video.advanceClock(0.01);
        manager->updateClips();
        video.update(true);
        player->update(true);
        // A frame's first tick falls on its start time, which either clock
        // may round to the frame before.
        if (tick % 10 == 0)
            continue;
        ASSERT_EQ(player->currentFrame(), video.currentFrame()) << "tick " << tick;
        KMovieFrame ours, theirs;
        ASSERT_TRUE(player->frame(ours));
        ASSERT_TRUE(video.frame(theirs));
        EXPECT_EQ(centre(texturePixels(*ours.texture), *ours.texture),
                  centre(texturePixels(*theirs.texture), *theirs.texture))
            << "tick " << tick;
        EXPECT_EQ(player->isDone(), tick > 190) << "tick " << tick;
    }
    EXPECT_EQ(player->currentFrame(), kFrames - 1);
    EXPECT_TRUE(video.isDone());
    EXPECT_EQ(manager->workLogEntries(&player->clip()), 0u) << "a clip alone needs no log";
    EXPECT_FLOAT_EQ(player->clip().duration(), 2.0f) << "frames / fps";
    EXPECT_FLOAT_EQ(player->clip().timer().getTime(), 2.0f) << "the clock stops at the end";
    KMovieFrame shown;
    ASSERT_TRUE(player->frame(shown));
    EXPECT_EQ(shown.x1 - shown.x0, 32);
    EXPECT_EQ(shown.y1 - shown.y0, 32);
}

struct DueFrame {
    double advance; // seconds the clock moves on before the look
    int64_t frame;
};

TEST_F(ClipPlayerTest, ALoopingClipGoesRoundAtItsLengthAndNeverEnds) {
    ASSERT_TRUE(openClip("frames.ogv", true));
    player->resume();
    // Passes of 2 s; frames in between the looks are dropped.
    const DueFrame steps[] = {{1.05, 10}, {1.0, 0}, {0.31, 3}, {2.0, 3}, {0.4, 7}, {4.15, 9}};
    for (const DueFrame& step : steps) {
        std::vector<uint32_t> pixels = playFor(step.advance);
        ASSERT_FALSE(pixels.empty());
        EXPECT_EQ(player->currentFrame(), step.frame);
        EXPECT_TRUE(coloursNear(pixels[16 * 32 + 16], frames->at(static_cast<size_t>(step.frame), 16, 16)));
    }
    EXPECT_FALSE(player->isDone());
    EXPECT_GT(player->clip().droppedFrames(), 0u) << "the frames jumped over";
}

TEST_F(ClipPlayerTest, PausingHoldsThePictureAndRestartGoesBackToTheFirstFrame) {
    ASSERT_TRUE(openClip("frames.ogv"));
    player->resume();
    playFor(0.45);
    player->pause();
    playFor(0.5);
    EXPECT_EQ(player->currentFrame(), 4) << "the clock stood still";
    player->resume();
    playFor(0.2);
    EXPECT_EQ(player->currentFrame(), 6);
    player->restart();
    playFor(0.05);
    EXPECT_EQ(player->currentFrame(), 0);
    playFor(0.3);
    EXPECT_EQ(player->currentFrame(), 3);
}

// Without waiting for frames, as in a game: every clip gets its frames
// decoded, whether its clock runs or not.
TEST_F(ClipPlayerTest, ManyClipsShareTheTwoWorkersWithoutStarvingOne) {
    TheoraVideoClip::setFramesAwaited(false);
    std::vector<std::unique_ptr<KClipPlayer>> players;
    std::string bytes = readFile(clip("frames.ogv"));
    for (int i = 0; i < 8; ++i) {
        players.push_back(openBytes(bytes, i % 2 == 0));
        ASSERT_TRUE(players.back());
        if (i < 6)
            players.back()->resume();
    }
    auto allQueued = [&] {
        for (auto& p : players) {
            if (!p->clip().allFramesReady())
                return false;
        }
        return true;
    };
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!allQueued() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(allQueued());
    // Then all play on together, each showing the frame due.
    TheoraVideoClip::setFramesAwaited(true);
    for (int tick = 1; tick <= 125; ++tick) {
        manager->updateClips();
        for (auto& p : players)
            p->update(true);
    }
    for (size_t i = 0; i < players.size(); ++i)
        EXPECT_EQ(players[i]->currentFrame(), i < 6 ? 12 : -1) << "clip " << i;
    players.clear();
    EXPECT_EQ(manager->clipCount(), 0u);
}

TEST_F(ClipPlayerTest, AClipDestroyedWhileItsWorkerDecodesGoesSafely) {
    makeClip(clip("large.ogv"), "testsrc2=s=320x240:r=25:d=2");
    std::string bytes = readFile(clip("large.ogv"));
    TheoraVideoClip::setFramesAwaited(false);
    for (int round = 0; round < 12; ++round) {
        std::unique_ptr<KClipPlayer> clips[3];
        for (auto& c : clips) {
            c = openBytes(bytes, true);
            ASSERT_TRUE(c);
            c->resume();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(round));
        for (auto& c : clips)
            c.reset();
    }
    EXPECT_EQ(manager->clipCount(), 0u);
    manager.reset();
    EXPECT_NE(log().find("Destroying video clip: MEM:memory\n"), std::string::npos) << log();
}

// Files whose headers cannot be read give no clip and log why.
struct BrokenClip {
    const char* name;
    std::function<std::string(const std::string& good)> bytes;
    const char* logLine;
};
void PrintTo(const BrokenClip& clip, std::ostream* out) { *out << clip.name; }

class BrokenClipTest : public ClipPlayerTest, public testing::WithParamInterface<BrokenClip> {};

TEST_P(BrokenClipTest, GivesNoClipAndLogsWhy) {
    const BrokenClip& c = GetParam();
    EXPECT_FALSE(openBytes(c.bytes(readFile(clip("frames.ogv")))));
    EXPECT_EQ(manager->clipCount(), 0u);
    EXPECT_NE(log().find("Creating video from data source: MEM:memory [4 precached frames].\n"
                         "TheoraGenericException: " +
                         std::string(c.logLine) + "\n"),
              std::string::npos)
        << log();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrokenClipTest,
    testing::Values(BrokenClip{"Empty", [](const std::string&) { return std::string(); },
                               "End of file found prematurely"},
                    BrokenClip{"NotOgg", [](const std::string&) { return std::string(5000, '\x5a'); },
                               "End of file found prematurely"},
                    // The identification header's page alone.
                    BrokenClip{"CutAfterTheFirstHeader", [](const std::string& good) { return good.substr(0, 28 + 42); },
                               "End of file found prematurely"},
                    BrokenClip{"BrokenCommentHeader",
                               [](const std::string& good) {
                                   return editPage(good, 1, [](ogg_page& page) { page.body[3] = 'x'; });
                               },
                               "invalid theora stream"},
                    // Frames wider than any buffer the player makes.
                    BrokenClip{"HugeFrame",
                               [](const std::string& good) {
                                   return editPage(good, 0, [](ogg_page& page) { page.body[10] = page.body[11] = 0xFF; });
                               },
                               "invalid theora stream"},
                    // A Vorbis stream and nothing else.
                    BrokenClip{"SoundOnly",
                               [](const std::string&) {
                                   TempDir dir;
                                   std::string path = (dir / "sound.ogg").string();
                                   runCommand("ffmpeg -v error -f lavfi -i sine=d=0.2 -c:a libvorbis " + shellQuote(path));
                                   return readFile(path);
                               },
                               "invalid theora stream"}),
    [](const testing::TestParamInfo<BrokenClip>& info) { return std::string(info.param.name); });

TEST_F(ClipPlayerTest, ATruncatedClipPlaysTheFramesItHasThenEnds) {
    std::string good = readFile(clip("frames.ogv"));
    size_t headers = editPages(good, [](int, ogg_page& page) { return ogg_page_granulepos(&page) <= 0; }).size();
    // Cut in the middle of a page half way through the pictures.
    ASSERT_TRUE(player = openBytes(good.substr(0, headers + (good.size() - headers) / 2 + 20)));
    int32_t count = player->clip().frameCount();
    EXPECT_GT(count, 2);
    EXPECT_LT(count, kFrames);
    EXPECT_FLOAT_EQ(player->clip().duration(), static_cast<float>(count) / kFps);
    player->resume();
    std::vector<uint32_t> pixels = playFor(3.0);
    EXPECT_TRUE(player->isDone());
    EXPECT_EQ(player->currentFrame(), count - 1);
    ASSERT_FALSE(pixels.empty());
    EXPECT_TRUE(coloursNear(pixels[16 * 32 + 16], frames->at(static_cast<size_t>(count - 1), 16, 16)));
}

// Every packet after the headers marked as a header: the pages still tell
// the length, but no picture comes out of a pass.
TEST_F(ClipPlayerTest, ALoopingClipWithoutPicturesEndsInsteadOfGoingRoundForEver) {
    std::string blank = editPages(readFile(clip("frames.ogv")), [](int, ogg_page& page) {
        if (ogg_page_granulepos(&page) > 0)
            std::fill(page.body, page.body + page.body_len, 0xFF);
        return true;
    });
    ASSERT_TRUE(player = openBytes(blank, true));
    EXPECT_FLOAT_EQ(player->clip().duration(), 2.0f);
    player->resume();
    playFor(0.5);
    EXPECT_TRUE(player->isDone());
    EXPECT_EQ(player->currentFrame(), -1);
}

// The headers alone: nothing to measure the length by, so the clip cannot
// go round; its clock runs on.
TEST_F(ClipPlayerTest, AClipOfUnknownLengthPlaysOnce) {
    std::string headers = editPages(readFile(clip("frames.ogv")),
                                    [](int, ogg_page& page) { return ogg_page_granulepos(&page) <= 0; });
    ASSERT_TRUE(player = openBytes(headers, true));
    EXPECT_EQ(player->clip().duration(), -1);
    EXPECT_EQ(player->duration(), 0);
    player->resume();
    playFor(0.5);
    EXPECT_TRUE(player->isDone());
    EXPECT_NEAR(player->clip().timer().getTime(), 0.5f, 1e-4);
    EXPECT_NE(log().find("unable to determine file duration!\n"), std::string::npos) << log();
}

TEST_F(ClipPlayerTest, AVorbisStreamBeforeTheVideoIsParsedAndPlaysSilently) {
    CommandResult made = runCommand("ffmpeg -v error -y -f lavfi -i sine=d=0.5 -filter_complex " +
                                    shellQuote(colourPerFrame(5, 32, 32, kFps) + "[v]") +
                                    " -map 0:a -map '[v]' -c:a libvorbis -c:v libtheora " +
                                    shellQuote(clip("sound_first.ogv")));
    ASSERT_EQ(made.status, 0) << made.err;
    ASSERT_TRUE(openClip("sound_first.ogv"));
    player->resume();
    std::vector<uint32_t> pixels = playFor(0.25);
    ASSERT_FALSE(pixels.empty());
    EXPECT_EQ(player->currentFrame(), 2);
    EXPECT_TRUE(coloursNear(pixels[16 * 32 + 16], frames->at(2, 16, 16))) << hexColour(pixels[16 * 32 + 16]);
}

TEST_F(ClipPlayerTest, TheManagerAndItsClipsLogTheirLives) {
    ASSERT_TRUE(openClip("frames.ogv"));
    player.reset();
    manager.reset();
    // A worker may be decoding the clip's first frames when it is destroyed:
    // then the clip waits for it, and says so.
    std::string lines = log();
    const std::string waited = " - Waiting for WorkerThread to finish decoding in order to destroy\n"
                               " - WorkerThread done, destroying...\n";
    if (lines.ends_with(waited))
        lines.erase(lines.size() - waited.size());
    EXPECT_EQ(lines, "Initializing Theora Playback Library (1.1)\n"
                     "  - libtheora version: Xiph.Org libtheora 1.2.0alpha 20100924 (Ptalarbvorm)\n"
                     "  - libvorbis version: Xiph.Org libVorbis 1.3.4\n"
                     "------------------------------------\n"
                     "Creating video from data source: MEM:memory [4 precached frames].\n"
                     "Destroying video clip: MEM:memory\n");
}

} // namespace
} // namespace glint::test
