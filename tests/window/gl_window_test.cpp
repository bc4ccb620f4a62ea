// The window itself on the headless display: creation, full screen over the
// desktop, the frame passes, events and focus.
#include "support/gl_test_support.h"

#include "engine/render/quad_batch.h"
#include "engine/render/render_state.h"
#include "engine/render/texture.h"
#include "engine/system/clock.h"
#include "engine/system/log.h"
#include "engine/window/key_state.h"

#include <SDL.h>

#include <chrono>
#include <thread>
#include <vector>

namespace glint::test {
namespace {

bool logged(const char* text) { return memoryLog().find(text) != std::string::npos; }

class WindowTest : public GlWindowTest {
protected:
    static bool record(const KInputEvent& event, void* user) {
        static_cast<std::vector<KInputEvent>*>(user)->push_back(event);
        return true;
    }
    void listen() {
        window.eventCallback = record;
        window.eventUser = &events;
    }
    static void push(Uint32 type, Uint8 windowEvent = 0) {
        SDL_Event event{};
        event.type = type;
        event.window.event = windowEvent;
        SDL_PushEvent(&event);
    }
    // The types sent, pointer moves left out (moving the cursor sends them).
    std::vector<int> types() const {
        std::vector<int> result;
        for (const KInputEvent& event : events) {
            if (event.type != K_EVENT_MOUSEMOVE)
                result.push_back(event.type);
        }
        return result;
    }
    std::vector<KInputEvent> events;
};

TEST_F(WindowTest, CreationChecksTheDriverAndLogsIt) {
    clearMemoryLog();
    open(320, 240, 320, 240);
    EXPECT_TRUE(logged("OpenGL: creating 320x240 game window (windowed mode)"));
    EXPECT_TRUE(logged("OpenGL: game window successfully created, actual size is 320x240"));
    EXPECT_TRUE(logged("OpenGL: system supports version "));
    EXPECT_TRUE(logged("OpenGL: display adapter is '"));
    EXPECT_TRUE(logged("OpenGL: display adapter supports "));
    EXPECT_TRUE(logged("OpenGL: wait for vertical blank is "));
    EXPECT_TRUE(logged("OpenGL: clamp to edge is supported"));
    if (std::string(window.renderer).find("llvmpipe") != std::string::npos) {
        EXPECT_TRUE(logged("OpenGL: driver seems to do software rendering"));
    }
    EXPECT_EQ(KGameWindow::current(), &window);
    EXPECT_NE(KQuadBatch::current(), nullptr);
    EXPECT_NE(renderState.compressedTexImage2D, nullptr);
    EXPECT_GT(window.maxTextureSize, 0);
    EXPECT_EQ(window.clampToEdge, 2);
    EXPECT_FALSE(window.fullscreen);
    EXPECT_FALSE(window.scaled);
    EXPECT_TRUE(window.isForeground);
    int width = 0, height = 0;
    SDL_GetWindowSize(window.sdlWindow(), &width, &height);
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 240);

