#include "engine/window/game_window.h"

#include "engine/render/gl.h"
#include "engine/render/quad_batch.h"
#include "engine/render/render_state.h"
#include "engine/render/texture.h"
#include "engine/system/log.h"
#include "engine/system/utf.h"
#include "engine/window/key_map.h"

#include <SDL.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

namespace glint {

namespace {

KGameWindow* currentWindow = nullptr;

// Renderer names of the software rasterizers Mesa falls back to.
constexpr const char* softwareRenderers[] = {"llvmpipe", "softpipe", "swrast", "software rasterizer"};

std::string lowerCase(const char* text) {
    std::string lowered = text ? text : "";
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lowered;
}

const char* glText(GLenum name) {
    const GLubyte* text = glGetString(name);
    return text ? reinterpret_cast<const char*>(text) : "";
}

// The leading number of the version string, 1 when there is none.
double glVersion() {
    const char* text = glText(GL_VERSION);
    char* end = nullptr;
    double version = std::strtod(text, &end);
    return end == text ? 1 : version;
}

const char* supported(bool yes) { return yes ? "supported" : "NOT supported"; }

// Buffer objects are core in GL 1.5; before it the extension names them
// with its suffix. All four entry points or none.
BufferFunctions bufferFunctions(double version) {
    const char* suffix =
        version >= 1.5 ? "" : SDL_GL_ExtensionSupported("GL_ARB_vertex_buffer_object") ? "ARB" : nullptr;
    BufferFunctions gl;
    if (!suffix)
        return gl;
    auto entry = [suffix](const char* name) { return SDL_GL_GetProcAddress((std::string(name) + suffix).c_str()); };
    gl.genBuffers = reinterpret_cast<PFNGLGENBUFFERSPROC>(entry("glGenBuffers"));
    gl.bindBuffer = reinterpret_cast<PFNGLBINDBUFFERPROC>(entry("glBindBuffer"));
    gl.bufferData = reinterpret_cast<PFNGLBUFFERDATAPROC>(entry("glBufferData"));
    gl.deleteBuffers = reinterpret_cast<PFNGLDELETEBUFFERSPROC>(entry("glDeleteBuffers"));
    return gl.available() ? gl : BufferFunctions{};
}

} // namespace

KGameWindow::~KGameWindow() { destroy(); }

KGameWindow* KGameWindow::current() { return currentWindow; }

int KGameWindow::keyCodeFor(int virtualKey) { return glint::keyCodeFor(virtualKey); }

bool KGameWindow::create(int windowW, int windowH, int gameW, int gameH, const char* titleText) {
    if (window_)
        destroy();
    logMessage("OpenGL: creating %dx%d game window (%s mode)", windowW, windowH, "windowed");
    if (gameW <= 0 || gameH <= 0 || windowW <= 0 || windowH <= 0) {
        logMessage("OpenGL: invalid window or game size, ERROR");
        return false;
    }
    if (!startVideo())
        return false;

    windowWidth = windowW;
    windowHeight = windowH;
    gameWidth = projectionWidth = gameW;
    gameHeight = projectionHeight = gameH;
    fullscreen = false;
    isForeground = hasFocus_ = true;
    quitRequested_ = false;
    readDisplaySettings();
    applyAspect(WindowExtent{});

    if (!openWindow(titleText) || !openContext()) {
        failCreate();
        return false;
    }
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
    // A windowed game lets the screen saver run; full screen holds it off.
    SDL_EnableScreenSaver();
    followWindowSize();
    setInitialGlState();
    frame(false, nullptr, nullptr, nullptr, nullptr);
    frame(false, nullptr, nullptr, nullptr, nullptr);
    if (!checkCapabilities())
        return false;

    glDisable(GL_FRAGMENT_PROGRAM_ARB);
    releaseCursorClip();
    resetRenderState();
    KQuadBatch::setup();
    updatePointerMapping();
    currentWindow = this;
    applySwapInterval();
    timing_.reset();
    processMessages();
    return true;
}

bool KGameWindow::startVideo() {
    if (videoStarted_)
        return true;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        logMessage("OpenGL: SDL_InitSubSystem ERROR (%s)", SDL_GetError());
        return false;
    }
    videoStarted_ = true;
    // The GL library stays loaded for the life of the process: a window
    // opened again (a restart, a changed mode) reuses it, and the driver's
    // allocations stay attributable to it when the process ends.
    static bool libraryHeld = false;
    if (!libraryHeld)
        libraryHeld = SDL_GL_LoadLibrary(nullptr) == 0;
    return true;
}

