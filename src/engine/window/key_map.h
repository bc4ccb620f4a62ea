// Keys: the engine key codes, the virtual key numbers they are defined by,
// and the translation of SDL keys into both.
//
// The engine names its keys by code 0-102 (103 = none); each code stands for
// one virtual key, numbered as on the desktop system the games were made for
// ("A" is 0x41, the left Shift 0xA0, the generic Shift 0x10). Scripts and
// stored options see only engine codes, so the virtual key numbering is kept
// as the engine's own platform-neutral key vocabulary.
#pragma once

#include <SDL_keycode.h>
#include <SDL_scancode.h>

#include "engine/window/input_event.h"

#include <cstdint>

namespace glint {

namespace vk {
constexpr int Back = 0x08, Tab = 0x09, Clear = 0x0C, Return = 0x0D;
constexpr int Shift = 0x10, Control = 0x11, Menu = 0x12, Pause = 0x13, Capital = 0x14;
constexpr int Escape = 0x1B, Space = 0x20, Prior = 0x21, Next = 0x22, End = 0x23, Home = 0x24;
constexpr int Left = 0x25, Up = 0x26, Right = 0x27, Down = 0x28;
constexpr int Snapshot = 0x2C, Insert = 0x2D, Delete = 0x2E;
constexpr int Digit0 = 0x30, LetterA = 0x41;
constexpr int LWin = 0x5B, RWin = 0x5C, Apps = 0x5D;
constexpr int Numpad0 = 0x60, Multiply = 0x6A, Add = 0x6B, Subtract = 0x6D, Decimal = 0x6E, Divide = 0x6F;
constexpr int F1 = 0x70, F13 = 0x7C;
constexpr int NumLock = 0x90, Scroll = 0x91;
constexpr int LShift = 0xA0, RShift = 0xA1, LControl = 0xA2, RControl = 0xA3, LMenu = 0xA4, RMenu = 0xA5;
constexpr int Oem1 = 0xBA, OemPlus = 0xBB, OemComma = 0xBC, OemMinus = 0xBD, OemPeriod = 0xBE;
constexpr int Oem2 = 0xBF, Oem3 = 0xC0, Oem4 = 0xDB, Oem5 = 0xDC, Oem6 = 0xDD, Oem7 = 0xDE, Oem102 = 0xE2;
} // namespace vk

constexpr int kEngineKeyCount = 103; // codes 0-102; 103 is "no key"

// The virtual key of every engine key code (code 0 is 0 and never down).
extern const uint8_t engineKeyVirtualKeys[kEngineKeyCount];

// The engine code of a virtual key: 103 when it has none or is above 255.
int keyCodeFor(int virtualKey);

// The virtual key a key press reports, as the desktop system would: letters
// and digits follow the keyboard layout, other keys their position; the
// modifiers report their generic keys (Shift, Control, Alt), which have no
// engine code. 0 for keys without a virtual key.
int virtualKeyForSdlKey(SDL_Keycode key, SDL_Scancode scancode);

// The physical key the input poll reads for a virtual key of the engine
// table, under the current keyboard layout; SDL_SCANCODE_UNKNOWN when none.
SDL_Scancode scancodeForVirtualKey(int virtualKey);

} // namespace glint
