// Cost of laying out and drawing a text box: glyph lookups, line breaking
// and quad emission on a font built in memory (no pages needed to measure;
// the draw collects quads for a page texture that is never uploaded).
#include "engine/render/quad_batch.h"
#include "engine/render/render_state.h"
#include "engine/render/texture.h"
#include "engine/text/text.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// Printable ASCII plus one block of CJK, every glyph 8 x 16 with advance 9.
glint::KText* makeFont() {
    std::string descriptor;
    int count = 0;
    auto add = [&](int code) {
        int x = count % 32 * 8, y = count / 32 * 16;
        descriptor += std::to_string(code) + " " + std::to_string(x) + " " + std::to_string(y) + " " +
                      std::to_string(x + 7) + " " + std::to_string(y + 15) + " 9 20 0 " + std::to_string(code % 3 - 1) +
                      " 2\n";
        ++count;
    };
    for (int code = 32; code < 127; ++code)
        add(code);
    for (int code = 0x65E5; code < 0x65E5 + 64; ++code)
        add(code);
    descriptor = "FONT 1 1 " + std::to_string(count) + "\n" + descriptor;
    auto* font = new glint::KText();
    font->parseDescriptor(descriptor.data(), static_cast<int32_t>(descriptor.size()));
    return font;
}

const char* kParagraphs =
    "The lighthouse keeper left a note on the table: the lamp must be lit before the fog rolls in, "
    "and the key to the lower door hangs behind the map of the harbour.\n"
    "Find the three missing gears and the oil can, then climb to the lantern room.";

void BM_MeasureTextBox(benchmark::State& state) {
    glint::KText* font = makeFont();
    for (auto _ : state)
        benchmark::DoNotOptimize(font->measureTextBox(kParagraphs, 300, -1, 1, 1));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::char_traits<char>::length(kParagraphs)));
    delete font;
}
BENCHMARK(BM_MeasureTextBox);

void countDraws(const glint::KQuadRun&, void* user) { ++*static_cast<int64_t*>(user); }

void BM_DrawJustifiedTextBox(benchmark::State& state) {
    glint::KText* font = makeFont();
    glint::KTexture page;
    page.textureWidth = page.textureHeight = 256;
    font->setPage(0, &page, false);
    glint::KQuadBatch* batch = glint::KQuadBatch::setup();
    int64_t draws = 0;
    batch->setDrawer(countDraws, &draws);
    glint::renderState.flipHeight = 768;
    for (auto _ : state) {
        font->drawTextBox(kParagraphs, -1, 10, 310, 10, glint::K_ALIGN_JUSTIFY, -1, 1, 1);
        batch->flush(true);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::char_traits<char>::length(kParagraphs)));
    batch->setDrawer(nullptr, nullptr);
    glint::KQuadBatch::destroy();
    font->setPage(0, nullptr, false);
    delete font;
}
BENCHMARK(BM_DrawJustifiedTextBox);

} // namespace

BENCHMARK_MAIN();