bool KGameWindow::openWindow(const char* titleText) {
    utf8ToUtf16(title, titleText ? titleText : "", 256);
    char utf8Title[256 * 3];
    utf16ToUtf8(utf8Title, title, sizeof utf8Title);

    // Colour only: the renderer needs no depth, stencil or destination alpha.
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);

    window_ = SDL_CreateWindow(utf8Title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, windowWidth, windowHeight,
                               SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!window_) {
        logMessage("OpenGL: SDL_CreateWindow ERROR (%s)", SDL_GetError());
        return false;
    }
    centreInWorkArea();
    return true;
}

bool KGameWindow::openContext() {
    context_ = SDL_GL_CreateContext(window_);
    if (!context_) {
        logMessage("OpenGL: SDL_GL_CreateContext ERROR (%s)", SDL_GetError());
        return false;
    }
    if (SDL_GL_MakeCurrent(window_, static_cast<SDL_GLContext>(context_)) != 0) {
        logMessage("OpenGL: SDL_GL_MakeCurrent ERROR (%s)", SDL_GetError());
        return false;
    }
    return true;
}

void KGameWindow::setInitialGlState() {
    glShadeModel(GL_SMOOTH);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, gameWidth, 0, gameHeight, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glViewport(viewportX, viewportY, viewportWidth, viewportHeight);
}

bool KGameWindow::checkCapabilities() {
    logMessage("OpenGL: game window successfully created, actual size is %dx%d", viewportWidth, viewportHeight);
    double version = glVersion();
    logMessage("OpenGL: system supports version %g", version);
    std::snprintf(renderer, sizeof renderer, "%s", glText(GL_RENDERER));
    logMessage("OpenGL: display adapter is '%s' '%s'", glText(GL_VENDOR), renderer);
    std::string lowered = lowerCase(renderer);
    for (const char* software : softwareRenderers) {
        if (lowered.find(software) != std::string::npos) {
            logMessage("OpenGL: driver seems to do software rendering");
            break;
        }
    }

    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    logMessage("OpenGL: display adapter supports %dx%d textures", maxSize, maxSize);
    maxTextureSize = maxSize > 0 ? maxSize : 1024;
    renderState.maxTextureSize = maxTextureSize;

    // Asking for no synchronisation tells whether the interval can be set at all.
    vsyncSupported = SDL_GL_SetSwapInterval(0) == 0;
    void* compressed = SDL_GL_GetProcAddress("glCompressedTexImage2DARB");
    if (!compressed)
        compressed = SDL_GL_GetProcAddress("glCompressedTexImage2D");
    // A loader can hand out entry points the driver does not implement.
    bool compression = compressed && (version >= 1.3 || SDL_GL_ExtensionSupported("GL_ARB_texture_compression"));
    if (!compression) {
        logMessage("OpenGL: ERROR compressed textures are required!");
        SDL_HideWindow(window_);
        char caption[256 * 3];
        utf16ToUtf8(caption, title, sizeof caption);
        showDriverError(caption);
        destroy();
        return false;
    }
    renderState.compressedTexImage2D = reinterpret_cast<PFNGLCOMPRESSEDTEXIMAGE2DPROC>(compressed);
    renderState.buffers = bufferFunctions(version);
    if (version >= 1.2 || SDL_GL_ExtensionSupported("GL_EXT_texture_edge_clamp"))
        clampToEdge = 2;
    else if (SDL_GL_ExtensionSupported("GL_SGIS_texture_edge_clamp"))
        clampToEdge = 1;
    else
        clampToEdge = 0;
    logMessage("OpenGL: wait for vertical blank is %s", supported(vsyncSupported));
    logMessage("OpenGL: clamp to edge is %s", supported(clampToEdge != 0));
    return true;
}

void KGameWindow::applySwapInterval() {
    if (vsyncSupported)
        SDL_GL_SetSwapInterval(fullscreen && maxFrameRate >= 0 ? 1 : 0);
}

void KGameWindow::failCreate() {
    if (context_)
        SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context_));
    context_ = nullptr;
    if (window_)
        SDL_DestroyWindow(window_);
    window_ = nullptr;
    if (videoStarted_)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    videoStarted_ = false;
}

void KGameWindow::destroy() {
    if (!window_) {
        failCreate();
        return;
    }
    // GL names die with the context; the objects stay for a later upload.
    KQuadBatch::destroy();
    KTexture::releaseAll();
    forgetTextureState();
    renderState.compressedTexImage2D = nullptr;
    renderState.buffers = {};
    releaseCursorClip();
    SDL_GL_MakeCurrent(window_, nullptr);
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context_));
    context_ = nullptr;
    if (fullscreen) {
        SDL_SetWindowFullscreen(window_, 0);
        fullscreen = false;
        logMessage("OpenGL: switched back to windowed mode");
    }
    SDL_DestroyWindow(window_);
    window_ = nullptr;
    if (currentWindow == this)
        currentWindow = nullptr;
    failCreate();
    logMessage("OpenGL: cleaned up");
}

} // namespace glint
