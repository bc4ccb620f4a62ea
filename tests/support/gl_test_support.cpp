#include "support/gl_test_support.h"

#include "engine/render/gl.h"
#include "engine/render/quad_batch.h"
#include "support/image_compare.h"

#include <SDL.h>

#include <cstdlib>

namespace glint::test {

namespace {

struct FrameScene {
    const std::function<void()>* draw;
    KGameWindow* window;
    Readback readback;
};

void drawGame(void* user) {
    auto* scene = static_cast<FrameScene*>(user);
    (*scene->draw)();
    if (KQuadBatch* batch = KQuadBatch::current())
        batch->flush(true);
}

void readTop(void* user) {
    auto* scene = static_cast<FrameScene*>(user);
    Readback& out = scene->readback;
    out.width = scene->window->surfaceWidth;
    out.height = scene->window->surfaceHeight;
    std::vector<uint32_t> rows(static_cast<size_t>(out.width) * out.height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, out.width, out.height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, rows.data());
    out.pixels.resize(rows.size());
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x)
            out.pixels[static_cast<size_t>(y) * out.width + x] =
                rows[static_cast<size_t>(out.height - 1 - y) * out.width + x] & 0xFFFFFF;
    }
}

} // namespace

void GlWindowTest::open(int width, int height, int gameWidth, int gameHeight, int aspectMode) {
    window.aspectMode = aspectMode;
    ASSERT_TRUE(window.create(width, height, gameWidth, gameHeight, "Glint test"))
        << "no GL window on this display: " << SDL_GetError();
}

void expectFrameMatches(const Readback& frame, const std::string& path, int tolerance) {
    expectPixelsMatch(frame.width, frame.height, frame.pixels, path, tolerance);
}

Readback GlWindowTest::drawFrame(const std::function<void()>& draw) {
    FrameScene scene{&draw, &window, {}};
    window.frame(false, drawGame, nullptr, readTop, &scene);
    return scene.readback;
}

} // namespace glint::test

namespace glint::test {

namespace {

// The GL library stays loaded for the whole program: the driver's own
// allocations are then still reachable or at least attributable at exit.
class GlLibrary : public testing::Environment {
public:
    void SetUp() override {
        // llvmpipe's rasterizer threads race the leak checker's stop of all
        // threads at exit; the tests draw little and need none.
        setenv("LP_NUM_THREADS", "0", 0);
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0)
            SDL_GL_LoadLibrary(nullptr);
    }
};

const auto* glLibrary = testing::AddGlobalTestEnvironment(new GlLibrary);

} // namespace

} // namespace glint::test

// Mesa and LLVM keep memory for the life of the process.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libLLVM\nleak:swrast_dri\nleak:libgallium\nleak:libEGL_mesa\nleak:libGLX_mesa\nleak:libglapi\n";
}
