// Drawing a busy scene, headless on Mesa: 2,000 visible elements whose
// images come from four atlas pages (a tenth of them with a text), against
// the same 2,000 textured quads through SDL's own 2D renderer on its OpenGL
// backend. Both sides stay open, each with its GL context, and run in
// alternating rounds of frames (who goes first alternates too), so that the
// load of a shared machine falls on both alike; each side's figure is the
// median of its rounds, the ratio the median of the rounds' ratios. Times
// are the drawing thread's CPU time per frame.
//
// It also counts our draw calls per frame against the fewest batches the
// painter's order allows: quads keep their order wherever they overlap, so
// a quad may join an earlier batch of its texture only when no quad of
// another batch drawn in between overlaps it (counted greedily).
//
//   bench_scene_draw [ROUNDS]     (default 31)
//   BENCH_NO_TEXT=1 leaves the texts out, so that both draw the same quads.
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

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
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
constexpr double kRoundSeconds = 0.25; // of each side's CPU time per round

// The same pseudo-random scene in both runs.
struct Random {
    uint32_t state = 12345;
    uint32_t next(uint32_t range) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % range;
    }
};

double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

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

// A drawn quad as the batch hands it to the GL: its state and bounds.
struct DrawnQuad {
    const void* texture;
    int blendMode;
    float minX, minY, maxX, maxY;
};

bool overlap(const DrawnQuad& a, const DrawnQuad& b) {
    return a.minX < b.maxX && b.minX < a.maxX && a.minY < b.maxY && b.minY < a.maxY;
}

// Greedy: each quad joins the latest batch of its state unless a quad of a
// later batch overlaps it.
int fewestBatches(const std::vector<DrawnQuad>& quads) {
    std::vector<int> batchOf(quads.size());
    std::vector<const DrawnQuad*> batchState;
    for (size_t i = 0; i < quads.size(); ++i) {
        const DrawnQuad& q = quads[i];
        int latest = -1;
        for (int b = static_cast<int>(batchState.size()) - 1; b >= 0 && latest < 0; --b)
            if (batchState[b]->texture == q.texture && batchState[b]->blendMode == q.blendMode)
                latest = b;
        bool free = latest >= 0;
        for (size_t j = 0; j < i && free; ++j)
            free = batchOf[j] <= latest || !overlap(quads[j], q);
        if (free) {
            batchOf[i] = latest;
        } else {
            batchOf[i] = static_cast<int>(batchState.size());
            batchState.push_back(&q);
        }
    }
    return static_cast<int>(batchState.size());
}

struct DrawRecord {
    int64_t calls = 0;
    std::vector<DrawnQuad> quads;
};

void recordDraw(const KQuadRun& run, void* user) {
    auto* record = static_cast<DrawRecord*>(user);
    ++record->calls;
    for (int v = 0; v + 3 < run.count; v += 4) {
        DrawnQuad q{run.texture, run.blendMode, 1e30f, 1e30f, -1e30f, -1e30f};
        for (const KQuadVertex* corner = run.vertices + v; corner < run.vertices + v + 4; ++corner) {
            q.minX = std::min(q.minX, corner->x), q.maxX = std::max(q.maxX, corner->x);
            q.minY = std::min(q.minY, corner->y), q.maxY = std::max(q.maxY, corner->y);
        }
        record->quads.push_back(q);
    }
}

// Our side: a window, a scene of elements and its draw list.
struct EngineSide {
    KGameWindow window;
    SDL_GLContext context = nullptr;
    std::unique_ptr<ScriptSystem> system;
    std::unique_ptr<MScene> scene;
    std::vector<std::unique_ptr<MTexture>> textures;
    std::vector<MTexture*> pages;
    MFontList fonts;
    std::vector<Sprite> sprites; // back to front, for the other side

