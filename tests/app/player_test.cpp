#include "engine/images/image_buffer.h"
#include "engine/images/image_handler.h"
#include "support/image_compare.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace glint::test;

TEST(Player, RejectsExtraArguments) {
    CommandResult result = runCommand(shellQuote(playerPath()) + " a b");
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("usage: glint [GAME_DIR]"), std::string::npos);
}

namespace {

// A pixel of a PNG written by the player, as 0xRRGGBB.
uint32_t pixelOf(const std::string& png, int x, int y, uint32_t* width = nullptr) {
    glint::KImageInfo info;
    if (!glint::imageHandlerForFormat(glint::K_IMAGE_PNG)->decode(png.data(), png.size(), &info, true))
        return 0xFFFFFFFF;
    if (width)
        *width = info.width;
    return glint::imagePixelBuffer[static_cast<size_t>(y) * info.width + x] & 0xFFFFFF;
}

// Within one step of rounding on each channel.
bool near(uint32_t a, uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8) {
        int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (d < -1 || d > 1)
            return false;
    }
    return true;
}

std::string headlessRun(const std::string& arguments) {
    return shellQuote(playerPath()) + " " + shellQuote((sourceDir() / "games" / "demo").string()) + " --headless " +
           arguments;
}

} // namespace

TEST(Player, HeadlessRunShowsTheSplashScreensFading) {
    TempDir out;
    // A frame of 10 ms is one tick; the first image starts fading in at the
    // second frame, so frame 60 shows it at 58 % and frame 250 in full; the
    // second image begins two frames after the first has faded out.
    CommandResult result = runCommand(headlessRun("--frames 450 --shot 60:" + shellQuote((out / "a.png").string()) +
                                                  " --shot 250:" + shellQuote((out / "b.png").string()) +
                                                  " --shot 440:" + shellQuote((out / "c.png").string())));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find("setMaxFrameRate: ok"), std::string::npos) << "the log goes to standard error";
    std::string faded = readFile(out / "a.png"), full = readFile(out / "b.png"), next = readFile(out / "c.png");
    uint32_t width = 0;
    pixelOf(faded, 0, 0, &width);
    EXPECT_EQ(width, 1024u) << "the shot holds the game viewport";

    // Flat colours of the splash sources (src/_interface/splash): the
    // engine's navy corner and the stem of the "l" in its word mark, then
    // the developer's blue corner and its gold lighthouse tower. The corner
    // is the bottom right one, away from the pointer at the top left.
    const uint32_t navy = 0x0B1430, ivory = 0xF4ECD6, blue = 0x17326C, gold = 0xC9A15A;
    // A fade blends towards black: each channel times the opacity.
    auto dimmed = [](uint32_t rgb, double opacity) {
        uint32_t value = 0;
        for (int shift = 0; shift < 24; shift += 8)
            value |= static_cast<uint32_t>(((rgb >> shift) & 0xFF) * opacity + 0.5) << shift;
        return value;
    };
    struct Case {
        const std::string& shot;
        double opacity;
        int x, y;
        uint32_t colour;
        const char* what;
    };
    const Case cases[] = {
        {faded, 0.58, 1018, 762, navy, "the first image's background fading in"},
        {faded, 0.58, 430, 340, ivory, "the first image's word mark fading in"},
        {full, 1, 1018, 762, navy, "the first image's background in full"},
        {full, 1, 430, 340, ivory, "the first image's word mark in full"},
        {next, 0.38, 1018, 762, blue, "the second image's background fading in"},
        {next, 0.38, 512, 344, gold, "the second image's emblem fading in"},
    };
    for (const Case& c : cases) {
        uint32_t pixel = pixelOf(c.shot, c.x, c.y), expected = dimmed(c.colour, c.opacity);
        if (c.opacity == 1)
            EXPECT_EQ(pixel, expected) << c.what << ": " << std::hex << pixel;
        else
            EXPECT_TRUE(near(pixel, expected)) << c.what << ": " << std::hex << pixel << " for " << expected;
    }
}

TEST(Player, HeadlessRunDrawsTheLoadingScreenWithItsProgress) {
    TempDir out;
    // Loading begins after the two splash screens (frame 802): the bar grows
    // with the glow on its end, and once loading is done (a few frames later)
    // the whole bar and "Click to continue" show.
    std::string during = (out / "during.png").string(), done = (out / "done.png").string();
    CommandResult result =
        runCommand(headlessRun("--frames 831 --shot 805:" + shellQuote(during) + " --shot 830:" + shellQuote(done)));
    ASSERT_EQ(result.status, 0) << result.err;
    std::filesystem::path expected = sourceDir() / "tests/app/expected";
    expectPngMatches(readFile(during), (expected / "loading_during.png").string());
    expectPngMatches(readFile(done), (expected / "loading_done.png").string());
}

TEST(Player, HeadlessInputEndsTheRunAndTheOptionsAreSaved) {
    TempDir out;
    // With 100 ms frames play begins near frame 100; losing the focus there
    // must not make a driven run wait for the window to come back.
    writeFile(out / "input.txt", "# leave early\n3 click 10 10\n5 key escape\n120 focus lost\n130 focus gained\n"
                                 "140 quit\n");
    CommandResult result = runCommand(
        headlessRun("--input " + shellQuote((out / "input.txt").string()) + " --frame-ms 100 --frames 1000"));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(readFile(std::string(GLINT_TEST_HOME) + "/Glint/Glint - The Keeper's Lighthouse - CE/options.cfg")
                  .find("fullscreen="),
              std::string::npos);

    writeFile(out / "bad.txt", "1 jump\n");
    result = runCommand(headlessRun("--input " + shellQuote((out / "bad.txt").string())));
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("line 1: unknown verb 'jump'"), std::string::npos) << result.err;
}
