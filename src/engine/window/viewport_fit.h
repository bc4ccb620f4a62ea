// Fitting the fixed game resolution into the window or the desktop.
#pragma once

namespace glint {

enum KAspectMode : int {
    K_ASPECT_STRETCH = 0, // fill the target, each axis scaled on its own
    K_ASPECT_FIT = 1,     // the whole picture, with bars
    K_ASPECT_FILL = 2,    // fill the target and crop what sticks out
};

struct AspectInput {
    int gameWidth = 0, gameHeight = 0;
    int windowWidth = 0, windowHeight = 0;
    int desktopWidth = 0, desktopHeight = 0;
    bool fullscreen = false;
    int aspectMode = K_ASPECT_STRETCH;
};

// Where the game picture lands on the surface (GL convention: y from the
// bottom; a cropped picture has negative offsets).
struct AspectResult {
    int viewportX = 0, viewportY = 0;
    int viewportWidth = 0, viewportHeight = 0;
    int surfaceWidth = 0, surfaceHeight = 0;
    float scaleX = 1, scaleY = 1; // surface pixels per game unit
    bool scaled = false;          // the picture is scaled or offset
};

// The size a window really has: window coordinates, in which pointer events
// and mouse warps count, and drawable pixels, in which GL draws. On a
// high-density display the drawable is larger than the window. Zero: not
// known yet.
struct WindowExtent {
    int width = 0, height = 0;
    int pixelWidth = 0, pixelHeight = 0;
    bool known() const { return width > 0 && height > 0 && pixelWidth > 0 && pixelHeight > 0; }
    bool operator==(const WindowExtent&) const = default;
};

// The target is the desktop when fullscreen, else the window. Logs the
// decision ("OpenGL: game screen size: ..." and the lines that follow).
// The game size must be positive.
AspectResult computeAspect(const AspectInput& input);

} // namespace glint
