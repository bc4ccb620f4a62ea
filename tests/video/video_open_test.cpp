// Files the video player refuses, each with its log line, and the options
// a video resource reads from its file name.
#include "engine/resources/resource.h"
#include "engine/system/log.h"
#include "engine/video/video.h"
#include "resource/video.h"
#include "support/test_support.h"
#include "video/video_clips.h"

#include <gtest/gtest.h>
#include <ogg/ogg.h>

#include <functional>

namespace glint::test {
namespace {

class VideoOpenTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        clips = new TempDir;
        makeClip((*clips / "good.ogv").string(), colourPerFrame(3, 32, 32, 10));
    }
    static void TearDownTestSuite() { delete clips; }
    void SetUp() override {
        resourceInit();
        clearMemoryLog();
    }

    static TempDir* clips;
    TempDir dir;
};

TempDir* VideoOpenTest::clips = nullptr;

struct RefusedFile {
    const char* name;
    const char* file;
    std::function<std::string(const std::string& good)> bytes; // null: no file at all
    const char* logLine;
};

// Failures name the case, not its bytes.
void PrintTo(const RefusedFile& c, std::ostream* out) { *out << c.name; }

class RefusedVideoTest : public VideoOpenTest, public testing::WithParamInterface<RefusedFile> {};

TEST_P(RefusedVideoTest, IsRefusedWithItsLogLine) {
    const RefusedFile& c = GetParam();
    std::string path = (dir / c.file).string();
    if (c.bytes)
        writeFile(path, c.bytes(readFile(*clips / "good.ogv")));
    KVideo video;
    EXPECT_FALSE(video.open(path.c_str(), true, false, false, false));
    EXPECT_FALSE(video.isOpen());
    EXPECT_NE(memoryLog().find("KVideo: " + path + ": " + c.logLine), std::string::npos) << memoryLog();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedVideoTest,
    testing::Values(
        RefusedFile{"OtherExtension", "clip.avi", [](const std::string& good) { return good; },
                    "not an .ogv or .ogg file, ERROR"},
        RefusedFile{"Missing", "missing.ogv", nullptr, "cannot open file, ERROR"},
        RefusedFile{"NotOgg", "noise.ogv", [](const std::string&) { return std::string(5000, '\x5a'); },
                    "no video stream found, WARNING"},
        // The identification header's page alone.
        RefusedFile{"CutAfterTheFirstHeader", "cut.ogv",
                    [](const std::string& good) { return good.substr(0, 28 + 42); },
                    "end of file while searching for codec headers, ERROR"},
        RefusedFile{"CutInTheMiddleOfAPage", "cut.ogv",
                    [](const std::string& good) { return good.substr(0, 28 + 42 + 100); },
                    "end of file while searching for codec headers, ERROR"},
        // The comment header's signature spoilt, the page itself sound.
        RefusedFile{"BrokenCommentHeader", "broken.ogv",
                    [](const std::string& good) {
                        return editPage(good, 1, [](ogg_page& page) { page.body[3] = 'x'; });
                    },
                    "error parsing Theora stream headers; corrupt stream?"},
        // A picture wider than any frame buffer the player makes.
        RefusedFile{"HugePicture", "huge.ogv",
                    [](const std::string& good) {
                        return editPage(good, 0, [](ogg_page& page) {
                            page.body[10] = page.body[11] = 0xFF; // frame width in macroblocks
                        });
                    },
                    "picture 32x32 in a frame of 1048560x32 at 10/1 frames per second cannot be shown, ERROR"}),
    [](const testing::TestParamInfo<RefusedFile>& info) { return std::string(info.param.name); });

TEST_F(VideoOpenTest, AnOggFileWithSoundOnlyHasNoVideo) {
    std::string path = (dir / "sound.ogg").string();
    ASSERT_EQ(runCommand("ffmpeg -v error -f lavfi -i sine=d=0.2 -c:a libvorbis " + shellQuote(path)).status, 0);
    KVideo video;
    EXPECT_FALSE(video.open(path.c_str(), false, false, false, false));
    EXPECT_NE(memoryLog().find("no video stream found, WARNING"), std::string::npos) << memoryLog();
}

TEST_F(VideoOpenTest, ReadsTheFilePieceByPieceWithoutPreloading) {
    std::string path = (*clips / "good.ogv").string();
    KVideo video;
    ASSERT_TRUE(video.open(path.c_str(), false, false, false, false)) << memoryLog();
    EXPECT_DOUBLE_EQ(video.duration(), 0.4);
}

struct TaggedName {
    const char* name;
    const char* path;
    bool loop, stackedAlpha, colorAlpha;
};

void PrintTo(const TaggedName& c, std::ostream* out) { *out << c.name; }

class VideoTagTest : public testing::TestWithParam<TaggedName> {};

TEST_P(VideoTagTest, OptionsComeFromTheFileName) {
    MVideo video(GetParam().path);
    EXPECT_EQ(video.loop, GetParam().loop);
    EXPECT_EQ(video.stackedAlpha, GetParam().stackedAlpha);
    EXPECT_EQ(video.colorAlpha, GetParam().colorAlpha);
}

INSTANTIATE_TEST_SUITE_P(Names, VideoTagTest,
                         testing::Values(TaggedName{"LoopAndStacked", "data/s/intro_loop_va.ogv", true, true, false},
                                         TaggedName{"Plain", "data/s/intro.ogv", false, false, false},
                                         TaggedName{"ColourAlpha", "data/s/smoke_ga.ogv", false, false, true},
                                         TaggedName{"TagWithinTheName", "data/s/loop_va_x.ogv", false, true, false},
                                         TaggedName{"TagInTheFolderOnly", "data/s_loop_/intro.ogv", false, false, false},
                                         TaggedName{"WordsLikeTags", "data/s/in_loopy_gate.ogv", false, false, false}),
                         [](const testing::TestParamInfo<TaggedName>& info) { return std::string(info.param.name); });

} // namespace
} // namespace glint::test
