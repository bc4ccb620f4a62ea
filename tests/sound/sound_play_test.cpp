// A small game heard through the disk driver: music that follows the
// scenes with its cross-fade, a looping effect mixed over it at the level
// of its category, and a scene whose music file is missing.
#include "audio_analysis.h"
#include "game/game_folder.h"

using namespace glint::test;

namespace {

double gainOf(int32_t millibels) { return std::pow(10.0, millibels / 2000.0); }
// The volume table's attenuation for a level of 0 to 100.
int32_t tableMb(int level) { return static_cast<int32_t>(-100.0 * std::log(level / 100.0) / std::log(0.92)); }

class SoundPlayTest : public GameFolderTest {
protected:
    void SetUp() override {
        commonFiles("BuildScreenW=320\r\nBuildScreenH=240\r\nBuildSupportMScene=1\r\nBuildForLUMO=1\r\n"
                    "global_music_volume=0.8\r\n",
                    "data/_interface/loading\r\ndata/startup\r\ndata/hall\r\ndata/cellar\r\n");
        scene("startup", R"({"elements": {"bg": {"I": ["bg.png"], "D": [320, 240], "Z": 10},
                 "door": {"I": ["door.png"], "D": [40, 80], "X": 100, "Z": 5},
                 "bell": {"I": ["door.png"], "D": [40, 40], "X": -120, "Y": -80, "Z": 5},
                 "chimes": {"I": ["door.png"], "D": [40, 40], "X": -120, "Y": 80, "Z": 5}}})",
              "init {\n  set $door.goto_scene +hall\n  set #ambient *amb_wind\n  enable @leave\n  enable @ring\n"
              "  enable @chime\n  music *m_theme\n}\n"
              "action chime hand $chimes ? {\n  do {\n    sound *bell[]\n  }\n}\n"
              "action ring hand $bell ? {\n  do {\n    sound *beep 0.5\n  }\n}\n"
              "action leave hand $door ? {\n  do {\n    music *hall:m_hall 1\n    goto $door\n  }\n}\n");
        scene("hall", R"({"elements": {"bg": {"I": ["bg.png"], "D": [320, 240], "Z": 10}}})",
              "init {\n  set #ambient *amb_rain\n}\n");
        scene("cellar", R"({"elements": {"bg": {"I": ["bg.png"], "D": [320, 240], "Z": 10}}})", "");
        image("data/startup/bg.png", "rgb(120,40,40)");
        image("data/startup/door.png", "rgb(200,160,60)");
        image("data/hall/bg.png", "rgb(40,90,120)");
        image("data/cellar/bg.png", "rgb(10,10,10)");
        file("data/startup/_sounds/_sounds.cfg",
             "m_theme=L\r\nbeep=0.5 L\r\namb_wind=L\r\nbell_1=\r\nbell_2=\r\nbell_3=\r\n");
        file("data/hall/_sounds/_sounds.cfg", "m_hall=L\r\namb_rain=L\r\n");
        ASSERT_TRUE(makeTone((game / "data/startup/_sounds/m_theme.ogg").string(), 44100, 2, 16, 1, 440));
        ASSERT_TRUE(makeTone((game / "data/startup/_sounds/beep.ogg").string(), 22050, 1, 16, 0.5, 880));
        ASSERT_TRUE(makeTone((game / "data/hall/_sounds/m_hall.ogg").string(), 44100, 2, 16, 1, 660));
        ASSERT_TRUE(makeTone((game / "data/startup/_sounds/amb_wind.ogg").string(), 22050, 1, 16, 0.5, 300));
        ASSERT_TRUE(makeTone((game / "data/hall/_sounds/amb_rain.ogg").string(), 22050, 1, 16, 0.5, 350));
        for (int i = 1; i <= 3; ++i)
            ASSERT_TRUE(makeTone((game / ("data/startup/_sounds/bell_" + std::to_string(i) + ".ogg")).string(), 22050,
                                 1, 16, 0.15, 400 + 100 * i));
    }
    // The run with its mix captured; the stereo samples.
    std::vector<int16_t> playCaptured(int frames, const std::string& input, const std::string& environment = "") {
        std::string capture = (out / "capture.raw").string();
        writeFile(out / "input.txt", input);
        CommandResult result =
            runCommand(environment + "SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=" + shellQuote(capture) + " " +
                       shellQuote(playerPath()) + " " + shellQuote(game.str()) + " --headless --frames " +
                       std::to_string(frames) + " --input " + shellQuote((out / "input.txt").string()));
        EXPECT_EQ(result.status, 0) << result.err;
        log = result.err;
        return pcmOf(readFile(capture));
    }
    std::string log;
};

