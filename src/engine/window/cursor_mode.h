// Whether the game draws its own pointer (the engine has hidden the system
// cursor). In that mode the system cursor is hidden over the game picture
// and shown again while the window is in the background or the pointer is
// outside the client area; system_cursor.h does the showing and hiding.
#pragma once

namespace glint {

void setDrawnCursorMode(bool on);
bool drawnCursorMode();

} // namespace glint
