#include "engine/window/cursor_mode.h"

namespace glint {

namespace {

bool drawnCursor = false;

} // namespace

void setDrawnCursorMode(bool on) { drawnCursor = on; }
bool drawnCursorMode() { return drawnCursor; }

} // namespace glint
