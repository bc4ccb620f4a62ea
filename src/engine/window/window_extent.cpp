#include "engine/window/window_extent.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <cstring>

namespace glint {

namespace {

#if defined(SDL_VIDEO_DRIVER_X11)
// SDL's X windows have no scaled drawable: window and pixels are one size.
bool measureOnX(SDL_Window* window, WindowExtent& extent) {
    // Asking another driver for X details would only leave an error behind.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::strcmp(driver, "x11") != 0)
        return false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    ::Window root = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    if (!XGetGeometry(info.info.x11.display, info.info.x11.window, &root, &x, &y, &width, &height, &border, &depth))
        return false;
    extent.width = extent.pixelWidth = static_cast<int>(width);
    extent.height = extent.pixelHeight = static_cast<int>(height);
    return true;
}
#else
bool measureOnX(SDL_Window*, WindowExtent&) { return false; }
#endif

} // namespace

WindowExtent measureWindow(SDL_Window* window) {
    WindowExtent extent;
    if (!window || measureOnX(window, extent))
        return extent;
    SDL_GetWindowSize(window, &extent.width, &extent.height);
    SDL_GL_GetDrawableSize(window, &extent.pixelWidth, &extent.pixelHeight);
    return extent;
}

} // namespace glint
