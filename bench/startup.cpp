// Start-up of a whole game: the player's loading sequence, from the game
// folder to the first frame of the start scene, on the offscreen display,
// against the work no loader can avoid (reading every file of the game and
// parsing every scene with the JSON parser alone). The two alternate, run
// after run, and the medians of their processor times are reported with
// their ratio (goal: at most 2).
//
// Where the player's time goes (Release, profiled): creating the window and
// its GL context is about three quarters of the bare work on its own; of
// the loading steps, reading the scene descriptions takes four fifths, and
// within them building the elements (taking them from the pools and
// declaring each as a script variable) costs more than the parse itself;
// compiling the scripts is most of the rest. Drawing the loading screen's
// fifty frames costs little on the software renderer, but a display that
// waits for its vertical blank makes them the longest part by far.
//
//   bench_startup [RUNS]     (default 15)
#include "generated_game.h"

#include "app/application.h"
#include "app/engine.h"
#include "app/headless.h"
#include "engine/resources/resource.h"
#include "engine/system/numbers.h"
#include "engine/system/system.h"

#include <rapidjson/document.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <time.h>
#include <vector>

namespace {

using namespace glint;

// The processor time of the whole process: other programs on a busy
// machine stretch the wall clock but not this. The GL driver rasterizes on
// the calling thread (LP_NUM_THREADS=0), so no work of a run hides in
// threads of its own that outlive it.
double cpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Stops the run at the first frame that shows the start scene, and notes
// when the window was ready and when that frame was drawn.
class FirstFrameDriver : public HeadlessDriver {
public:
    explicit FirstFrameDriver(const PlayerOptions& options) : HeadlessDriver(options, {}) { drawsEveryFrame = true; }

    void beginFrame(int frame) override {
        if (frame == 1)
            windowReady = cpuMs();
        HeadlessDriver::beginFrame(frame);
    }
    void framePresented(int frame, KGameWindow& window) override {
        HeadlessDriver::framePresented(frame, window);
        MEngine* engine = app ? app->engine() : nullptr;
        if (!reached && engine && engine->started && engine->phase == 0) {
            reached = true;
            firstSceneFrame = cpuMs();
            frames = frame;
        }
    }
    bool finished(int frame) override { return reached || HeadlessDriver::finished(frame); }

    bool reached = false;
    int frames = 0;
    double windowReady = 0, firstSceneFrame = 0;
};

struct EngineRun {
    bool ok = false;
    double totalMs = 0;  // from the game folder to the start scene's first frame
    double windowMs = 0; // of which: the window and its GL context
    int frames = 0;
};

// One start of the game in this process, as the player makes it.
EngineRun startGame(const std::filesystem::path& game) {
    PlayerOptions options;
    options.gameDir = game.string();
    options.headless = true;
    options.frames = 2000; // a loading sequence that never ends stops here
    FirstFrameDriver driver(options);
    EngineRun run;
    double start = cpuMs();
    systemResetForTests();
    if (!systemInit(options.gameDir.c_str()))
        return run;
    seedRandomWith(4357);
    resourceMountArchive(resolveDataPath("data.pak"));
    run.ok = runDriven(driver) && driver.reached;
    run.totalMs = driver.firstSceneFrame - start;
    run.windowMs = driver.windowReady - start;
    run.frames = driver.frames;
    return run;
}

struct BareRun {
    double ms = 0;
    size_t bytes = 0;
    int scenes = 0;
    bool ok = true;
};

// Every file read whole, and every scene parsed into a document.
BareRun bareWork(const std::vector<std::filesystem::path>& files) {
    BareRun run;
    double start = cpuMs();
    std::string text;
    for (const std::filesystem::path& path : files) {
        text.clear();
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (!file) {
            run.ok = false;
            continue;
        }
        char buffer[65536];
        for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            text.append(buffer, got);
        std::fclose(file);
        run.bytes += text.size();
        if (path.extension() == ".scene") {
            rapidjson::Document document;
            document.Parse<rapidjson::kParseIterativeFlag>(text.data(), text.size());
            run.ok = run.ok && document.IsObject();
            ++run.scenes;
        }
    }
    run.ms = cpuMs() - start;
    return run;
}

std::vector<std::filesystem::path> gameFiles(const std::filesystem::path& game) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(game / "data"))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    std::filesystem::path root = std::filesystem::temp_directory_path() / "glint_bench_startup";
    std::filesystem::path game = root / "game", home = root / "home";
    std::filesystem::create_directories(home);
    // The player's own folder stays out of the user's.
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("LP_NUM_THREADS", "0", 1);
    bench::GameShape shape;
    bench::GeneratedGame generated(game, std::filesystem::path(GLINT_SOURCE_PATH) / "games/demo", shape);
    if (!generated.write()) {
        std::fprintf(stderr, "bench_startup: cannot write the game into %s\n", game.c_str());
        return 1;
    }
    std::vector<std::filesystem::path> files = gameFiles(game);

    // One start first, so that both sides find the files in the page cache
    // and the GL driver loaded.
    EngineRun warm = startGame(game);
    if (!warm.ok) {
        std::fprintf(stderr, "bench_startup: the game did not reach its start scene\n");
        return 1;
    }
    std::vector<double> engineMs, windowMs, bareMs, ratios;
    BareRun bare;
    for (int r = 0; r < runs; ++r) {
        // Alternating the order keeps drift (clock, cache) off one side.
        if (r % 2)
            bare = bareWork(files);
        EngineRun run = startGame(game);
        if (r % 2 == 0)
            bare = bareWork(files);
        if (!run.ok || !bare.ok) {
            std::fprintf(stderr, "bench_startup: run %d failed (%s)\n", r + 1, run.ok ? "reading" : "start");
            return 1;
        }
        engineMs.push_back(run.totalMs);
        windowMs.push_back(run.windowMs);
        bareMs.push_back(bare.ms);
        // Both halves of a pair ran under the same load of the machine.
        ratios.push_back(run.totalMs / bare.ms);
    }
    double engine = median(engineMs), window = median(windowMs), floor = median(bareMs);
    std::printf("game: %d scenes of %d elements and %d script lines, %zu files, %zu bytes, %d scene files\n",
                shape.scenes, shape.elementsEach, shape.scriptLines, files.size(), bare.bytes, bare.scenes);
    std::printf("medians of %d interleaved runs, processor time:\n", runs);
    std::printf("  bare reading and parsing: %8.2f ms\n", floor);
    std::printf("  player to the first frame: %7.2f ms (%d frames; window and GL context %.2f ms)\n", engine,
                warm.frames, window);
    std::printf("  ratio of the medians %.2f, median of the runs' ratios %.2f (goal: at most 2); without the "
                "window %.2f\n",
                engine / floor, median(ratios), (engine - window) / floor);
    std::printf("  fastest runs: bare %.2f ms, player %.2f ms\n", *std::min_element(bareMs.begin(), bareMs.end()),
                *std::min_element(engineMs.begin(), engineMs.end()));
    std::filesystem::remove_all(root);
    return 0;
}
