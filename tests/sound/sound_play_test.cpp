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
                 "bell": {"I": ["door.png"], "D": [40, 40], "X": -120, "Y": -80, "Z": 5}}})",
              "init {\n  set $door.goto_scene +hall\n  enable @leave\n  enable @ring\n  music *m_theme\n}\n"
              "action ring hand $bell ? {\n  do {\n    sound *beep 0.5\n  }\n}\n"
              "action leave hand $door ? {\n  do {\n    music *hall:m_hall 1\n    goto $door\n  }\n}\n");
        scene("hall", R"({"elements": {"bg": {"I": ["bg.png"], "D": [320, 240], "Z": 10}}})", "");
        scene("cellar", R"({"elements": {"bg": {"I": ["bg.png"], "D": [320, 240], "Z": 10}}})", "");
        image("data/startup/bg.png", "rgb(120,40,40)");
        image("data/startup/door.png", "rgb(200,160,60)");
        image("data/hall/bg.png", "rgb(40,90,120)");
        image("data/cellar/bg.png", "rgb(10,10,10)");
        file("data/startup/_sounds/_sounds.cfg", "m_theme=L\r\nbeep=0.5 L\r\n");
        file("data/hall/_sounds/_sounds.cfg", "m_hall=L\r\n");
        ASSERT_TRUE(makeTone((game / "data/startup/_sounds/m_theme.ogg").string(), 44100, 2, 16, 1, 440));
        ASSERT_TRUE(makeTone((game / "data/startup/_sounds/beep.ogg").string(), 22050, 1, 16, 0.5, 880));
        ASSERT_TRUE(makeTone((game / "data/hall/_sounds/m_hall.ogg").string(), 44100, 2, 16, 1, 660));
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
    std::vector<int16_t> pcm = playCaptured(700, "100 click 40 40\n");
    ASSERT_GT(pcm.size(), 2 * 44100u / 2) << "half a second at least";
    std::vector<double> left = channelOf(pcm, 0, pcm.size() / 2 - 11025);
    // Music: option 0.7 times the configuration's 0.8 is level 56; the
    // effect: its volume 0.5 times the sound option 0.7 is level 35.
    double music = 0.5 * 32767 * gainOf(tableMb(56)), beep = 0.5 * 32767 * gainOf(tableMb(35));
    EXPECT_NEAR(toneAmplitude(left, 440), music, music * 0.05);
    EXPECT_NEAR(toneAmplitude(left, 880), beep, beep * 0.05);
}

TEST_F(SoundPlayTest, TheMusicCrossFadesWhenTheSceneChanges) {
    std::vector<int16_t> pcm = playCaptured(900, "150 click 260 120\n");
    size_t frames = pcm.size() / 2;
    ASSERT_GT(frames, 44100u);
    // Early on the first theme alone; at the end the hall's theme alone.
    std::vector<double> early = channelOf(pcm, 1, frames / 10, frames / 10 + 4410);
    std::vector<double> late = channelOf(pcm, 1, frames - 4410);
    double music = 0.5 * 32767 * gainOf(tableMb(56));
    EXPECT_GT(toneAmplitude(early, 440), music * 0.3);
    EXPECT_LT(toneAmplitude(early, 660), music * 0.02);
    EXPECT_NEAR(toneAmplitude(late, 660), music, music * 0.05);
    EXPECT_LT(toneAmplitude(late, 440), music * 0.02);
    EXPECT_LT(toneAmplitude(late, 880), music * 0.02) << "the startup's loop stopped with its scene";
}

TEST_F(SoundPlayTest, AMissingMusicFileLeavesTheGameRunningInSilence) {
    std::filesystem::remove(game / "data/startup/_sounds/m_theme.ogg");
    file("data/startup/_sounds/beep.ogg", "OggS but not really");
    std::vector<int16_t> pcm = playCaptured(300, "");
    EXPECT_LT(rms(channelOf(pcm, 0)), 1.0);
}

} // namespace
