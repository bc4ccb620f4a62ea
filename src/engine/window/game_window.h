// The one game window: an SDL window with an OpenGL 1.x compatibility
// context, windowed or full screen over the desktop (the desktop mode is
// never changed), the game picture fitted into it, the frame function, and
// SDL events turned into engine input events.
#pragma once

#include "engine/window/viewport_fit.h"
#include "engine/window/frame_timing.h"
#include "engine/window/input_event.h"
#include "engine/window/screen_mapping.h"

#include <cstdint>

struct SDL_Window;
union SDL_Event;

namespace glint {

class KGameWindow {
public:
    using DrawCallback = void (*)(void* user);
    // Returns false to stop the window's own handling of the event.
    using EventCallback = bool (*)(const KInputEvent& event, void* user);
    // Sees every SDL event first; false drops it.
    using MessageHook = bool (*)(KGameWindow* window, const SDL_Event& event);

    KGameWindow() = default;
    ~KGameWindow();
    KGameWindow(const KGameWindow&) = delete;
    KGameWindow& operator=(const KGameWindow&) = delete;

    // Opens the window (always windowed first) with its GL context; false
    // (logged) when any step fails. Set aspectMode before.
    bool create(int windowWidth, int windowHeight, int gameWidth, int gameHeight, const char* title);
    bool toggleFullscreen(bool on);
    // One frame: clear, the three drawing passes, present, pump events, pace.
    void frame(bool blockWhenInactive, DrawCallback drawGame, DrawCallback drawOutside, DrawCallback drawTop,
               void* user);
    // Pumps the pending events; returns whether the window has the focus.
    bool processMessages();
    // Connects to the display (create does it too); the desktop facts such
    // as fitsInWorkArea need it before the window opens.
    bool startVideo();
    // A framed window with this client size fits the usable desktop area.
    bool fitsInWorkArea(int width, int height) const;
    // Frees the quad batch and every GL texture name, then the context and
    // the window.
    void destroy();

    // The pointer in game units, and moving it to a game position.
    int pointerX() const;
    int pointerY() const;
    void setPointer(int x, int y);
    // The pointer in client pixels (its last position over the window), and
    // the client-pixel to game-unit mapping of the last frame; the input
    // poll combines them without the half-pixel of pointerX and pointerY.
    void clientPointer(int* x, int* y) const;
    const PointerMapping& pointerMapping() const { return mapping_; }
    int16_t lastWheelDelta() const { return lastWheelDelta_; }

    static int keyCodeFor(int virtualKey);
    static KGameWindow* current();
    // Shows "An error occurred while initializing the game..." over
    // everything, leaving full screen meanwhile.
    static void showDriverError(const char* caption);

    // Render state helpers for the drawing code.
    void resetRenderState();
    void setView(float x, float y, float offsetX, float offsetY, float angle, float scaleX, float scaleY);
    void setClip(bool on, float x1 = 0, float y1 = 0, float x2 = 0, float y2 = 0);

    SDL_Window* sdlWindow() const { return window_; }
    bool exists() const { return window_ != nullptr; }
    bool quitRequested() const { return quitRequested_; }
    // The game asks to end: the main loop stops after this frame.
    void requestClose() { quitRequested_ = true; }
    const FrameTiming& timing() const { return timing_; }
    // The next frame measures no time since this one (after long work).
    void resetTiming() { timing_.reset(); }
    // resetTiming() and an empty frame-time history.
    void clearTiming() { timing_.clear(); }

    // Set by the options before create and toggles.
    int aspectMode = K_ASPECT_STRETCH;
    int maxFrameRate = 0; // frames per second; 0 = unlimited
    MessageHook messageHook = nullptr;
    // Where frame pacing reads the time; null: the engine clock. A driver
    // that replays input sets a virtual clock so that runs repeat exactly.
    FrameClock* frameClock = nullptr;
    // Called after the last drawing pass, before the picture is presented
    // (screenshots read the back buffer there).
    DrawCallback presentHook = nullptr;
    void* presentUser = nullptr;
    EventCallback eventCallback = nullptr;
    void* eventUser = nullptr;

    // Read by the framework.
    int windowWidth = 0, windowHeight = 0;
    int viewportWidth = 0, viewportHeight = 0, viewportX = 0, viewportY = 0; // y from the bottom
    int gameWidth = 0, gameHeight = 0;
    int projectionWidth = 0, projectionHeight = 0;
    int surfaceWidth = 0, surfaceHeight = 0;
    int desktopBits = 32, screenWidth = 0, screenHeight = 0, refreshRate = 60;
    bool scaled = false;
    float scaleX = 1, scaleY = 1;
    bool fullscreen = false;
    bool refullscreenPending = false;
    bool focusLostWindowed = false;
    bool isForeground = true;
    bool customClip = false;
    char16_t title[256] = {};
    char renderer[256] = {};
    int maxTextureSize = 0;
    bool vsyncSupported = false;
    int clampToEdge = 0; // 0 none, 1 SGIS extension, 2 core or EXT
    bool systemCursorShown = false;

private:
    bool openWindow(const char* title);
    bool openContext();
    bool checkCapabilities();
    void setInitialGlState();
    void failCreate();
    void applyAspect(const WindowExtent& real);
    WindowExtent askedExtent() const;
    // Lays the picture out again when the window's real size is not the
    // one it was laid out for, and tells the event callback.
    void followWindowSize();
    AspectResult currentView() const;
    void readDisplaySettings();
    void centreInWorkArea();
    void clipCursor();
    void releaseCursorClip();
    void applySwapInterval();
    bool updatePointerMapping();
    void render();
    void restoreViewportClip();
    void dispatch(const SDL_Event& event);
    bool sendEvent(const KInputEvent& event);
    void updateForeground();
    void waitWhileInactive();

    SDL_Window* window_ = nullptr;
    void* context_ = nullptr;
    bool videoStarted_ = false;
    bool hasFocus_ = true;
    bool justLostFocus_ = false;
    bool quitRequested_ = false;
    DrawCallback drawGame_ = nullptr, drawOutside_ = nullptr, drawTop_ = nullptr;
    void* drawUser_ = nullptr;
    PointerMapping mapping_;
    // The size the picture was last laid out for: what was asked until the
    // window's real size differs from it.
    WindowExtent extent_;
    int16_t lastWheelDelta_ = 0;
    FrameTiming timing_;
};

} // namespace glint
