// The options screen's commands on a running engine: the setters write the
// option cells the scripts see (forced platform settings win), and
// save_options and load_options write and read "options.cfg".
#include "engine_fixture.h"

#include "script/interpreter.h"
#include "script/symbol.h"

#include <filesystem>

using namespace glint;
using namespace glint::test;

namespace {

struct OptionCommands : EngineFixture {
    MEngine* engine = nullptr;
    void SetUp() override {
        makeGame("", "",
                 "fun choose {\n"
                 "  set_option_fullscreen_mode 1.6\n  set_option_aspect_ratio 0.5\n"
                 "  set_option_hardware_cursor 0.4\n  set_option_music_volume 0.25\n"
                 "  set_option_ambient_volume loud\n  set_option_sound_volume 1.5\n"
                 "  set_option_voice_volume -0.5\n  save_options\n"
                 "}\n"
                 "fun reload {\n  load_options\n}\n"
                 "fun windowed {\n  set ##Option_fullscreen_mode 0\n  check_fullscreen_mode\n}\n");
        std::filesystem::create_directories(game / "user");
        engine = &start();
        loadUntilPlay(*engine);
    }
    void run(const char* function) { callGlobalEvent(intern(function), nullptr); }
    std::string saved() { return readFile(game / "user/options.cfg"); }
};

TEST_F(OptionCommands, SettersStoreRoundedValuesAndVolumesAsGiven) {
    run("windowed"); // nothing forces full screen: the script's choice stays
    EXPECT_EQ(app->options.fullscreenMode.number, 0);
    run("choose");
    EXPECT_EQ(saved(), "fullscreen=2\r\naspectratio=1\r\nhardware_cursor=0\r\n"
                       "music=0.250\r\nambient=0.000\r\nsfx=1.500\r\nvoice=-0.500\r\n");
    // Reading clamps what the setters did not.
    writeFile(game / "user/options.cfg", "fullscreen=0\r\nsfx=1.500\r\n");
    run("reload");
    EXPECT_EQ(app->options.fullscreenMode.number, 0);
    EXPECT_EQ(app->options.soundVolume.number, 1);
    Value* seen = findVariable(engine->scriptSystem().global(), KindPlain, sym::Option_sound_volume(), nullptr, false);
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(seen->number, 1) << "the script variable is the option cell";
}

TEST_F(OptionCommands, ForcedPlatformSettingsWin) {
    app->platform.forceFullScreen = 1;
    app->platform.forceAspectRatio = 2;
    app->platform.forceCustomCursor = 1; // the drawn pointer: no system cursor
    run("choose");
    EXPECT_EQ(saved().substr(0, 48), "fullscreen=1\r\naspectratio=2\r\nhardware_cursor=0\r\n");
    run("windowed");
    EXPECT_EQ(app->options.fullscreenMode.number, 1);
}

} // namespace
