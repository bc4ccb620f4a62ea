// Key and button levels for the application's once-per-frame input poll.
// They reflect the events the window has pumped so far.
#pragma once

namespace glint {

// A virtual key of the engine key table is held down.
bool virtualKeyDown(int virtualKey);

// A lock key (Num Lock, Scroll Lock, Caps Lock) is switched on.
bool virtualKeyToggled(int virtualKey);

// The primary (0) or secondary (1) pointer button is held down, or was
// pressed since the last time this asked (see latchButtonPress). A
// left-handed button setup is already applied by the display server, so
// the buttons never need swapping here.
bool pointerButtonDown(int button);

// The window saw the button go down. A tap on a touchpad sends the press
// and the release together, so both can come between two polls; the
// latched press lets the next poll read the button as down once, and the
// one after sees it up again.
void latchButtonPress(int button);

} // namespace glint
