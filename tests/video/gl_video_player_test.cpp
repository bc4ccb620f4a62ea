// The engine's video player on a real GL context: the frame shown at each
// clock time, looping, the end of a clip, alpha and odd sizes, each frame
// compared with what ffmpeg decodes from the same file.
#include "support/gl_test_support.h"

#include "engine/resources/resource.h"
#include "engine/video/video.h"
#include "support/test_support.h"
#include "video/video_clips.h"

#include <cmath>
#include <memory>

namespace glint::test {
namespace {

constexpr int kFps = 10;
constexpr int kFrames = 20; // two seconds

class VideoPlayerTest : public GlWindowTest {
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
        ASSERT_EQ(frames->frames.size(), static_cast<size_t>(kFrames));
    }
    void TearDown() override {
        video.reset();
        GlWindowTest::TearDown();
    }

    bool openClip(const std::string& name, bool loop = false, bool stacked = false, bool colour = false) {
        video = std::make_unique<KVideo>();
        return video->open(clip(name).c_str(), true, loop, stacked, colour);
    }
    // The clock moves on by seconds (in game ticks), the player shows what
    // is due; the texture's pixels afterwards.
    std::vector<uint32_t> playFor(double seconds) {
        for (long ticks = std::lround(seconds * 100); ticks > 0; --ticks) {
            video->advanceClock(0.01);
            video->update(false);
        }
        video->update(true);
        KMovieFrame frame;
        return video->frame(frame) ? texturePixels(*frame.texture) : std::vector<uint32_t>{};
    }

