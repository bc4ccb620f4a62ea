#include "engine/window/cursor_mode.h"

#include <SDL_events.h>
#include <SDL_mouse.h>

namespace glint {

namespace {

bool drawnCursor = false;

} // namespace

void setDrawnCursorMode(bool on) { drawnCursor = on; }
bool drawnCursorMode() { return drawnCursor; }

void showSystemCursor(bool shown) { SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE); }

} // namespace glint
