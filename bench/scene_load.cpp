// Loading a JSON scene of 10,000 elements (keyframe tracks, polygons,
// groups) against parsing the same text with the JSON parser alone. The
// loader should stay within three times the bare parse.
#include "app/application.h"
#include "app/engine.h"
#include "engine/resources/resource.h"
#include "engine/system/system.h"
#include "resource/resource_manager.h"
#include "scene/scene_loader.h"
#include "scene/scene_registry.h"
#include "scene/scene_text_cache.h"

#include <benchmark/benchmark.h>
#include <rapidjson/document.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

namespace {

using namespace glint;

constexpr int kParents = 1000;
constexpr int kChildrenEach = 9; // 10,000 elements in all
constexpr int kGroups = 100;

std::string elementBody(int i) {
    std::string x = std::to_string(i % 640), y = std::to_string(i % 480);
    std::string body = "{\"I\": [\"img_" + std::to_string(i % 300) + ".png\", 0, 10, 0, 0, 0.25, 1]";
    body += ", \"X\": [[0, " + x + "], [100, " + y + "], [250, " + x + "]], \"Y\": " + y;
    body += ", \"A\": [[-50, 0], [0, 1]], \"Sx\": 100, \"D\": [64, 48, 0.5, 0.5], \"F\": \"0,0,1,0,1,1,0,0,1\"";
    if (i % 4 == 0)
        body += ", \"Hs\": [[[0, 0], [30, 0], [40, 20], [30, 40], [0, 40], [-10, 20]]]";
    return body;
}

std::string elementName(int parent, int child) {
    // Some names form script arrays (spark_N), as real scenes do.
    if (child < 0)
        return parent % 10 == 0 ? "spark_" + std::to_string(parent / 10 + 1) : "obj" + std::to_string(parent);
    return "obj" + std::to_string(parent) + "_part" + std::to_string(child);
}

const std::string& sceneText() {
    static const std::string text = [] {
        std::string json = "{\"elements\": {";
        for (int p = 0; p < kParents; ++p) {
            json += std::string(p ? ", " : "") + "\"" + elementName(p, -1) + "\": " + elementBody(p * 10);
            json += ", \"C\": {";
            for (int c = 0; c < kChildrenEach; ++c)
                json += std::string(c ? ", " : "") + "\"" + elementName(p, c) + "\": " + elementBody(p * 10 + c + 1) + "}";
            json += "}}";
        }
        json += "}, \"groups\": {";
        for (int g = 0; g < kGroups; ++g) {
            json += std::string(g ? ", " : "") + "\"group_" + std::to_string(g) + "\": [";
            for (int m = 0; m < kParents / kGroups; ++m)
                json += std::string(m ? ", " : "") + "\"" + elementName(g * (kParents / kGroups) + m, m % kChildrenEach) + "\"";
            json += "]";
        }
        json += "}}";
        return json;
    }();
    return text;
}

// A game folder with the one scene, and an engine run around it.
struct BenchGame {
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "glint_bench_scene_load";
    std::unique_ptr<MApplication> app;
    std::unique_ptr<MResourceManager> resources;
    std::unique_ptr<MEngine> engine;

    BenchGame() {
        std::filesystem::create_directories(folder / "data/s/bench");
        std::ofstream(folder / "data/scenes.cfg") << "data/s/bench\n";
        std::ofstream(folder / "data/s/bench/_bench.scene") << sceneText();
        systemInit(folder.c_str());
        resourceInit();
        app = std::make_unique<MApplication>();
        app->settings.supportMScene = true;
        resources = std::make_unique<MResourceManager>();
        engine = std::make_unique<MEngine>(*app, *resources);
        engine->buildSceneRegistry();
    }
    ~BenchGame() {
        engine.reset();
        resources.reset();
        app.reset();
        std::filesystem::remove_all(folder);
    }
    SceneLoadContext context() {
        return {*app, *resources, engine->scenes,
                [this](Symbol* name) -> const SceneText& { return engine->sceneText(name); }, 2.0f, "", {}};
    }
};

void BM_BareParse(benchmark::State& state) {
    const std::string& text = sceneText();
    for (auto _ : state) {
        rapidjson::Document document;
        document.Parse<rapidjson::kParseIterativeFlag>(text.data(), text.size());
        benchmark::DoNotOptimize(document.IsObject());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_BareParse)->Unit(benchmark::kMillisecond);

void BM_LoadScene(benchmark::State& state) {
    BenchGame game;
    MScene* scene = game.engine->findScene(intern("bench"));
    SceneLoadContext context = game.context();
    game.engine->sceneText(scene->name); // read once, as the loading step's cache does
    for (auto _ : state) {
        scene->load(context);
        benchmark::DoNotOptimize(scene->elements.size());
        state.PauseTiming();
        bool complete = scene->elements.size() == kParents * (kChildrenEach + 1);
        scene->releaseElements();
        scene->loaded = false;
        state.ResumeTiming();
        if (!complete) {
            state.SkipWithError("the scene lost elements");
            break;
        }
    }
}
BENCHMARK(BM_LoadScene)->Unit(benchmark::kMillisecond);

// Keeps the mean time of each benchmark to print the ratio at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.iterations > 0)
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    std::map<std::string, double> times;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto parse = reporter.times.find("BM_BareParse");
    auto load = reporter.times.find("BM_LoadScene");
    if (parse != reporter.times.end() && load != reporter.times.end() && parse->second > 0)
        std::printf("scene of %d elements, %zu bytes: bare parse %.2f ms, load %.2f ms, ratio %.2f (goal: at most 3)\n",
                    kParents * (kChildrenEach + 1), sceneText().size(), parse->second, load->second,
                    load->second / parse->second);
    benchmark::Shutdown();
    return 0;
}
