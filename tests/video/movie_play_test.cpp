// Movie elements played through the whole player: headless shots of a
// small game show the colour ffmpeg decodes from the same clip at the same
// movie time, while the element plays, loops, stops, hides and ends, with
// its alpha, with the engine's own player and with the threaded clip
// player alike; the subtitles reach the scene's arrays.
#include "engine/images/image_buffer.h"
#include "engine/images/image_handler.h"
#include "game/game_folder.h"
#include "video/video_clips.h"

#include <cmath>
#include <filesystem>

namespace glint::test {
namespace {

constexpr int kFps = 10;
constexpr int kFrameMs = 20; // two game ticks per frame
// Loading takes the frames up to this one; the movie clock is 0.02 s
// ahead at each frame after it. Shots are taken in the middle of a
// clip's seconds, so a few frames more or less of loading do no harm, and
// after the scene's fade-in of half a second.
constexpr int kLastFrameBeforeTheMovie = 15;
constexpr uint32_t kGrey = 0x808080, kWhite = 0xFFFFFF;

// The frame at which the movie has played for seconds.
int frameAt(double seconds) { return kLastFrameBeforeTheMovie + static_cast<int>(std::lround(seconds * 100 * 10 / kFrameMs)); }

class MoviePlayTest : public GameFolderTest {
protected:
    void SetUp() override {
        commonFiles("BuildScreenW=160\r\nBuildScreenH=120\r\nBuildSupportMScene=1\r\nBuildForLUMO=1\r\n" + playerChoice,
                    "data/_interface/loading\r\ndata/startup\r\n");
        std::filesystem::create_directories(game / "data/startup");
        image("data/startup/bg.png", "rgb(128,128,128)");
        image("data/startup/mark.png", "white");
    }

    // The start scene: a grey background, white markers for the script to
    // show (hidden at first) and the movie elements (JSON members).
    void room(const std::string& movies, const std::vector<std::string>& markers, const std::string& script) {
        std::string elements = R"("bg": {"I": ["bg.png"], "D": [160, 120], "Z": 10})";
        std::string hide;
        for (size_t i = 0; i < markers.size(); ++i) {
            elements += ", \"" + markers[i] + "\": {\"I\": [\"mark.png\"], \"D\": [8, 8], \"X\": " +
                        std::to_string(-76 + 16 * static_cast<int>(i)) + ", \"Y\": -56, \"Z\": 1}";
            hide += "  hide $" + markers[i] + "\n";
        }
        scene("startup", "{\"elements\": {" + elements + ", " + movies + "}}",
              "init {\n" + hide + "}\n" + script);
    }
    // The marker's place on screen.
    static int markerX(int index) { return 4 + 16 * index; }

    std::string clipPath(const std::string& name) { return (game / ("data/startup/" + name)).string(); }

    // Plays frames frames, two ticks each, with shots at movie times.
    struct TimedShot {
        double seconds;
        const char* name;
    };
    CommandResult playMovie(int frames, std::initializer_list<TimedShot> shots, const std::string& environment = "") {
        std::string arguments;
        for (const TimedShot& s : shots)
            arguments += " --shot " + std::to_string(frameAt(s.seconds)) + ":" + shellQuote(shot(s.name));
        return runCommand(environment + shellQuote(playerPath()) + " " + shellQuote(game.str()) +
                          " --headless --frame-ms " + std::to_string(kFrameMs) + " --frames " +
                          std::to_string(frames) + arguments);
    }

    // The shot's pixel at (x, y) as 0xRRGGBB.
    uint32_t pixel(const char* name, int x, int y) {
        std::string png = readFile(shot(name));
        KImageInfo info;
        if (!imageHandlerForFormat(K_IMAGE_PNG)->decode(png.data(), png.size(), &info, true))
            return 0xFF000000u;
        return imagePixelBuffer[static_cast<size_t>(y) * info.width + x] & 0xFFFFFF;
    }
    // What ffmpeg decodes at the centre of the clip after seconds.
    static uint32_t decodedAt(const DecodedClip& clip, double seconds) {
        size_t frame = std::min(static_cast<size_t>(seconds * kFps), clip.frames.size() - 1);
        return clip.at(frame, clip.width / 2, clip.height / 2) & 0xFFFFFF;
    }

