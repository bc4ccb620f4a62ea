// Between window client pixels (y down), the GL viewport (y up) and game
// units (y down).
#pragma once

#include "engine/window/viewport_fit.h"

namespace glint {

// Client pixel -> game unit: (client - offset) x scale.
struct PointerMapping {
    float offsetX = 0, offsetY = 0; // the picture's top-left corner in client pixels
    float scaleX = 1, scaleY = 1;   // game units per client pixel
    bool operator==(const PointerMapping&) const = default;
};

// Identity when the picture is neither scaled nor offset and the window
// counts in drawable pixels. window: the extent the view was laid out in;
// unknown means window coordinates are drawable pixels.
PointerMapping pointerMappingFor(const AspectResult& view, int gameWidth, int gameHeight,
                                 const WindowExtent& window = {});

// The picture laid out in the drawable the window really has (in what was
// asked for while that is not known) and the pointer mapped from the
// window's coordinates.
struct WindowView {
    AspectResult picture;
    PointerMapping pointer;
};
WindowView viewForWindow(const AspectInput& asked, const WindowExtent& real);

struct WindowRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const WindowRect&) const = default;
};

// Where the pointer can reach the picture: the part of the window (window
// coordinates, y down) that the picture covers; the whole window when the
// picture is not on it at all.
WindowRect pictureInWindow(const AspectResult& view, const WindowExtent& window);

// The game position of a client pixel, taken at the pixel's centre.
int gameXForClient(const PointerMapping& mapping, int clientX);
int gameYForClient(const PointerMapping& mapping, int clientY);

// The client pixel of a game position (for moving the system cursor).
int clientXForGame(const PointerMapping& mapping, int gameX);
int clientYForGame(const PointerMapping& mapping, int gameY);

struct ScissorBox {
    int x = 0, y = 0, width = 0, height = 0; // GL window coordinates
};

// The scissor box of a clip rectangle in game units (y down): each corner
// clamped to the game area and truncated, then scaled to the viewport with
// integer arithmetic. An inverted rectangle clips everything away.
ScissorBox scissorForClip(const AspectResult& view, int gameWidth, int gameHeight, float x1, float y1, float x2,
                          float y2);

} // namespace glint