    window.destroy();
    EXPECT_TRUE(logged("OpenGL: cleaned up"));
    EXPECT_EQ(KGameWindow::current(), nullptr);
    EXPECT_EQ(KQuadBatch::current(), nullptr);
}

TEST_F(WindowTest, TitleIsKeptAsUtf16) {
    window.aspectMode = K_ASPECT_FIT;
    ASSERT_TRUE(window.create(64, 48, 64, 48, "Caf\xC3\xA9"));
    EXPECT_EQ(window.title[3], u'\u00E9');
    EXPECT_STREQ(SDL_GetWindowTitle(window.sdlWindow()), "Caf\xC3\xA9");
}

TEST_F(WindowTest, InvalidSizesAreRefused) {
    clearMemoryLog();
    EXPECT_FALSE(window.create(64, 48, 0, 48, "bad"));
    EXPECT_FALSE(window.exists());
    EXPECT_TRUE(logged("ERROR"));
}

TEST_F(WindowTest, WindowedScalingStretchesTheGame) {
    open(128, 96, 64, 48);
    EXPECT_TRUE(window.scaled);
    EXPECT_FLOAT_EQ(window.scaleX, 2);
    KTexture white;
    std::vector<uint32_t> pixels(16, 0xFFFFFFFF);
    ASSERT_TRUE(white.createFromPixels(pixels.data(), 4, 4, 0, 0, false));
    Readback frame = drawFrame([&] {
        KQuadBatch::current()->setState(&white, K_BLEND_ALPHA, K_PRIMITIVE_QUADS);
        KQuadBatch::current()->addRect(0, 0, 1, 1, 32, 24, 32, 24, rgba(255, 0, 0));
    });
    EXPECT_EQ(frame.width, 128);
    EXPECT_EQ(frame.at(64, 48), 0xFF0000u);
    EXPECT_EQ(frame.at(63, 47), 0u);
    EXPECT_EQ(frame.at(127, 95), 0xFF0000u);
}

TEST_F(WindowTest, FullscreenCoversTheDesktopWithBars) {
    // The offscreen display never resizes a window's GL surface, so the
    // window starts at the desktop's size to have room for the full screen.
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
    SDL_DisplayMode desktop{};
    ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);
    open(desktop.w, desktop.h, 160, 90);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    clearMemoryLog();
    ASSERT_TRUE(window.toggleFullscreen(true));
    EXPECT_TRUE(window.fullscreen);
    EXPECT_TRUE(logged("OpenGL: toggling display mode to fullscreen"));
    EXPECT_TRUE(logged((std::string("OpenGL: toggled to fullscreen mode, ") + std::to_string(desktop.w) + "x" +
                        std::to_string(desktop.h) + "x32")
                           .c_str()));
    EXPECT_TRUE(logged("GL reset: ok"));
    EXPECT_EQ(window.surfaceWidth, desktop.w);
    EXPECT_EQ(window.surfaceHeight, desktop.h);
    EXPECT_TRUE(window.scaled);
    int drawableWidth = 0, drawableHeight = 0;
    SDL_GL_GetDrawableSize(window.sdlWindow(), &drawableWidth, &drawableHeight);
    EXPECT_EQ(drawableWidth, desktop.w);
    EXPECT_EQ(drawableHeight, desktop.h);

    // A 16:9 game on the desktop: whichever way it fits, the bars stay black.
    KTexture white;
    std::vector<uint32_t> pixels(16, 0xFFFFFFFF);
    ASSERT_TRUE(white.createFromPixels(pixels.data(), 4, 4, 0, 0, false));
    Readback frame = drawFrame([&] {
        KQuadBatch::current()->setState(&white, K_BLEND_ALPHA, K_PRIMITIVE_QUADS);
        KQuadBatch::current()->addRect(0, 0, 1, 1, 0, 0, 160, 90, rgba(0, 255, 0));
    });
    int top = window.surfaceHeight - window.viewportY - window.viewportHeight;
    EXPECT_EQ(frame.at(window.viewportX, top), 0x00FF00u);
    EXPECT_EQ(frame.at(window.viewportX + window.viewportWidth - 1, top + window.viewportHeight - 1), 0x00FF00u);
    if (top > 0) {
        EXPECT_EQ(frame.at(window.viewportX, top - 1), 0u);
    }
    if (window.viewportX > 0) {
        EXPECT_EQ(frame.at(window.viewportX - 1, top), 0u);
    }

    // The pointer mapping follows: the picture's top-left pixel is game (0, 0).
    const PointerMapping& mapping = window.pointerMapping();
    EXPECT_EQ(gameXForClient(mapping, window.viewportX), 0);
    EXPECT_EQ(gameYForClient(mapping, top), 0);

    clearMemoryLog();
    ASSERT_TRUE(window.toggleFullscreen(false));
    EXPECT_TRUE(logged("OpenGL: toggling to windowed mode"));
    EXPECT_EQ(window.surfaceWidth, desktop.w);
    EXPECT_FALSE(window.fullscreen);
    int width = 0, height = 0;
    SDL_GetWindowSize(window.sdlWindow(), &width, &height);
    EXPECT_EQ(width, desktop.w);
    EXPECT_EQ(height, desktop.h);
}

TEST_F(WindowTest, PointerMovesToGamePositions) {
    open(128, 96, 64, 48);
    window.setPointer(10, 20);
    window.processMessages();
    EXPECT_EQ(window.pointerX(), 10);
    EXPECT_EQ(window.pointerY(), 20);
}

