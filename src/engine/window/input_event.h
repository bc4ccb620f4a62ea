// The record the game window hands to its event callback.
#pragma once

#include <cstdint>

namespace glint {

// Event types. The numbers are part of the script-facing contract (the
// application forwards some of them to scripts), so they never change.
enum KInputEventType : int32_t {
    K_EVENT_NONE = 0,
    K_EVENT_MOUSEMOVE = 1,
    K_EVENT_MOUSEUP = 2,
    K_EVENT_MOUSEDOWN = 3, // also sent just before every double click
    K_EVENT_CHAR = 5,      // a character below 256, in scanCode, without position
    K_EVENT_KEYDOWN = 6,
    K_EVENT_KEYUP = 7,
    K_EVENT_DOUBLECLICK = 8,
    K_EVENT_WHEEL = 11,
    K_EVENT_CONTEXTMENU = 12,
    K_EVENT_FOREGROUND = 13,
    K_EVENT_BACKGROUND = 14,
    // The picture was laid out anew for the size the window really has
    // (viewport and pointer mapping changed); without position.
    K_EVENT_VIEW_CHANGED = 15,
    // A typed character (character > 0) or, sent before every key-down, minus
    // the engine key code; without position.
    K_EVENT_KEYCHAR = 50,
};

// The engine key code of keys that have none.
constexpr int32_t kNoKeyCode = 103;

struct KInputEvent {
    int32_t type = K_EVENT_NONE;
    int32_t x = 0; // pointer position in game units when the event was sent
    int32_t y = 0;
    int32_t button = 0;      // 1 left, 2 right, 3 middle
    int16_t wheelDelta = 0;  // multiples of 120, positive away from the user
    uint8_t scanCode = 0;    // key down: the scan code; key up: the virtual key's low byte; type 5: the character
    int32_t virtualKey = 0;  // virtual key code (see key_map.h)
    uint32_t message = 0;    // the SDL event type it came from
    int32_t keyCode = kNoKeyCode;
    int32_t lParam = 0;      // packed details, see event_translate.h
    int32_t character = 0;
};

} // namespace glint