    static TempDir* clips;
    static DecodedClip* frames;
    std::unique_ptr<KVideo> video;
};

TempDir* VideoPlayerTest::clips = nullptr;
DecodedClip* VideoPlayerTest::frames = nullptr;

// The frame due at clock t: the last whose start time (pass x duration +
// n / fps) lies before t.
struct DueFrame {
    double advance; // seconds the clock moves on before the look
    int64_t frame;
};

TEST_F(VideoPlayerTest, ShowsTheFrameDueAtEachClockTimeAsFfmpegDecodesIt) {
    ASSERT_TRUE(openClip("frames.ogv"));
    KMovieFrame none;
    video->update(true);
    EXPECT_FALSE(video->frame(none)) << "nothing is shown before playback starts";
    video->resume();
    // The clock after each step lies between frame times (0.1 s apart):
    // single ticks first, then jumps over several frames, whose frames in
    // between are dropped, and past the end.
    const DueFrame steps[] = {{0.05, 0}, {0.01, 0}, {0.05, 1}, {0.10, 2}, {0.37, 5}, {0.65, 12}, {0.01, 12},
                              {0.50, 17}, {0.30, 19}};
    for (const DueFrame& step : steps) {
        std::vector<uint32_t> pixels = playFor(step.advance);
        ASSERT_FALSE(pixels.empty());
        EXPECT_EQ(video->currentFrame(), step.frame);
        uint32_t expected = frames->at(static_cast<size_t>(step.frame), 16, 16);
        EXPECT_TRUE(coloursNear(pixels[16 * 32 + 16], expected))
            << "frame " << step.frame << ": " << hexColour(pixels[16 * 32 + 16]) << " for " << hexColour(expected);
    }
    // One pass lasts one frame period past the last frame's start.
    EXPECT_DOUBLE_EQ(video->duration(), (kFrames + 1) / static_cast<double>(kFps));
}

TEST_F(VideoPlayerTest, ANonLoopingClipEndsOnItsLastFrame) {
    ASSERT_TRUE(openClip("frames.ogv"));
    video->resume();
    playFor(1.95);
    EXPECT_EQ(video->currentFrame(), kFrames - 1);
    EXPECT_FALSE(video->isDone()) << "the last frame was just shown";
    std::vector<uint32_t> pixels = playFor(1.0);
    EXPECT_TRUE(video->isDone());
    EXPECT_EQ(video->currentFrame(), kFrames - 1);
    EXPECT_TRUE(coloursNear(pixels[16 * 32 + 16], frames->at(kFrames - 1, 16, 16))) << "the last frame stays";
}

TEST_F(VideoPlayerTest, ALoopingClipStartsOverAndNeverEnds) {
    ASSERT_TRUE(openClip("frames.ogv", true));
    video->resume();
    // Passes of 2.1 s: frame times keep growing by that much.
    const DueFrame steps[] = {{1.05, 10}, {1.10, 0}, {0.31, 3}, {2.10, 3}, {0.40, 7}};
    for (const DueFrame& step : steps) {
        std::vector<uint32_t> pixels = playFor(step.advance);
        EXPECT_EQ(video->currentFrame(), step.frame);
        EXPECT_TRUE(coloursNear(pixels[16 * 32 + 16], frames->at(static_cast<size_t>(step.frame), 16, 16)));
    }
    EXPECT_FALSE(video->isDone());
}

TEST_F(VideoPlayerTest, RestartPlaysFromTheFirstFrameAgain) {
    ASSERT_TRUE(openClip("frames.ogv"));
    video->resume();
    playFor(1.55);
    video->restart();
    playFor(0.05);
    EXPECT_EQ(video->currentFrame(), 0);
    playFor(0.3);
    EXPECT_EQ(video->currentFrame(), 3);
}

TEST_F(VideoPlayerTest, PausingHoldsThePictureUntilTheClockMovesOn) {
    ASSERT_TRUE(openClip("frames.ogv"));
    video->resume();
    playFor(0.45);
    video->pause();
    EXPECT_TRUE(video->isPaused());
    video->update(true);
    EXPECT_EQ(video->currentFrame(), 4);
    video->resume();
    playFor(0.2);
    EXPECT_EQ(video->currentFrame(), 6);
}

// Alpha from a picture below the colour one, or from the colour's blue.
struct AlphaCase {
    const char* name;
    std::string graph;
    bool stacked, colour;
    uint32_t width, height, textureSize;
    int leftAlpha, rightAlpha; // at a fifth and four fifths of the width, mid-height
};

// Failures name the case, not its bytes.
void PrintTo(const AlphaCase& c, std::ostream* out) { *out << c.name; }

class VideoAlphaTest : public VideoPlayerTest, public testing::WithParamInterface<AlphaCase> {};

TEST_P(VideoAlphaTest, TakesAlphaFromWhereTheFileNameSays) {
    const AlphaCase& c = GetParam();
    makeClip(clip(std::string(c.name) + ".ogv"), c.graph);
    ASSERT_TRUE(openClip(std::string(c.name) + ".ogv", false, c.stacked, c.colour));
    EXPECT_EQ(video->layout().width, c.width);
    EXPECT_EQ(video->layout().height, c.height);
    EXPECT_EQ(video->layout().textureSize, c.textureSize);
    video->resume();
    std::vector<uint32_t> pixels = playFor(0.05);
    ASSERT_FALSE(pixels.empty());
    KMovieFrame frame;
    ASSERT_TRUE(video->frame(frame));
    EXPECT_EQ(frame.x1, static_cast<float>(c.width));
    EXPECT_EQ(frame.y1, static_cast<float>(c.height));
    uint32_t y = c.height / 2, left = c.width / 5, right = c.width * 4 / 5;
    EXPECT_NEAR(static_cast<int>(pixels[y * c.textureSize + left] >> 24), c.leftAlpha, 3);
    EXPECT_NEAR(static_cast<int>(pixels[y * c.textureSize + right] >> 24), c.rightAlpha, 3);
    EXPECT_TRUE(coloursNear(pixels[y * c.textureSize + left], 0xC86432))
        << "the colour stays: " << hexColour(pixels[y * c.textureSize + left]);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VideoAlphaTest,
    testing::Values(
        // A 40 x 18 picture over its alpha (opaque left, clear right) in a
        // 40 x 36 stream: a 40 x 18 frame in a 64 x 64 texture.
        AlphaCase{"stacked",
                  "color=0xC86432:s=40x18:r=10:d=0.3[c];color=white:s=20x18:r=10:d=0.3[w];"
                  "color=black:s=20x18:r=10:d=0.3[k];[w][k]hstack[a];[c][a]vstack",
                  true, false, 40, 18, 64, 255, 0},
        // Alpha is the blue of the colour itself (0x32).
        AlphaCase{"colour", "color=0xC86432:s=24x16:r=10:d=0.3", false, true, 24, 16, 32, 0x32, 0x32},
        AlphaCase{"opaque", "color=0xC86432:s=24x16:r=10:d=0.3", false, false, 24, 16, 32, 255, 255}),
    [](const testing::TestParamInfo<AlphaCase>& info) { return std::string(info.param.name); });

TEST_F(VideoPlayerTest, AnOddPictureIsShownEvenWideAndItsColoursStay) {
    makeClip(clip("odd.ogv"), "color=0x3080C0:s=336x16:r=10:d=0.3");
    setPictureSize(clip("odd.ogv"), 321, 9);
    ASSERT_TRUE(openClip("odd.ogv"));
    EXPECT_EQ(video->layout().width, 320u);
    EXPECT_EQ(video->layout().height, 10u) << "the height rounds up to even";
    EXPECT_EQ(video->layout().textureSize, 512u);
    video->resume();
    std::vector<uint32_t> pixels = playFor(0.05);
    DecodedClip odd = decodeWithFfmpeg(clip("odd.ogv"));
    ASSERT_FALSE(pixels.empty());
    ASSERT_EQ(odd.width, 321);
    for (int x : {0, 160, 319})
        EXPECT_TRUE(coloursNear(pixels[4 * 512 + x], odd.at(0, x, 4))) << "column " << x;
}

TEST_F(VideoPlayerTest, AVorbisStreamBeforeTheVideoIsPassedOver) {
    // The sound is the first input, so its stream comes first in the file.
    CommandResult made = runCommand("ffmpeg -v error -y -f lavfi -i sine=d=0.5 -filter_complex " +
                                    shellQuote(colourPerFrame(5, 32, 32, kFps) + "[v]") +
                                    " -map 0:a -map '[v]' -c:a libvorbis -c:v libtheora " +
                                    shellQuote(clip("sound_first.ogv")));
    ASSERT_EQ(made.status, 0) << made.err;
    CommandResult order = runCommand("ffprobe -v error -show_entries stream=codec_name -of csv=p=0 " +
                                     shellQuote(clip("sound_first.ogv")));
    ASSERT_EQ(order.out, "vorbis\ntheora\n");
    ASSERT_TRUE(openClip("sound_first.ogv"));
    video->resume();
    std::vector<uint32_t> pixels = playFor(0.25);
    ASSERT_FALSE(pixels.empty());
    EXPECT_EQ(video->currentFrame(), 2);
    EXPECT_TRUE(coloursNear(pixels[16 * 32 + 16], frames->at(2, 16, 16))) << hexColour(pixels[16 * 32 + 16]);
}

} // namespace
} // namespace glint::test
