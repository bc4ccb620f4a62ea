#include "support/gl_test_support.h"

#include "engine/render/gl.h"
#include "engine/images/image_buffer.h"
#include "engine/images/image_handler.h"
#include "engine/render/quad_batch.h"
#include "support/test_support.h"

#include <SDL.h>

#include <cstdio>
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

namespace {

bool channelsNear(uint32_t a, uint32_t b, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8) {
        int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (d < -tolerance || d > tolerance)
            return false;
    }
    return true;
}

void writeFrame(const Readback& frame, const std::string& path) {
    for (size_t i = 0; i < frame.pixels.size(); ++i)
        imagePixelBuffer[i] = frame.pixels[i] | 0xFF000000u;
    KImageInfo info;
    info.width = static_cast<uint32_t>(frame.width);
    info.height = static_cast<uint32_t>(frame.height);
    info.isUncompressed = 1;
    uint8_t* png = nullptr;
    size_t size = 0;
    ASSERT_TRUE(imageHandlerForFormat(K_IMAGE_PNG)->encode(&png, &size, &info, 0));
    writeFile(path, std::string(reinterpret_cast<char*>(png), size));
    delete[] png;
}

} // namespace

void expectFrameMatches(const Readback& frame, const std::string& path, int tolerance) {
    const char* write = std::getenv("GLINT_WRITE_EXPECTED");
    if (write && std::string(write) == "1") {
        writeFrame(frame, path);
        return;
    }
    std::string png = readFile(path);
    KImageInfo info;
    ASSERT_TRUE(imageHandlerForFormat(K_IMAGE_PNG)->decode(png.data(), png.size(), &info, true)) << path;
    ASSERT_EQ(static_cast<int>(info.width), frame.width) << path;
    ASSERT_EQ(static_cast<int>(info.height), frame.height) << path;
    int wrong = 0;
    std::string first;
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            uint32_t expected = imagePixelBuffer[static_cast<size_t>(y) * info.width + x] & 0xFFFFFF;
            if (channelsNear(frame.at(x, y), expected, tolerance))
                continue;
            if (wrong++ == 0) {
                char text[96];
                std::snprintf(text, sizeof text, "first at (%d, %d): %06X, expected %06X", x, y, frame.at(x, y),
                              expected);
                first = text;
            }
        }
    }
    EXPECT_EQ(wrong, 0) << path << ": " << first;
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
