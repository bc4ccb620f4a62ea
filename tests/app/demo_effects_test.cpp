// The sample game's sound and particle effects in the headless player: the
// menu's tune, the tick of a click and the cottage's tune taking over, as
// the disk driver hears them; and the glimmer round an inventory item under
// the pointer. Both start the game the way its proof does, so that they
// follow the menu wherever it leads before the first room.
#include "sound/audio_analysis.h"
#include "support/image_compare.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

using namespace glint::test;

namespace {

std::filesystem::path demo() { return sourceDir() / "games" / "demo"; }

// The input that starts a new game, and the frame of its last event.
struct Start {
    std::string input;
    int lastFrame = 0;
};

Start newGame() {
    Start start{readFile(demo() / "prove_start.txt")};
    std::istringstream lines(start.input);
    for (std::string line; std::getline(lines, line);) {
        int frame = 0;
        if (std::istringstream(line) >> frame)
            start.lastFrame = std::max(start.lastFrame, frame);
    }
    return start;
}

// The input of a new game followed by events at frames counted from the
// new game's last event.
std::string newGameThen(const Start& start, const std::vector<std::pair<int, std::string>>& events) {
    std::string input = start.input + "\n";
    for (const auto& [after, event] : events)
        input += std::to_string(start.lastFrame + after) + " " + event + "\n";
    return input;
}

CommandResult playDemo(const TempDir& out, const std::string& input, int frames, const std::string& environment = "") {
    writeFile(out / "input.txt", input);
    return runCommand("cd " + shellQuote(out.str()) + " && " + environment + "XDG_DATA_HOME=" + shellQuote(out.str()) +
                      " " + shellQuote(playerPath()) + " " + shellQuote(demo().string()) + " --headless --frames " +
                      std::to_string(frames) + " --input input.txt");
}

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

TEST(DemoEffects, TheMenuPlaysItsTuneAClickTicksAndTheCottageTuneTakesOver) {
    TempDir out;
    // The study's tune has faded in well before the end: two seconds for
    // the menu's to fade out, two for the cottage's to fade in.
    Start start = newGame();
    std::string capture = (out / "capture.raw").string();
    CommandResult result = playDemo(out, start.input, start.lastFrame + 700,
                                    "SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=" + shellQuote(capture) + " ");
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

    // A click on the menu ticks over its tune; the clicks that cut the
    // splash screens short and end the loading set off no task and stay
    // silent.
    auto ticks = [](const Heard& h) { return h.click > 150; };
    auto click = std::find_if(heard.begin(), heard.end(), ticks);
    ASSERT_NE(click, heard.end()) << "no click";
    EXPECT_GT(click, firstMenu);
    EXPECT_GT(click->menu, menuLevel * 0.4) << "the menu tune plays on under the click";

    // The last click, New game: then the menu tune falls away before the
    // cottage's is heard, and that one ends alone at its full level.
    auto lastClick = std::find_if(heard.rbegin(), heard.rend(), ticks).base() - 1;
    auto fading = std::find_if(lastClick, heard.end(), [&](const Heard& h) {
        return h.menu > menuLevel * 0.1 && h.menu < menuLevel * 0.5 && h.cottage < menuLevel * 0.1;
    });
    ASSERT_NE(fading, heard.end()) << "the menu tune never fades";
    auto cottageAlone = [](const Heard& h) { return h.cottage > 300 && h.menu < h.cottage / 5; };
    auto firstCottage = std::find_if(fading, heard.end(), cottageAlone);
    ASSERT_NE(firstCottage, heard.end()) << "no cottage tune";
    // The drone's sine is 0.3 of full scale at the top of its tremolo;
    // 0.8 in the list times the music option's 0.7 is level 56, which the
    // volume table turns down by 6.95 dB; the Hann window halves what the
    // window hears.
    double attenuationMb = 100 * std::log(0.56) / std::log(0.92);
    double full = 0.3 * 32767 * std::pow(10.0, -attenuationMb / 2000) * 0.5;
    double cottageLevel = 0;
    for (auto it = firstCottage; it != heard.end(); ++it) {
        cottageLevel = std::max(cottageLevel, it->cottage);
        EXPECT_LT(it->menu, full * 0.1) << "the menu tune is back at window " << it - heard.begin();
    }
    EXPECT_NEAR(cottageLevel, full, full * 0.1);
}

TEST(DemoEffects, AnInventoryItemUnderThePointerGlimmers) {
    TempDir out;
    // The tower key from the desk's drawer (three, one, four) flies into
    // the inventory bar; then the pointer rests on it.
    Start start = newGame();
    std::string input = newGameThen(start, {{440, "click 400 640"},
                                            {520, "click 392 340"},
                                            {540, "click 392 340"},
                                            {560, "click 392 340"},
                                            {580, "click 512 340"},
                                            {600, "click 632 340"},
                                            {620, "click 632 340"},
                                            {640, "click 632 340"},
                                            {660, "click 632 340"},
                                            {720, "click 512 509"},
                                            {860, "move 362 714"},
                                            {920, "shot hover.png"}});
    CommandResult result = playDemo(out, input, start.lastFrame + 921);
    ASSERT_EQ(result.status, 0) << result.err;
    expectPngMatches(readFile(out / "hover.png"), (sourceDir() / "tests/app/expected/demo_hover.png").string(), 2, 4);
}

} // namespace
