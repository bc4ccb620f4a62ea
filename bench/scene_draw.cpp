// Drawing a busy scene, headless on Mesa: 2,000 visible elements whose
// images come from four atlas pages (a tenth of them with a text), against
// the same 2,000 textured quads through SDL's own 2D renderer on its OpenGL
// backend. CPU time per frame for both, our draw calls per frame, and the
// ratio (goal: no slower than SDL's renderer). BENCH_NO_TEXT=1 leaves the
// texts out, so that both draw exactly the same quads.
#include "engine/render/gl.h"
#include "engine/render/quad_batch.h"
#include "engine/render/texture.h"
#include "engine/resources/resource.h"
#include "engine/system/system.h"
#include "engine/window/game_window.h"
#include "resource/texture.h"
#include "scene/element.h"
#include "scene/scene.h"
#include "scene/scene_engine_state.h"
#include "script/commands.h"
#include "script/script_system.h"
#include "text/font_list.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// BENCH_NO_TEXT set to anything leaves the texts out.
bool withTexts() { return std::getenv("BENCH_NO_TEXT") == nullptr; }

using namespace glint;

constexpr int kWidth = 1024, kHeight = 768;
constexpr int kElements = 2000;
constexpr int kPages = 4, kPageSize = 512, kCell = 128; // 16 images per page
constexpr int kImageSize = 64;

// The same pseudo-random scene in both runs.
struct Random {
    uint32_t state = 12345;
    uint32_t next(uint32_t range) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % range;
    }
};

std::vector<uint32_t> pagePixels(int page) {
    std::vector<uint32_t> pixels(static_cast<size_t>(kPageSize) * kPageSize);
    for (int y = 0; y < kPageSize; ++y)
        for (int x = 0; x < kPageSize; ++x)
            pixels[static_cast<size_t>(y) * kPageSize + x] =
                0xFF000000u | static_cast<uint32_t>((x + page * 60) & 0xFF) << 16 | ((y * 2) & 0xFF) << 8 | 0x40;
    return pixels;
}

// One quad of the scene in drawing order: its page and rectangles.
struct Sprite {
    int page;
    SDL_Rect source, target;
};

// Our side: a window, a scene of elements and its draw list.
struct EngineSide {
    KGameWindow window;
    std::unique_ptr<ScriptSystem> system;
    std::unique_ptr<MScene> scene;
    std::vector<std::unique_ptr<MTexture>> textures;
    std::vector<MTexture*> pages;
    MFontList fonts;
    std::vector<Sprite> sprites; // back to front, for the other side
    int64_t drawCalls = 0;

    bool open() {
        if (!window.create(kWidth, kHeight, kWidth, kHeight, "bench"))
            return false;
        system = std::make_unique<ScriptSystem>();
        registerBuiltinCommands();
        scene = std::make_unique<MScene>(intern("bench"));
        system->addScene(scene.get());
        scene->camera.halfW = kWidth / 2.0f, scene->camera.halfH = kHeight / 2.0f;
        scene->viewCenterX = kWidth / 2.0f, scene->viewCenterY = kHeight / 2.0f;
        loadFonts(fonts, "png");
        SceneEngineState& state = sceneEngineState();
        state.fonts = &fonts;
        state.screenW = kWidth, state.screenH = kHeight;
        build();
        return true;
    }

    MTexture* page(int index) {
        auto texture = std::make_unique<MTexture>("page.png");
        texture->image = new KTexture();
        std::vector<uint32_t> pixels = pagePixels(index);
        texture->image->createFromPixels(pixels.data(), kPageSize, kPageSize, 0, 0, false);
        textures.push_back(std::move(texture));
        pages.push_back(textures.back().get());
        return pages.back();
    }

    void build() {
        std::vector<MTexture*> images;
        for (int p = 0; p < kPages; ++p) {
            MTexture* sheet = page(p);
            for (int cell = 0; cell < (kPageSize / kCell) * (kPageSize / kCell); ++cell) {
                auto image = std::make_unique<MTexture>("image.png");
                image->atlasParent = sheet;
                image->atlasX = static_cast<float>(cell % (kPageSize / kCell) * kCell);
                image->atlasY = static_cast<float>(cell / (kPageSize / kCell) * kCell);
                image->atlasWidth = image->atlasHeight = kCell;
                images.push_back(image.get());
                textures.push_back(std::move(image));
            }
        }
        Random random;
        for (int i = 0; i < kElements; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "e%d", i);
            MElement* e = scene->createElement(nullptr, intern(name), false);
            e->visual->image.texture = images[random.next(static_cast<uint32_t>(images.size()))];
            e->visual->width = e->visual->height = kImageSize;
            e->channels[kChannelX] = static_cast<float>(random.next(kWidth));
            e->channels[kChannelY] = static_cast<float>(random.next(kHeight));
            e->channels[kChannelZ] = static_cast<float>(random.next(1000));
            if (i % 10 == 0 && withTexts())
                e->members.set(sym::text(), Value::fromSymbol(intern("Lamp")));
        }
        scene->update(true);
        for (int i = static_cast<int>(scene->drawList.size()) - 1; i >= 0; --i) {
            const MElement& e = *scene->drawList[i];
            const MTexture* image = e.visual->image.texture;
            int pageIndex = 0;
            for (int p = 0; p < kPages; ++p)
                if (image->atlasParent == pages[p])
                    pageIndex = p;
            sprites.push_back({pageIndex,
                               {static_cast<int>(image->atlasX), static_cast<int>(image->atlasY), kCell, kCell},
                               {static_cast<int>(e.absX - kImageSize / 2), static_cast<int>(e.absY - kImageSize / 2),
                                kImageSize, kImageSize}});
        }
    }

    void frame() {
        window.resetRenderState();
        KQuadBatch::reapply();
        scene->collectLayer(1, 0);
        scene->draw();
        KQuadBatch::current()->flush(false);
        glFinish();
    }

    void countDrawCalls() {
        KQuadBatch* batch = KQuadBatch::current();
        batch->setDrawer([](const KQuadBatch&, void* user) { ++*static_cast<int64_t*>(user); }, &drawCalls);
        frame();
        batch->setDrawer(nullptr, nullptr);
    }

    void close() {
        scene.reset();
        system.reset();
        fonts.clear();
        textures.clear();
        window.destroy();
    }
};

