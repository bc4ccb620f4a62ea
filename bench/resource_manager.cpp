// Resource manager: path lookups with the chains a large game gives its 100
// buckets, reference-count round trips, and one scene switch's queue drain.
#include "resource/resource_manager.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

using namespace glint;

std::vector<std::string> paths(int count) {
    std::vector<std::string> result;
    for (int i = 0; i < count; ++i)
        result.push_back("data/scenes/room_" + std::to_string(i % 40) + "/image_" + std::to_string(i) + ".png");
    return result;
}

void BM_LookupKnownTexture(benchmark::State& state) {
    MResourceManager manager;
    std::vector<std::string> all = paths(static_cast<int>(state.range(0)));
    for (const std::string& path : all) manager.texture(path.c_str(), false, false);
    size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(manager.texture(all[next].c_str(), false, false));
        next = (next + 1) % all.size();
    }
}
BENCHMARK(BM_LookupKnownTexture)->Arg(500)->Arg(5000);

void BM_AcquireReleaseSubTexture(benchmark::State& state) {
    MResourceManager manager;
    MTexture* page = manager.texture("data/scenes/room/atlas_0.png", false, false);
    MTexture* holder = manager.texture("data/scenes/room/key.png", false, false);
    MTexture* part = manager.texture("data/scenes/room/coin.png", false, false);
    holder->atlasParent = page;
    part->atlasParent = page;
    manager.acquire(holder, true);
    for (auto _ : state) {
        manager.acquire(part, true);
        manager.release(part);
    }
}
BENCHMARK(BM_AcquireReleaseSubTexture);

void BM_DrainSceneQueue(benchmark::State& state) {
    MResourceManager manager;
    std::vector<MTexture*> scene;
    for (const std::string& path : paths(2000)) scene.push_back(manager.texture(path.c_str(), false, false));
    for (auto _ : state) {
        manager.setMode(kLoadModeQueue);
        for (size_t i = 0; i < scene.size(); i += 10) manager.acquire(scene[i], false);
        manager.beginLoadingSequence();
        while (!manager.loadQueued(10)) {
        }
        for (size_t i = 0; i < scene.size(); i += 10) manager.release(scene[i]);
    }
}
BENCHMARK(BM_DrainSceneQueue);

} // namespace

BENCHMARK_MAIN();