    std::string playerChoice; // game configuration lines
};

// The same games with either player.
struct MoviePlayer {
    const char* name;
    const char* configuration;
};
void PrintTo(const MoviePlayer& player, std::ostream* out) { *out << player.name; }

class MoviePlayersTest : public MoviePlayTest, public testing::WithParamInterface<MoviePlayer> {
protected:
    void SetUp() override {
        playerChoice = GetParam().configuration;
        MoviePlayTest::SetUp();
    }
};

INSTANTIATE_TEST_SUITE_P(Players, MoviePlayersTest,
                         testing::Values(MoviePlayer{"Engine", ""},
                                         MoviePlayer{"Clips", "BuildUseNewVideoPlayer=1\r\n"}),
                         [](const testing::TestParamInfo<MoviePlayer>& info) { return std::string(info.param.name); });

#define EXPECT_COLOUR(actual, expected)                                                                               \
    EXPECT_TRUE(coloursNear(actual, expected)) << hexColour(actual) << " for " << hexColour(expected)

TEST_P(MoviePlayersTest, PlaysItsColoursAsFfmpegDecodesThemAndEndsOnTheLast) {
    makeClip(clipPath("movie_colours.ogv"), colourSeconds({"red", "lime", "blue"}, 64, 48, kFps));
    room(R"("movie_colours": {"D": [64, 48], "Z": 5})", {"ended"},
         "always {\n"
         "  if $movie_colours.video_playing = 1 {\n    set #seen 1\n  }\n"
         "  if #seen = 1 and $movie_colours.video_playing = 0 {\n    show $ended\n  }\n"
         "}\n");
    CommandResult result =
        playMovie(frameAt(3.6), {{0.5, "red"}, {1.5, "green"}, {2.5, "blue"}, {2.7, "playing"}, {3.5, "ended"}});
    ASSERT_EQ(result.status, 0) << result.err;
    DecodedClip clip = decodeWithFfmpeg(clipPath("movie_colours.ogv"));
    ASSERT_EQ(clip.frames.size(), 30u);
    EXPECT_COLOUR(pixel("red", 80, 60), decodedAt(clip, 0.5));
    EXPECT_COLOUR(pixel("green", 80, 60), decodedAt(clip, 1.5));
    EXPECT_COLOUR(pixel("blue", 80, 60), decodedAt(clip, 2.5));
    EXPECT_EQ(pixel("playing", markerX(0), 4), kGrey) << "video_playing is 1 until the last frame";
    EXPECT_COLOUR(pixel("ended", 80, 60), decodedAt(clip, 2.9)) << "the last frame stays";
    EXPECT_EQ(pixel("ended", markerX(0), 4), kWhite) << "video_playing is 0 at the end";
    EXPECT_EQ(pixel("ended", 20, 60), kGrey) << "the movie keeps to its element's rectangle";
    bool clips = result.out.find("Creating video from data source: MEM:memory [4 precached frames].\n") !=
                 std::string::npos;
    EXPECT_EQ(clips, std::string(GetParam().name) == "Clips") << result.out;
}

TEST_P(MoviePlayersTest, ALoopingMovieStartsOverAndAnEmissionOfZeroKeepsOneStill) {
    makeClip(clipPath("movie_round_loop.ogv"), colourSeconds({"red", "lime", "blue"}, 64, 48, kFps));
    makeClip(clipPath("movie_still.ogv"), colourSeconds({"yellow"}, 32, 32, kFps));
    room(R"("movie_round_loop": {"D": [64, 48], "Z": 5}, "movie_still": {"D": [16, 16], "X": 60, "Em": 0, "Z": 5})",
         {}, "");
    // One pass lasts the 30 frames and one frame period more: 3.1 s.
    CommandResult result = playMovie(frameAt(4.7), {{0.5, "first"}, {3.6, "again"}, {4.6, "green"}});
    ASSERT_EQ(result.status, 0) << result.err;
    DecodedClip clip = decodeWithFfmpeg(clipPath("movie_round_loop.ogv"));
    EXPECT_COLOUR(pixel("first", 80, 60), decodedAt(clip, 0.5));
    EXPECT_COLOUR(pixel("again", 80, 60), decodedAt(clip, 0.5));
    EXPECT_COLOUR(pixel("green", 80, 60), decodedAt(clip, 1.5));
    EXPECT_EQ(pixel("green", 140, 60), kGrey) << "a movie whose Em is 0 never starts";
}

TEST_P(MoviePlayersTest, StoppingPausesTheMovieAndHidingReleasesIt) {
    makeClip(clipPath("movie_paused.ogv"), colourSeconds({"red", "lime", "blue"}, 32, 32, kFps));
    std::filesystem::copy_file(clipPath("movie_paused.ogv"), clipPath("movie_hidden.ogv"));
    // Both stop after half a second; one starts again a second and a half
    // later where it stopped, the other shows again after half a second,
    // opened anew.
    room(R"("movie_paused": {"D": [32, 32], "X": -40, "Z": 5}, "movie_hidden": {"D": [32, 32], "X": 40, "Z": 5})", {},
         "init {\n"
         "  after 0.5 {\n    stop $movie_paused\n    hide $movie_hidden\n"
         "    after 0.5 {\n      show $movie_hidden\n    }\n"
         "    after 1.5 {\n      start $movie_paused\n    }\n  }\n"
         "}\n");
    CommandResult result = playMovie(frameAt(3.1), {{0.8, "hidden"}, {1.5, "stopped"}, {3.0, "resumed"}});
    ASSERT_EQ(result.status, 0) << result.err;
    DecodedClip clip = decodeWithFfmpeg(clipPath("movie_paused.ogv"));
    EXPECT_EQ(pixel("hidden", 120, 60), kGrey);
    EXPECT_COLOUR(pixel("stopped", 40, 60), decodedAt(clip, 0.5)) << "the stopped movie holds its picture";
    EXPECT_COLOUR(pixel("stopped", 120, 60), decodedAt(clip, 0.5)) << "the shown movie plays from the start";
    EXPECT_COLOUR(pixel("resumed", 40, 60), decodedAt(clip, 1.5)) << "and goes on where it stopped";
}

TEST_P(MoviePlayersTest, AlphaComesFromThePictureBelowOrFromTheColour) {
    // Left: the colour over an alpha picture, opaque on its left half,
    // clear on its right. Right: alpha is the colour's own blue.
    makeClip(clipPath("movie_ghost_va.ogv"), "color=0xC86432:s=40x18:r=10:d=1[c];color=white:s=20x18:r=10:d=1[w];"
                                             "color=black:s=20x18:r=10:d=1[k];[w][k]hstack[a];[c][a]vstack");
    makeClip(clipPath("movie_smoke_ga.ogv"), "color=0xC86432:s=32x32:r=10:d=1");
    room(R"("movie_ghost_va": {"D": [64, 48], "X": -40, "Z": 5}, "movie_smoke_ga": {"D": [32, 32], "X": 40, "Z": 5})",
         {}, "");
    CommandResult result = playMovie(frameAt(0.7), {{0.6, "alpha"}});
    ASSERT_EQ(result.status, 0) << result.err;
    uint32_t colour = decodeWithFfmpeg(clipPath("movie_smoke_ga.ogv")).at(0, 16, 16) & 0xFFFFFF;
    EXPECT_COLOUR(pixel("alpha", 24, 60), colour);
    EXPECT_EQ(pixel("alpha", 72, 60), kGrey);
    double alpha = (colour & 0xFF) / 255.0;
    uint32_t blended = 0;
    for (int shift : {0, 8, 16}) {
        double channel = ((colour >> shift) & 0xFF) * alpha + 128 * (1 - alpha);
        blended |= static_cast<uint32_t>(std::lround(channel)) << shift;
    }
    EXPECT_COLOUR(pixel("alpha", 120, 60), blended);
}

TEST_F(MoviePlayTest, SubtitleTimesReachTheScenesArraysAndTextsAreCheckedInTheBaseLanguage) {
    makeClip(clipPath("movie_colours.ogv"), colourSeconds({"red"}, 32, 32, kFps));
    file("data/startup/movie_colours.srt",
         "1\r\n00:00:00,500 --> 00:00:01,250\r\nThe lamp is lit.\r\n\r\n"
         "2\r\n00:00:02,000 --> 00:00:02,750\r\nThe lamp\r\ngoes out.\r\n");
    file("data/_localization.txt", "startup:sub_colours_01\tThe lamp is lit.\nstartup:sub_colours_02\tIt goes out.\n"
                                   "startup:sub_colours_03\tDarkness.\n");
    room(R"("movie_colours": {"D": [32, 32], "Z": 5})", {"first", "second"},
         "init {\n  after 0.2 {\n"
         "    if #Subtitles_sub_colours_time[1] = 0.5 and #Subtitles_sub_colours_duration[1] = 0.75 {\n"
         "      show $first\n    }\n"
         "    if #Subtitles_sub_colours_time[2] = 2 and #Subtitles_sub_colours_duration[2] = 0.75 {\n"
         "      show $second\n    }\n"
         "  }\n}\n");
    CommandResult result = playMovie(frameAt(0.7), {{0.6, "titles"}}, "GLINT_TRACE=1 ");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(pixel("titles", markerX(0), 4), kWhite);
    EXPECT_EQ(pixel("titles", markerX(1), 4), kWhite);
    EXPECT_EQ(result.err.find("title number 1"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("WARNING Subtitle text for $startup:movie_colours, title number 2 (line 9) is different "
                              "from localized text It goes out."),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("WARNING Subtitle text for $startup:movie_colours, title number 3 (line 9) is missing "
                              "for localization startup:sub_colours_03"),
              std::string::npos)
        << result.err;
}

} // namespace
} // namespace glint::test
