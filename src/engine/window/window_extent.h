// Asking the display what size a window really has.
#pragma once

#include "engine/window/viewport_fit.h"

struct SDL_Window;

namespace glint {

// On X the server itself is asked: SDL records the size it requested, and
// a full screen that no window manager grants leaves the window as it was
// while SDL reports the desktop's size. Elsewhere SDL's window and drawable
// sizes. Unknown (zero) when the window cannot be measured.
WindowExtent measureWindow(SDL_Window* window);

} // namespace glint
