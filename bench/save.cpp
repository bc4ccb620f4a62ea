// Saving and loading the game state of a generated game: 100 scenes of 200
// elements, each scene with 20 tasks and 20 variables; a fifth of the
// elements moved or hidden, half the variables and a quarter of the tasks
// changed. A save (the file built in memory, and the file written to disk
// as the engine writes it) and a load against the game tick they must fit
// in (10 ms), with the file's size.
#include "app/application.h"
#include "app/engine.h"
#include "engine/system/system.h"
#include "engine/resources/resource.h"
#include "engine/window/game_window.h"
#include "game/profile_file.h"
#include "scene/element.h"
#include "scene/scene.h"
#include "script/objects.h"
#include "script/script_system.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

namespace {

using namespace glint;

constexpr int kScenes = 100, kElements = 200, kTasks = 20, kVariables = 20;

std::string sceneName(int i) {
    char name[16];
    std::snprintf(name, sizeof name, "room%03d", i);
    return name;
}

void writeGame(const std::filesystem::path& folder) {
    namespace fs = std::filesystem;
    for (const char* dir : {"data/_interface/loading", "data/_interface/_scripts", "data/startup"})
        fs::create_directories(folder / dir);
    std::ofstream(folder / "data/game.cfg") << "BuildScreenW=1024\r\nBuildScreenH=768\r\nBuildSupportMScene=1\r\n";
    std::string list = "data/_interface/loading\r\ndata/startup\r\n";
    std::ofstream(folder / "data/_interface/loading/_loading.scene") << "{}";
    std::ofstream(folder / "data/_interface/game.script") << "";
    std::ofstream(folder / "data/_interface/_scripts/common_all.script") << "";
    std::ofstream(folder / "data/_interface/_scripts/common_all_post.script") << "";
    std::ofstream(folder / "data/startup/_startup.scene") << "{}";
    std::ofstream(folder / "data/startup/startup.script") << "";
    std::string elements;
    for (int e = 0; e < kElements; ++e)
        elements += std::string(elements.empty() ? "" : ", ") + "\"e" + std::to_string(e) +
                    "\": {\"D\": [10, 10], \"X\": " + std::to_string(e) + "}";
    std::string script;
    for (int t = 0; t < kTasks; ++t)
        script += "action t" + std::to_string(t) + " hand $e" + std::to_string(t) + " ? {\n  do {\n  }\n}\n";
    script += "init {\n  set #Is_serializable 1\n";
    for (int v = 0; v < kVariables; ++v) script += "  set #v" + std::to_string(v) + " 0\n";
    for (int t = 0; t < kTasks; ++t) script += "  enable @t" + std::to_string(t) + "\n";
    script += "}\n";
    for (int s = 0; s < kScenes; ++s) {
        std::string name = sceneName(s);
        fs::create_directories(folder / "data" / name);
        std::ofstream(folder / "data" / name / ("_" + name + ".scene")) << "{\"elements\": {" << elements << "}}";
        std::ofstream(folder / "data" / name / (name + ".script")) << script;
        list += "data/" + name + "\r\n";
    }
    std::ofstream(folder / "data/scenes.cfg") << list;
}

struct BenchGame {
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "glint_bench_save";
    KGameWindow window;
    std::unique_ptr<MApplication> app;
    MEngine* engine = nullptr;
    std::vector<uint8_t> saved;

    bool open() {
        writeGame(folder);
        if (!window.create(1024, 768, 1024, 768, "bench"))
            return false;
        systemInit(folder.c_str());
        resourceInit();
        app = std::make_unique<MApplication>();
        app->userFolder = (folder / "user").string();
        std::filesystem::create_directories(app->userFolder);
        app->startEngine();
        engine = app->engine();
        for (int frame = 0; frame < 2000 && engine->phase != 0; ++frame)
            engine->advanceBy(10);
        if (engine->phase != 0)
            return false;
        change();
        return true;
    }

