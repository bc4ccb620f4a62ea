// Cost of collecting quads in the batch; the GL draw is left out (without a
// context the batch's GL set-up calls go to the dispatch library's no-op table).
#include "engine/render/quad_batch.h"
#include "engine/render/render_state.h"
#include "engine/render/texture.h"

#include <benchmark/benchmark.h>

namespace {

void countDraws(const glint::KQuadRun&, void* user) { ++*static_cast<int64_t*>(user); }

// A scene's worth of sprites from one atlas: one draw per 1024 quads.
void BM_AddRects(benchmark::State& state) {
    glint::KQuadBatch* batch = glint::KQuadBatch::setup();
    int64_t draws = 0;
    batch->setDrawer(countDraws, &draws);
    glint::renderState.flipHeight = 768;
    glint::KTexture atlas;
    atlas.textureWidth = atlas.textureHeight = 2048;
    for (auto _ : state) {
        batch->setState(&atlas, glint::K_BLEND_ALPHA, glint::K_PRIMITIVE_QUADS);
        for (int i = 0; i < state.range(0); ++i)
            batch->addRect(0, 0, 64, 64, static_cast<float>(i % 1024), static_cast<float>(i % 768), 1, 1,
                           0xFFFFFFFF);
        batch->flush(true);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["draws"] = benchmark::Counter(static_cast<double>(draws), benchmark::Counter::kAvgIterations);
    batch->setDrawer(nullptr, nullptr);
    glint::KQuadBatch::destroy();
}
BENCHMARK(BM_AddRects)->Arg(100)->Arg(1000)->Arg(5000);

// Alternating blend modes: every quad its own draw.
void BM_StateChanges(benchmark::State& state) {
    glint::KQuadBatch* batch = glint::KQuadBatch::setup();
    int64_t draws = 0;
    batch->setDrawer(countDraws, &draws);
    glint::KTexture atlas;
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            batch->setState(&atlas, i % 2, glint::K_PRIMITIVE_QUADS);
            batch->addRect(0, 0, 16, 16, 0, 0, 1, 1, 0xFFFFFFFF);
        }
        batch->flush(true);
    }
    state.SetItemsProcessed(state.iterations() * 1000);
    batch->setDrawer(nullptr, nullptr);
    glint::KQuadBatch::destroy();
}
BENCHMARK(BM_StateChanges);

} // namespace

BENCHMARK_MAIN();