TEST_F(WindowTest, EventsReachTheCallback) {
    open(64, 48, 64, 48);
    listen();
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.type = SDL_KEYDOWN;
    key.key.keysym.sym = SDLK_a;
    key.key.keysym.scancode = SDL_SCANCODE_A;
    SDL_PushEvent(&key);
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.preciseY = 1;
    SDL_PushEvent(&wheel);
    window.processMessages();
    EXPECT_EQ(types(), (std::vector<int>{K_EVENT_KEYCHAR, K_EVENT_KEYDOWN, K_EVENT_WHEEL}));
    EXPECT_EQ(window.lastWheelDelta(), 120);
}

// A touchpad tap: press and release arrive in one pump, so the level is up
// again before the poll reads it; the poll still sees one press.
TEST_F(WindowTest, ATapBetweenTwoPollsReadsAsOnePress) {
    open(64, 48, 64, 48);
    for (Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
        SDL_Event tap{};
        tap.button.type = type;
        tap.button.button = SDL_BUTTON_RIGHT;
        SDL_PushEvent(&tap);
    }
    window.processMessages();
    EXPECT_FALSE(pointerButtonDown(0));
    EXPECT_TRUE(pointerButtonDown(1));
    EXPECT_FALSE(pointerButtonDown(1)) << "the next poll sees the release";
}

TEST_F(WindowTest, MessageHookCanSwallowEvents) {
    open(64, 48, 64, 48);
    listen();
    window.messageHook = [](KGameWindow*, const SDL_Event& event) { return event.type != SDL_QUIT; };
    push(SDL_QUIT);
    window.processMessages();
    EXPECT_FALSE(window.quitRequested());
    window.messageHook = nullptr;
    push(SDL_QUIT);
    window.processMessages();
    EXPECT_TRUE(window.quitRequested());
}

TEST_F(WindowTest, CloseRequestsQuit) {
    open(64, 48, 64, 48);
    push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_CLOSE);
    window.processMessages();
    EXPECT_TRUE(window.quitRequested());
}

TEST_F(WindowTest, FocusChangesSendForegroundEvents) {
    open(64, 48, 64, 48);
    listen();
    push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_FALSE(window.processMessages());
    EXPECT_FALSE(window.isForeground);
    EXPECT_TRUE(window.focusLostWindowed);
    push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_GAINED);
    EXPECT_TRUE(window.processMessages());
    EXPECT_EQ(types(), (std::vector<int>{K_EVENT_BACKGROUND, K_EVENT_FOREGROUND}));
}

TEST_F(WindowTest, RegainingFocusInFullscreenReappliesIt) {
    open(64, 48, 64, 48);
    listen();
    ASSERT_TRUE(window.toggleFullscreen(true));
    push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_LOST);
    window.processMessages();
    EXPECT_FALSE(window.focusLostWindowed) << "full screen minimises instead";
    clearMemoryLog();
    push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_GAINED);
    window.processMessages();
    EXPECT_TRUE(logged("OpenGL: toggling display mode to fullscreen"));
    EXPECT_TRUE(window.fullscreen);
    EXPECT_EQ(types(), (std::vector<int>{K_EVENT_BACKGROUND, K_EVENT_FOREGROUND}));
}

TEST_F(WindowTest, InactiveWindowWaitsForTheFocus) {
    open(64, 48, 64, 48);
    listen();
    push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_LOST);
    window.frame(true, nullptr, nullptr, nullptr, nullptr); // the frame that lost the focus goes on
    EXPECT_FALSE(window.focusLostWindowed);
    std::thread giver([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_GAINED);
    });
    int64_t start = clockMs();
    window.frame(true, nullptr, nullptr, nullptr, nullptr);
    int64_t waited = clockMs() - start;
    giver.join();
    EXPECT_GE(waited, 90);
    EXPECT_TRUE(window.isForeground);
    EXPECT_EQ(types(), (std::vector<int>{K_EVENT_BACKGROUND, K_EVENT_FOREGROUND}));
    EXPECT_EQ(window.timing().history()[window.timing().historyLength() - 1], 0) << "waiting is not frame time";
}

TEST_F(WindowTest, WorkAreaTest) {
    open(64, 48, 64, 48);
    SDL_Rect area{};
    ASSERT_EQ(SDL_GetDisplayUsableBounds(0, &area), 0);
    EXPECT_TRUE(window.fitsInWorkArea(area.w, area.h));
    EXPECT_FALSE(window.fitsInWorkArea(area.w + 1, 10));
    EXPECT_FALSE(window.fitsInWorkArea(10, area.h + 1));
}

} // namespace
} // namespace glint::test
