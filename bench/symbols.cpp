// Interning cost: names that exist already (every compile-time lookup) and
// names seen for the first time (string building at run time).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "script/symbol.h"

using namespace glint;

static std::vector<std::string> makeNames(const char* stem, int count) {
    std::vector<std::string> names;
    names.reserve(count);
    for (int i = 0; i < count; ++i) names.push_back(stem + std::to_string(i));
    return names;
}

static void BM_InternExisting(benchmark::State& state) {
    std::vector<std::string> names = makeNames("element_name_", 2000);
    for (const std::string& name : names) intern(name);
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(intern(names[i]));
        if (++i == names.size()) i = 0;
    }
}
BENCHMARK(BM_InternExisting);

static void BM_InternWellKnown(benchmark::State& state) {
    const char* names[] = {"alpha", "set", "on_task_executed", "BuildScreenW", "Call_stack[]"};
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(intern(names[i]));
        i = (i + 1) % 5;
    }
}
BENCHMARK(BM_InternWellKnown);

static void BM_InternNew(benchmark::State& state) {
    // Symbols are never freed: each run adds new ones, as string commands do.
    static long serial = 0;
    char text[64];
    for (auto _ : state) {
        int n = snprintf(text, sizeof text, "fresh_text_%ld", serial++);
        benchmark::DoNotOptimize(intern(text, n));
    }
}
BENCHMARK(BM_InternNew);

static void BM_InternNewArrayElement(benchmark::State& state) {
    static long serial = 0;
    char text[64];
    for (auto _ : state) {
        int n = snprintf(text, sizeof text, "slot%ld_%ld", serial / 50, serial % 50 + 1);
        ++serial;
        benchmark::DoNotOptimize(intern(text, n));
    }
}
BENCHMARK(BM_InternNewArrayElement);

BENCHMARK_MAIN();