    bool open() {
        if (!window.create(kWidth, kHeight, kWidth, kHeight, "bench"))
            return false;
        context = SDL_GL_GetCurrentContext();
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

    void makeCurrent() { SDL_GL_MakeCurrent(window.sdlWindow(), context); }

    void frame() {
        window.resetRenderState();
        KQuadBatch::reapply();
        scene->collectLayer(1, 0);
        scene->draw();
        KQuadBatch::current()->flush(false);
        glFinish();
    }

    // One frame's draws; without reordering, its quads in painter's order.
    DrawRecord recordFrame(bool reordering) {
        DrawRecord record;
        KQuadBatch* batch = KQuadBatch::current();
        batch->setReordering(reordering);
        batch->setDrawer(recordDraw, &record);
        frame();
        batch->setDrawer(nullptr, nullptr);
        batch->setReordering(true);
        return record;
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

    // The renderer makes its own context current when it draws.
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

// CPU seconds per frame over `frames` frames.
template <typename Frame> double timeFrames(int frames, Frame&& frame) {
    double start = threadSeconds();
    for (int i = 0; i < frames; ++i)
        frame();
    return (threadSeconds() - start) / frames;
}

struct Figures {
    std::vector<double> ours, theirs, ratios;
};

Figures runRounds(EngineSide& engine, SdlSide& sdl, int rounds) {
    auto ourFrame = [&] { engine.frame(); };
    auto theirFrame = [&] { sdl.frame(engine.sprites); };
    // Warm both up (the driver compiles its shaders in the first frames),
    // then size the rounds by the slower side.
    engine.makeCurrent();
    timeFrames(5, ourFrame);
    double ourGuess = timeFrames(5, ourFrame);
    timeFrames(5, theirFrame);
    double theirGuess = timeFrames(5, theirFrame);
    int frames = std::max(10, static_cast<int>(kRoundSeconds / std::max({ourGuess, theirGuess, 1e-6})));
    Figures figures;
    for (int round = 0; round < rounds; ++round) {
        double ours = 0, theirs = 0;
        for (int half = 0; half < 2; ++half) {
            if ((half == 0) == (round % 2 == 0)) {
                engine.makeCurrent();
                ours = timeFrames(frames, ourFrame);
            } else {
                theirs = timeFrames(frames, theirFrame);
            }
        }
        figures.ours.push_back(ours);
        figures.theirs.push_back(theirs);
        figures.ratios.push_back(theirs > 0 ? ours / theirs : 0);
    }
    return figures;
}

} // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 31;
    // The sample game's fonts draw the texts.
    systemInit(GLINT_SOURCE_PATH "/games/demo");
    resourceInit();
    EngineSide engine;
    if (!engine.open()) {
        std::fprintf(stderr, "no GL window on this display\n");
        return 1;
    }
    engine.makeCurrent();
    DrawRecord drawn = engine.recordFrame(true);
    DrawRecord inOrder = engine.recordFrame(false);
    int fewest = fewestBatches(inOrder.quads);
    SdlSide sdl;
    if (!sdl.open()) {
        std::fprintf(stderr, "no SDL OpenGL renderer on this display\n");
        return 1;
    }
    Figures figures = runRounds(engine, sdl, rounds);
    std::vector<double> sorted = figures.ratios;
    std::sort(sorted.begin(), sorted.end());
    std::printf("%d elements (%d with text), %zu quads: scene draw %.3f ms CPU per frame in %lld draw calls "
                "(%lld in painter's order; the fewest batches it allows: %d), SDL renderer %.3f ms CPU\n",
                kElements, withTexts() ? kElements / 10 : 0, drawn.quads.size(), median(figures.ours) * 1e3,
                static_cast<long long>(drawn.calls), static_cast<long long>(inOrder.calls), fewest,
                median(figures.theirs) * 1e3);
    std::printf("ratio %.3f, median of %d interleaved rounds (lowest %.3f, highest %.3f); goal: at most 0.8\n",
                median(figures.ratios), rounds, sorted.front(), sorted.back());
    sdl.close();
    engine.close();
    return 0;
}