TEST_F(SoundPlayTest, MusicAndEffectsPlayAtTheLevelsOfTheirOptions) {
    std::vector<int16_t> pcm = playCaptured(700, "100 move 40 40\n110 click 40 40\n");
    ASSERT_GT(pcm.size(), 2 * 44100u / 2) << "half a second at least";
    // The level of each tone is the loudest 0.1 s window of the capture's
    // last second: the capture runs in real time, so on a busy machine its
    // end may already hold the silence of the player's exit.
    auto level = [&pcm](double hz) {
        size_t frames = pcm.size() / 2;
        double loudest = 0;
        for (size_t at = frames > 44100 ? frames - 44100 : 0; at + 4410 <= frames; at += 4410)
            loudest = std::max(loudest, toneAmplitude(channelOf(pcm, 0, at, at + 4410), hz));
        return loudest;
    };

    // Music: option 0.7 times the configuration's 0.8 is level 56; the
    // effect: its list volume 0.5, played at 0.5, times the sound option
    // 0.7 is 17.5, level 18.
    double music = 0.5 * 32767 * gainOf(tableMb(56)), beep = 0.5 * 32767 * gainOf(tableMb(18));
    EXPECT_NEAR(level(440), music, music * 0.05);
    EXPECT_NEAR(level(880), beep, beep * 0.05);
    // The ambient loop at the ambient option, level 70.
    double ambient = 0.5 * 32767 * gainOf(tableMb(70));
    EXPECT_NEAR(level(300), ambient, ambient * 0.05);
}

TEST_F(SoundPlayTest, TheMusicCrossFadesWhenTheSceneChanges) {
    std::vector<int16_t> pcm = playCaptured(1000, "350 click 260 120\n");
    size_t frames = pcm.size() / 2;
    ASSERT_GT(frames, 44100u);
    double music = 0.5 * 32767 * gainOf(tableMb(56));
    // Windows of 0.1 s: the first theme alone at full level, later the
    // old theme falling away, and at last the hall's theme alone at its
    // full level (the capture's very end is cut off by the player's exit).
    int firstTheme = -1, fading = -1, secondTheme = -1, window = 0;
    double rain = 0, wind = 0;
    for (size_t at = 0; at + 4410 <= frames; at += 4410, ++window) {
        std::vector<double> heard = channelOf(pcm, 1, at, at + 4410);
        double old = toneAmplitude(heard, 440), next = toneAmplitude(heard, 660);
        if (firstTheme < 0 && std::fabs(old - music) < music * 0.1 && next < music * 0.02)
            firstTheme = window;
        if (firstTheme >= 0 && fading < 0 && old > music * 0.1 && old < music * 0.7)
            fading = window;
        if (std::fabs(next - music) < music * 0.05 && old < music * 0.02) {
            secondTheme = window;
            rain = toneAmplitude(heard, 350);
            wind = toneAmplitude(heard, 300);
        }
    }
    EXPECT_GE(firstTheme, 0);
    EXPECT_GT(fading, firstTheme);
    EXPECT_GT(secondTheme, fading);
    // The hall's ambient took over from the study's.
    double ambient = 0.5 * 32767 * gainOf(tableMb(70));
    EXPECT_NEAR(rain, ambient, ambient * 0.05);
    EXPECT_LT(wind, ambient * 0.02);
}

TEST_F(SoundPlayTest, AnArrayOfSoundsPlaysItsItemsInTurn) {
    std::vector<int16_t> pcm = playCaptured(500, "150 click 40 200\n210 click 40 200\n270 click 40 200\n"
                                                 "330 click 40 200\n");
    // The bells one after the other, as 0.05 s windows hear them.
    std::vector<int> heard;
    for (size_t at = 0; at + 2205 <= pcm.size() / 2; at += 2205) {
        std::vector<double> window = channelOf(pcm, 0, at, at + 2205);
        for (int hz : {500, 600, 700})
            if (toneAmplitude(window, hz) > 1000 && (heard.empty() || heard.back() != hz))
                heard.push_back(hz);
    }
    EXPECT_EQ(heard, (std::vector<int>{500, 600, 700, 500}));
}

TEST_F(SoundPlayTest, AMissingOrDamagedFileLeavesItsSoundSilentAndTheGameRunning) {
    std::filesystem::remove(game / "data/startup/_sounds/m_theme.ogg");
    file("data/startup/_sounds/beep.ogg", "OggS but not really");
    std::vector<int16_t> pcm = playCaptured(300, "100 click 40 40\n");
    std::vector<double> left = channelOf(pcm, 0, pcm.size() / 4);
    // Only the ambient's leakage is heard at the other pitches.
    EXPECT_LT(toneAmplitude(left, 440), 60.0);
    EXPECT_LT(toneAmplitude(left, 880), 60.0);
    EXPECT_GT(toneAmplitude(left, 300), 4000.0) << "the ambient loop plays on";
}

} // namespace
