// glint: the player. It runs the game in GAME_DIR, by default the folder of
// the executable; --headless runs it without a visible window (see
// docs/testing.md).
#include "app/application.h"
#include "app/command_line.h"
#include "app/game_check.h"
#include "app/headless.h"
#include "app/prove.h"
#include "app/version.h"
#include "engine/resources/resource.h"
#include "engine/system/log.h"
#include "engine/system/numbers.h"
#include "engine/system/system.h"
#include "engine/video/theora_video_clip.h"
#include "engine/video/video.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace glint;

namespace {

constexpr uint32_t kHeadlessRandomSeed = 4357;

bool readWholeFile(const std::string& path, std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    char buffer[4096];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        text.append(buffer, got);
    bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

// The events of the input file, false with a message printed.
bool readInputs(const PlayerOptions& options, std::vector<ScriptedInput>& inputs) {
    if (options.inputFile.empty())
        return true;
    std::string text, error;
    if (!readWholeFile(options.inputFile, text)) {
        std::fprintf(stderr, "glint: cannot read the input file '%s'\n", options.inputFile.c_str());
        return false;
    }
    if (!parseInputScript(text, inputs, error)) {
        std::fprintf(stderr, "glint: %s: %s\n", options.inputFile.c_str(), error.c_str());
        return false;
    }
    return true;
}

void prepareHeadless() {
    // Before SDL starts: the offscreen display, and silent audio unless the
    // environment chooses a driver (SDL_AUDIODRIVER=disk captures the mix).
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    // No shader cache on disk: a headless run leaves nothing in the user's
    // cache folder, and the cache's writer thread, still busy at exit, trips
    // the leak checker of test builds.
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 0);
    // Movies show the frame due at each game time, however slow decoding is.
    KVideo::setFramesAwaited(true);
    TheoraVideoClip::setFramesAwaited(true);
}

// The headless driver for the options, or null with a message printed.
std::unique_ptr<HeadlessDriver> makeDriver(const PlayerOptions& options) {
    std::vector<ScriptedInput> inputs;
    if (!readInputs(options, inputs))
        return nullptr;
    prepareHeadless();
    return std::make_unique<HeadlessDriver>(options, std::move(inputs));
}

// glint prove GAME_DIR [--input FILE] [--steps N] [--shots DIR]
int runProve(int argc, char** argv) {
    ProveOptions options;
    std::string error;
    if (!parseProveArguments(std::vector<std::string>(argv + 2, argv + argc), options, error)) {
        std::fprintf(stderr, "glint: %s\n%s\n", error.c_str(), kProveUsage);
        return 2;
    }
    std::vector<ScriptedInput> inputs;
    if (!readInputs(options.player, inputs))
        return 2;
    prepareHeadless();
    ProveDriver driver(options, std::move(inputs), stdout);
    if (!systemInit(options.player.gameDir.c_str())) {
        std::fputs(memoryLog().c_str(), stderr);
        return 1;
    }
    resourceMountArchive(resolveDataPath("data.pak"));
    // The same game proves the same way every time.
    seedRandomWith(1);
    if (!runDriven(driver, options.player.streaming)) {
        std::fputs("glint: the game window could not be created\n", stderr);
        return 1;
    }
    std::fputs(memoryLog().c_str(), stderr);
    return driver.status() == 0 ? 0 : 1;
}

// glint check GAME_DIR [--strict]: status 1 on errors, and with --strict
// on warnings too.
int runCheck(int argc, char** argv) {
    bool strict = argc == 4 && std::string(argv[3]) == "--strict";
    if (argc != 3 && !strict) {
        std::fprintf(stderr, "usage: glint check GAME_DIR [--strict]\n");
        return 2;
    }
    if (!systemInit(argv[2])) {
        std::fputs(memoryLog().c_str(), stderr);
        return 2;
    }
    resourceMountArchive(resolveDataPath("data.pak"));
    CheckResult result = checkGame(stdout);
    return result.errors > 0 || (strict && result.warnings > 0) ? 1 : 0;
}

} // namespace

// For sanitized builds: the GL driver and its compiler keep memory for the
// life of the process.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libLLVM\nleak:swrast_dri\nleak:libgallium\nleak:libEGL_mesa\nleak:libGLX_mesa\nleak:libglapi\nleak:libSDL2\n";
}

extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() == 1 && arguments[0] == "--version") {
        std::printf("glint %s\n", engineVersion());
        return 0;
    }
    // Help goes to standard output, so that it pages and greps like text.
    if (asksForHelp(arguments)) {
        bool proving = arguments[0] == "prove";
        std::printf("%s\n", proving ? kProveUsage : kPlayerUsage);
        return 0;
    }
    if (argc >= 2 && std::string(argv[1]) == "check")
        return runCheck(argc, argv);
    if (argc >= 2 && std::string(argv[1]) == "prove")
        return runProve(argc, argv);
    PlayerOptions options;
    std::string error;
    if (!parsePlayerArguments(arguments, options, error)) {
        std::fprintf(stderr, "glint: %s\n%s\n", error.c_str(), kPlayerUsage);
        return 2;
    }
    std::unique_ptr<HeadlessDriver> driver;
    if (options.headless && !(driver = makeDriver(options)))
        return 2;
    if (!systemInit(options.gameDir.empty() ? nullptr : options.gameDir.c_str())) {
        std::fputs(memoryLog().c_str(), stderr);
        return 1;
    }
    // Particles and scripts draw the same random numbers on every run, so
    // that a run's frames repeat.
    if (driver)
        seedRandomWith(kHeadlessRandomSeed);
    resourceMountArchive(resolveDataPath("data.pak"));
    int status = 0;
    {
        MApplication app;
        app.build.streaming = options.streaming;
        app.chooseIdentity();
        if (driver) {
            app.driver = driver.get();
            driver->app = &app;
            app.frameClock = driver.get();
            setInputSource(driver.get());
        }
        if (!app.run()) {
            // A player ends with status 0 as it always has, but says why; a
            // headless run that drew nothing has failed.
            if (!driver)
                std::fputs(memoryLog().c_str(), stderr);
            std::fputs("glint: the game window could not be created\n", stderr);
            status = driver ? 1 : 0;
        }
        setInputSource(nullptr);
        if (driver && (driver->failedShots() > 0 || driver->failedSaves() > 0))
            status = 1;
    }
    if (driver)
        std::fputs(memoryLog().c_str(), stderr);
    return status;
}
