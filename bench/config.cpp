// Configuration lookups: binary searches on symbol identity, for keys that
// exist and for keys that do not.
#include "resource/configuration.h"
#include "script/symbol.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace glint;

constexpr int kKeyCount = 200;

std::unique_ptr<MConfiguration> configurationOf(const std::string& text) {
    auto config = std::make_unique<MConfiguration>("data/game.cfg");
    MTextFile file;
    file.assignText(text.data(), static_cast<int32_t>(text.size()), "bench.cfg");
    config->addMainText(std::move(file));
    return config;
}

// A configuration the size of a large game.cfg.
const MConfiguration& sampleConfiguration() {
    static std::unique_ptr<MConfiguration> config = [] {
        std::string text;
        for (int i = 0; i < kKeyCount; ++i)
            text += "bench_key_" + std::to_string(i) + "=" + std::to_string(i) + ".5\r\n";
        return configurationOf(text);
    }();
    return *config;
}

std::vector<Symbol*> keys(const char* prefix) {
    std::vector<Symbol*> symbols;
    for (int i = 0; i < kKeyCount; ++i)
        symbols.push_back(intern((prefix + std::to_string(i)).c_str()));
    return symbols;
}

void BM_LookupExisting(benchmark::State& state) {
    const MConfiguration& config = sampleConfiguration();
    std::vector<Symbol*> symbols = keys("bench_key_");
    size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(config.getInt(symbols[next], -1));
        next = (next + 1) % symbols.size();
    }
}
BENCHMARK(BM_LookupExisting);

void BM_LookupMissing(benchmark::State& state) {
    const MConfiguration& config = sampleConfiguration();
    std::vector<Symbol*> symbols = keys("bench_absent_");
    size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(config.getInt(symbols[next], -1));
        next = (next + 1) % symbols.size();
    }
}
BENCHMARK(BM_LookupMissing);

void BM_LookupFirstItem(benchmark::State& state) {
    std::unique_ptr<MConfiguration> config = configurationOf("BuildAtlasTexturesExtensions=png,dds\r\n");
    Symbol* key = intern("BuildAtlasTexturesExtensions");
    for (auto _ : state)
        benchmark::DoNotOptimize(config->getFirstItem(key, nullptr));
}
BENCHMARK(BM_LookupFirstItem);

} // namespace

BENCHMARK_MAIN();