// SDL's side: its renderer on the same sprites.
struct SdlSide {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* pages[kPages] = {};

    bool open() {
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, "opengl");
        window = SDL_CreateWindow("bench", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL);
        renderer = window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED) : nullptr;
        if (!renderer)
            return false;
        for (int p = 0; p < kPages; ++p) {
            std::vector<uint32_t> pixels = pagePixels(p);
            pages[p] = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, kPageSize,
                                         kPageSize);
            SDL_UpdateTexture(pages[p], nullptr, pixels.data(), kPageSize * 4);
            SDL_SetTextureBlendMode(pages[p], SDL_BLENDMODE_BLEND);
        }
        return true;
    }

    void frame(const std::vector<Sprite>& sprites) {
        SDL_RenderClear(renderer);
        for (const Sprite& sprite : sprites)
            SDL_RenderCopy(renderer, pages[sprite.page], &sprite.source, &sprite.target);
        SDL_RenderFlush(renderer);
        glFinish();
    }

    void close() {
        for (SDL_Texture*& page : pages)
            if (page)
                SDL_DestroyTexture(page), page = nullptr;
        if (renderer)
            SDL_DestroyRenderer(renderer), renderer = nullptr;
        if (window)
            SDL_DestroyWindow(window), window = nullptr;
    }
};

EngineSide* engineSide = nullptr;
std::vector<Sprite> sprites;

void BM_SceneDraw(benchmark::State& state) {
    if (!engineSide) {
        engineSide = new EngineSide;
        if (!engineSide->open()) {
            state.SkipWithError("no GL window on this display");
            return;
        }
        engineSide->countDrawCalls();
        sprites = engineSide->sprites;
    }
    for (auto _ : state)
        engineSide->frame();
    state.counters["draw_calls"] = static_cast<double>(engineSide->drawCalls);
    state.counters["quads"] = static_cast<double>(sprites.size());
}
BENCHMARK(BM_SceneDraw)->Unit(benchmark::kMillisecond);

void BM_SdlRenderer(benchmark::State& state) {
    if (engineSide) {
        // One GL context at a time: ours is done.
        engineSide->close();
        delete engineSide;
        engineSide = nullptr;
    }
    static SdlSide sdl;
    if (!sdl.renderer && !sdl.open()) {
        state.SkipWithError("no SDL OpenGL renderer on this display");
        return;
    }
    for (auto _ : state)
        sdl.frame(sprites);
    state.counters["quads"] = static_cast<double>(sprites.size());
}
BENCHMARK(BM_SdlRenderer)->Unit(benchmark::kMillisecond);

// Keeps the CPU time of each benchmark to print the ratio at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.iterations <= 0)
                continue;
            cpu[run.benchmark_name()] = run.GetAdjustedCPUTime();
            auto calls = run.counters.find("draw_calls");
            if (calls != run.counters.end())
                drawCalls = calls->second.value;
        }
    }
    std::map<std::string, double> cpu;
    double drawCalls = 0;
};

} // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    // The sample game's fonts draw the texts.
    systemInit(GLINT_SOURCE_PATH "/games/demo");
    resourceInit();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto ours = reporter.cpu.find("BM_SceneDraw"), theirs = reporter.cpu.find("BM_SdlRenderer");
    if (ours != reporter.cpu.end() && theirs != reporter.cpu.end() && theirs->second > 0)
        std::printf("%d elements (%d with text): scene draw %.3f ms CPU in %.0f draw calls, SDL renderer %.3f ms CPU, "
                    "ratio %.2f (goal: at most 1)\n",
                    kElements, withTexts() ? kElements / 10 : 0, ours->second, reporter.drawCalls, theirs->second,
                    ours->second / theirs->second);
    benchmark::Shutdown();
    return 0;
}
