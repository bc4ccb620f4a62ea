// Whether the game draws its own pointer. In that mode the system cursor is
// hidden over the game picture and shown again while the window is in the
// background or the pointer is outside the client area.
#pragma once

namespace glint {

void setDrawnCursorMode(bool on);
bool drawnCursorMode();

// Shows or hides the system cursor over the window.
void showSystemCursor(bool shown);

} // namespace glint
