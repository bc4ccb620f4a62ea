// One tick of an emitter with 10,000 live particles: the update (a burst,
// every particle aged) and the batching of every particle's quad, against
// the anchor of the same number of plain quads put in the batch. The GL
// draw is left out: a counting drawer takes the flushed vertices.
#include "engine/render/quad_batch.h"
#include "engine/render/texture.h"
#include "engine/system/numbers.h"
#include "resource/particle_system.h"
#include "resource/texture.h"
#include "scene/particle_instance.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace glint;

constexpr int kParticles = 10000;

void countDraws(const KQuadRun&, void* user) { ++*static_cast<int64_t*>(user); }

struct Batch {
    KQuadBatch* batch = KQuadBatch::setup();
    int64_t draws = 0;
    KTexture page;
    Batch() {
        batch->setDrawer(countDraws, &draws);
        page.textureWidth = page.textureHeight = 64;
        page.info.width = page.info.height = 8;
    }
    ~Batch() {
        batch->setDrawer(nullptr, nullptr);
        KQuadBatch::destroy();
    }
};

// A fire: 100 particles every tick, each living 101 ticks, so that 10,000
// are alive after every update; they rise, spread, grow, turn and fade.
void BM_ParticleTick(benchmark::State& state) {
    initMathTables();
    Batch batch;
    MTexture spark("spark.png");
    spark.image = &batch.page;
    MParticleSystem system("fire.particles");
    std::string text = "E 100\nC 100\nL 1.01\nS 30\nT 4\nD 250 290 : 200 340\nV 80 : 40\nW 0 -5\nR 255\nG 220 60\n"
                       "B 80 0\nA 255 0\nX 14 : 4\nN 0 90 : 180 360\nO A";
    readParticleDescription(system, text.data());
    system.image.texture = &spark;
    MParticleInstance* instance = takeParticleInstance(&system);
    instance->loop = 1;
    instance->start();
    instance->prewarm();
    for (auto _ : state) {
        instance->update(2);
        instance->draw(1);
        batch.batch->flush(true);
    }
    state.counters["live"] = instance->particleCount();
    state.counters["draws"] =
        benchmark::Counter(static_cast<double>(batch.draws), benchmark::Counter::kAvgIterations);
    state.SetItemsProcessed(state.iterations() * instance->particleCount());
    giveBackParticleInstance(instance);
    spark.image = nullptr;
}
BENCHMARK(BM_ParticleTick)->Unit(benchmark::kMicrosecond);

// The anchor: the same number of quads, unturned, straight into the batch.
void BM_PlainQuads(benchmark::State& state) {
    Batch batch;
    for (auto _ : state) {
        batch.batch->setState(&batch.page, K_BLEND_ALPHA, K_PRIMITIVE_QUADS);
        for (int i = 0; i < kParticles; ++i)
            batch.batch->addRect(0, 0, 8, 8, static_cast<float>(i % 320), static_cast<float>(i % 240), 1, 1,
                                 0xFFFFFFFF);
        batch.batch->flush(true);
    }
    state.SetItemsProcessed(state.iterations() * kParticles);
}
BENCHMARK(BM_PlainQuads)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
