// SDL events -> engine input events.
//
// The translation follows what the games were written against: a key press
// first reports minus its engine key code (type 50; -103 for keys without
// one), then the key itself (type 6); typed characters report type 5 (below 256) and type 50, one
// UTF-16 unit at a time; a second click reports a button-down copy and then
// the double click; releasing the right button, the Applications key or
// pressing Shift+F10 also asks for the context menu. Backspace, Tab, Return
// and Escape type their control characters, which SDL's text input leaves out.
//
// lParam: pointer events pack the client position (x in the low 16 bits,
// y in the high 16); key events the repeat count 1, the scan code's low
// byte in bits 16-23, bit 30 for a repeat or a release and bit 31 for a
// release; character events 1.
#pragma once

#include "engine/window/input_event.h"
#include "engine/window/screen_mapping.h"

#include <SDL_events.h>

#include <vector>

namespace glint {

// The events an SDL event turns into, in sending order. Events without
// a position of their own take the pointer's client position given.
std::vector<KInputEvent> translateEvent(const SDL_Event& event, const PointerMapping& mapping, int pointerClientX,
                                        int pointerClientY);

} // namespace glint
