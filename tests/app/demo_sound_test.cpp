// The sample game heard through the disk driver: the menu's tune, the tick
// of the click on "New game", and the tune handing over to the cottage's
// as the study opens.
#include "sound/audio_analysis.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace glint::test;

namespace {

// The drones that tell the tunes apart, and the click's pitch.
constexpr double kMenuRoot = 110, kCottageRoot = 131, kClick = 2500;
// Analysis windows of 0.1 s. The drones are only two of its frequency
// steps apart, so they are heard through a Hann window, whose side lobes
// do not let one leak into the other.
constexpr size_t kWindow = 4410;

std::vector<double> hann(std::vector<double> signal) {
    for (size_t i = 0; i < signal.size(); ++i)
        signal[i] *= 0.5 - 0.5 * std::cos(2 * M_PI * i / (signal.size() - 1));
    return signal;
}

struct Heard {
    double menu, cottage, click;
};

std::vector<Heard> listen(const std::vector<int16_t>& pcm) {
    std::vector<Heard> heard;
    for (size_t at = 0; at + kWindow <= pcm.size() / 2; at += kWindow) {
        std::vector<double> window = channelOf(pcm, 0, at, at + kWindow);
        std::vector<double> tapered = hann(window);
        heard.push_back({toneAmplitude(tapered, kMenuRoot), toneAmplitude(tapered, kCottageRoot),
                         toneAmplitude(window, kClick)});
    }
    return heard;
}

TEST(DemoSound, TheMenuPlaysItsTuneAClickTicksAndTheCottageTuneTakesOver) {
    TempDir out;
    // The splash screens cut short, loading confirmed, a second of the menu,
    // then "New game"; the study's tune has faded in well before the end.
    writeFile(out / "input.txt", "120 click 10 10\n330 click 10 10\n460 click 500 600\n700 click 512 574\n");
    std::string capture = (out / "capture.raw").string();
    CommandResult result = runCommand(
        "SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=" + shellQuote(capture) + " XDG_DATA_HOME=" + shellQuote(out.str()) +
        " " + shellQuote(playerPath()) + " " + shellQuote((sourceDir() / "games" / "demo").string()) +
        " --headless --frames 1250 --input " + shellQuote((out / "input.txt").string()));
    ASSERT_EQ(result.status, 0) << result.err;
    std::vector<Heard> heard = listen(pcmOf(readFile(capture)));
    ASSERT_GT(heard.size(), 50u);

    // The menu's tune alone, and the loudest its drone gets.
    auto menuAlone = [](const Heard& h) { return h.menu > 300 && h.cottage < h.menu / 5; };
    auto firstMenu = std::find_if(heard.begin(), heard.end(), menuAlone);
    ASSERT_NE(firstMenu, heard.end()) << "no menu tune";
    double menuLevel = 0;
    for (const Heard& h : heard)
        menuLevel = std::max(menuLevel, h.menu);

    // The click comes while the menu plays, and only once: nothing before
    // the player's click sets off a task.
    auto click = std::find_if(heard.begin(), heard.end(), [](const Heard& h) { return h.click > 150; });
    ASSERT_NE(click, heard.end()) << "no click";
    EXPECT_GT(click, firstMenu);
    EXPECT_GT(click->menu, menuLevel * 0.5) << "the menu tune plays on under the click";
    auto afterClick = std::find_if(click + 2, heard.end(), [](const Heard& h) { return h.click > 150; });
    EXPECT_EQ(afterClick, heard.end()) << "a second click at window " << afterClick - heard.begin();

    // After the click the menu tune falls away before the cottage's is
    // heard, and that one ends alone at the level the menu's had (both are
    // at 0.8 in their lists).
    auto fading = std::find_if(click, heard.end(), [&](const Heard& h) {
        return h.menu > menuLevel * 0.1 && h.menu < menuLevel * 0.5 && h.cottage < menuLevel * 0.1;
    });
    ASSERT_NE(fading, heard.end()) << "the menu tune never fades";
    auto cottageAlone = [](const Heard& h) { return h.cottage > 300 && h.menu < h.cottage / 5; };
    auto firstCottage = std::find_if(fading, heard.end(), cottageAlone);
    ASSERT_NE(firstCottage, heard.end()) << "no cottage tune";
    double cottageLevel = 0;
    for (auto it = firstCottage; it != heard.end(); ++it) {
        cottageLevel = std::max(cottageLevel, it->cottage);
        EXPECT_LT(it->menu, menuLevel * 0.1) << "the menu tune is back at window " << it - heard.begin();
    }
    EXPECT_NEAR(cottageLevel, menuLevel, menuLevel * 0.25);
}

} // namespace