    // What a player would have done: every fifth element moved or hidden,
    // every other variable and every fourth task changed.
    void change() {
        for (MScene* scene : engine->scenes.scenes()) {
            if (scene->name->view().substr(0, 4) != "room")
                continue;
            for (size_t e = 0; e < scene->elements.size(); e += 5) {
                MElement& element = *scene->elements[e];
                element.flags |= kElementChangedByScript;
                if (e % 2)
                    element.overrideChannel(kElementPositionLocked, kChannelX, 40.0f + e);
                else
                    element.setShown(false);
            }
            for (int v = 0; v < kVariables; v += 2)
                *findVariable(scene->scope, KindPlain, intern("v" + std::to_string(v)), nullptr, false) =
                    Value::fromNumber(v + 1);
            for (int t = 0; t < kTasks; t += 4)
                findVariable(scene->scope, KindTask, intern("t" + std::to_string(t)), nullptr, false)
                    ->as<ScriptTask>()
                    ->state = TaskCompleted;
        }
    }

    bool build(SaveStream& s) {
        SaveWorld world = engine->saveWorld();
        ProfileOffsets offsets;
        return s.beginWrite((folder / "user/bench.profile").string(), kSaveFormatVersion) &&
               writeProfileContent(s, world, engine->scriptSystem().global(), offsets);
    }
};

BenchGame* game = nullptr;

bool ready(benchmark::State& state) {
    if (!game) {
        game = new BenchGame;
        if (!game->open())
            state.SkipWithError("no GL window or the game did not start");
    }
    return game->engine && game->engine->phase == 0;
}

void BM_GameTick(benchmark::State& state) {
    if (!ready(state))
        return;
    for (auto _ : state)
        game->engine->gameTick();
}
BENCHMARK(BM_GameTick)->Unit(benchmark::kMillisecond);

void BM_SaveToMemory(benchmark::State& state) {
    if (!ready(state))
        return;
    size_t size = 0;
    for (auto _ : state) {
        SaveStream s;
        if (!game->build(s))
            state.SkipWithError("the save failed");
        size = s.size();
        game->saved = s.bytes();
    }
    state.counters["file_bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_SaveToMemory)->Unit(benchmark::kMillisecond);

void BM_SaveToDisk(benchmark::State& state) {
    if (!ready(state))
        return;
    for (auto _ : state) {
        SaveStream s;
        if (!game->build(s) || !s.commit())
            state.SkipWithError("the save failed");
    }
}
BENCHMARK(BM_SaveToDisk)->Unit(benchmark::kMillisecond);

void BM_Load(benchmark::State& state) {
    if (!ready(state))
        return;
    if (game->saved.empty()) {
        SaveStream s;
        game->build(s);
        game->saved = s.bytes();
    }
    for (auto _ : state) {
        SaveStream s;
        SaveWorld world = game->engine->saveWorld();
        ProfileOffsets offsets;
        if (s.openBytes(game->saved) != kSaveOpened ||
            !readProfileContent(s, world, &game->engine->scriptSystem().global(), true, nullptr, offsets))
            state.SkipWithError("the load failed");
    }
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

class ShareReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.iterations > 0)
                wall[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    double of(const char* name) const {
        auto found = wall.find(name);
        return found == wall.end() ? 0 : found->second;
    }
    std::map<std::string, double> wall;
};

} // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    benchmark::Initialize(&argc, argv);
    ShareReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (game && game->engine)
        std::printf("%d scenes of %d elements: file %zu bytes; save %.2f ms in memory, %.2f ms to disk; "
                    "load %.2f ms; the game tick (10 ms of game time) takes %.2f ms\n",
                    kScenes, kElements, game->saved.size(), reporter.of("BM_SaveToMemory"),
                    reporter.of("BM_SaveToDisk"), reporter.of("BM_Load"), reporter.of("BM_GameTick"));
    if (game) {
        game->app.reset();
        game->window.destroy();
        std::filesystem::remove_all(game->folder);
    }
    benchmark::Shutdown();
    return 0;
}
