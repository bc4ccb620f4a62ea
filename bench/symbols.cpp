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

// The table has a fixed number of buckets and never forgets a name, so the
// cost of a new name depends on how many came before it. Each run adds one
// game's worth of names (a large game holds about 20,000 symbols) and the
// figure is the cost per name over that run.
static void internFreshNames(benchmark::State& state, const char* format) {
    static long serial = 0;
    char text[64];
    for (auto _ : state) {
        for (int64_t i = 0; i < state.range(0); ++i, ++serial) {
            int n = snprintf(text, sizeof text, format, serial / 50, serial % 50 + 1);
            benchmark::DoNotOptimize(intern(text, n));
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["symbols"] = symbolCount();
}

static void BM_InternNew(benchmark::State& state) { internFreshNames(state, "fresh_text_%ld%ld"); }
BENCHMARK(BM_InternNew)->Arg(20000)->Iterations(3);

static void BM_InternNewArrayElement(benchmark::State& state) { internFreshNames(state, "slot%ld_%ld"); }
BENCHMARK(BM_InternNewArrayElement)->Arg(20000)->Iterations(3);

BENCHMARK_MAIN();
