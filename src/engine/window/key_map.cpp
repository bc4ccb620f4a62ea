#include "engine/window/key_map.h"

#include <SDL_keyboard.h>

#include <array>

namespace glint {

const uint8_t engineKeyVirtualKeys[kEngineKeyCount] = {
    0,
    vk::Left, vk::Up, vk::Down, vk::Right, vk::Space, vk::LShift, vk::RShift, vk::Return,
    vk::RControl, vk::LControl,
    vk::F1, vk::F1 + 1, vk::F1 + 2, vk::F1 + 3, vk::F1 + 4, vk::F1 + 5,
    vk::F1 + 6, vk::F1 + 7, vk::F1 + 8, vk::F1 + 9, vk::F1 + 10, vk::F1 + 11,
    vk::Back, vk::Tab, vk::Escape,
    'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M',
    'N', 'O', 'P', 'Q', 'R', 'S', 'T', 'U', 'V', 'W', 'X', 'Y', 'Z',
    '0', '1', '2', '3', '4', '5', '6', '7', '8', '9',
    vk::Numpad0, vk::Numpad0 + 1, vk::Numpad0 + 2, vk::Numpad0 + 3, vk::Numpad0 + 4,
    vk::Numpad0 + 5, vk::Numpad0 + 6, vk::Numpad0 + 7, vk::Numpad0 + 8, vk::Numpad0 + 9,
    vk::Multiply, vk::Add, vk::Subtract, vk::Decimal, vk::Divide, vk::Clear,
    vk::LMenu, vk::RMenu, vk::LWin, vk::RWin, vk::Apps, vk::NumLock, vk::Scroll,
    vk::Oem1, vk::OemPlus, vk::OemComma, vk::OemMinus, vk::OemPeriod, vk::Oem2, vk::Oem3,
    vk::Oem4, vk::Oem5, vk::Oem6, vk::Oem7,
    vk::End, vk::Home, vk::Delete, vk::Insert, vk::Snapshot, vk::Prior, vk::Next,
};

namespace {

// The inverse of the engine table; the table is fixed, so it is built once.
const std::array<uint8_t, 256> keyCodes = [] {
    std::array<uint8_t, 256> codes{};
    codes.fill(static_cast<uint8_t>(kNoKeyCode));
    for (int code = 0; code < kEngineKeyCount; ++code)
        codes[engineKeyVirtualKeys[code]] = static_cast<uint8_t>(code);
    return codes;
}();

struct NamedKey {
    SDL_Keycode key;
    int virtualKey;
};

// Keys that name themselves whatever the layout.
constexpr NamedKey namedKeys[] = {
    {SDLK_BACKSPACE, vk::Back}, {SDLK_TAB, vk::Tab}, {SDLK_CLEAR, vk::Clear}, {SDLK_KP_CLEAR, vk::Clear},
    {SDLK_RETURN, vk::Return}, {SDLK_KP_ENTER, vk::Return}, {SDLK_PAUSE, vk::Pause},
    {SDLK_CAPSLOCK, vk::Capital}, {SDLK_ESCAPE, vk::Escape}, {SDLK_SPACE, vk::Space},
    {SDLK_PAGEUP, vk::Prior}, {SDLK_PAGEDOWN, vk::Next}, {SDLK_END, vk::End}, {SDLK_HOME, vk::Home},
    {SDLK_LEFT, vk::Left}, {SDLK_UP, vk::Up}, {SDLK_RIGHT, vk::Right}, {SDLK_DOWN, vk::Down},
    {SDLK_PRINTSCREEN, vk::Snapshot}, {SDLK_INSERT, vk::Insert}, {SDLK_DELETE, vk::Delete},
    {SDLK_LGUI, vk::LWin}, {SDLK_RGUI, vk::RWin}, {SDLK_APPLICATION, vk::Apps},
    {SDLK_KP_0, vk::Numpad0}, {SDLK_KP_1, vk::Numpad0 + 1}, {SDLK_KP_2, vk::Numpad0 + 2},
    {SDLK_KP_3, vk::Numpad0 + 3}, {SDLK_KP_4, vk::Numpad0 + 4}, {SDLK_KP_5, vk::Numpad0 + 5},
    {SDLK_KP_6, vk::Numpad0 + 6}, {SDLK_KP_7, vk::Numpad0 + 7}, {SDLK_KP_8, vk::Numpad0 + 8},
    {SDLK_KP_9, vk::Numpad0 + 9}, {SDLK_KP_MULTIPLY, vk::Multiply}, {SDLK_KP_PLUS, vk::Add},
    {SDLK_KP_MINUS, vk::Subtract}, {SDLK_KP_PERIOD, vk::Decimal}, {SDLK_KP_DIVIDE, vk::Divide},
    {SDLK_NUMLOCKCLEAR, vk::NumLock}, {SDLK_SCROLLLOCK, vk::Scroll},
    {SDLK_LSHIFT, vk::Shift}, {SDLK_RSHIFT, vk::Shift}, {SDLK_LCTRL, vk::Control}, {SDLK_RCTRL, vk::Control},
    {SDLK_LALT, vk::Menu}, {SDLK_RALT, vk::Menu},
    {SDLK_F1, vk::F1}, {SDLK_F2, vk::F1 + 1}, {SDLK_F3, vk::F1 + 2}, {SDLK_F4, vk::F1 + 3},
    {SDLK_F5, vk::F1 + 4}, {SDLK_F6, vk::F1 + 5}, {SDLK_F7, vk::F1 + 6}, {SDLK_F8, vk::F1 + 7},
    {SDLK_F9, vk::F1 + 8}, {SDLK_F10, vk::F1 + 9}, {SDLK_F11, vk::F1 + 10}, {SDLK_F12, vk::F1 + 11},
    {SDLK_F13, vk::F13}, {SDLK_F14, vk::F13 + 1}, {SDLK_F15, vk::F13 + 2}, {SDLK_F16, vk::F13 + 3},
    {SDLK_F17, vk::F13 + 4}, {SDLK_F18, vk::F13 + 5}, {SDLK_F19, vk::F13 + 6}, {SDLK_F20, vk::F13 + 7},
    {SDLK_F21, vk::F13 + 8}, {SDLK_F22, vk::F13 + 9}, {SDLK_F23, vk::F13 + 10}, {SDLK_F24, vk::F13 + 11},
};

struct PositionalKey {
    SDL_Scancode scancode;
    int virtualKey;
};

// Punctuation keys report their position on the US layout, as the desktop
// system's OEM codes do.
constexpr PositionalKey punctuationKeys[] = {
    {SDL_SCANCODE_SEMICOLON, vk::Oem1}, {SDL_SCANCODE_EQUALS, vk::OemPlus},
    {SDL_SCANCODE_COMMA, vk::OemComma}, {SDL_SCANCODE_MINUS, vk::OemMinus},
    {SDL_SCANCODE_PERIOD, vk::OemPeriod}, {SDL_SCANCODE_SLASH, vk::Oem2},
    {SDL_SCANCODE_GRAVE, vk::Oem3}, {SDL_SCANCODE_LEFTBRACKET, vk::Oem4},
    {SDL_SCANCODE_BACKSLASH, vk::Oem5}, {SDL_SCANCODE_RIGHTBRACKET, vk::Oem6},
    {SDL_SCANCODE_APOSTROPHE, vk::Oem7}, {SDL_SCANCODE_NONUSBACKSLASH, vk::Oem102},
};

// The left and right modifiers the poll tells apart.
constexpr PositionalKey sidedModifiers[] = {
    {SDL_SCANCODE_LSHIFT, vk::LShift}, {SDL_SCANCODE_RSHIFT, vk::RShift},
    {SDL_SCANCODE_LCTRL, vk::LControl}, {SDL_SCANCODE_RCTRL, vk::RControl},
    {SDL_SCANCODE_LALT, vk::LMenu}, {SDL_SCANCODE_RALT, vk::RMenu},
};

bool isLetter(int virtualKey) { return virtualKey >= 'A' && virtualKey <= 'Z'; }
bool isDigit(int virtualKey) { return virtualKey >= '0' && virtualKey <= '9'; }

// Letter and digit keys by position, for layouts whose keys produce other
// characters (their virtual keys are still the Latin ones).
int letterOrDigitAt(SDL_Scancode scancode) {
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        return 'A' + (scancode - SDL_SCANCODE_A);
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
        return '1' + (scancode - SDL_SCANCODE_1);
    if (scancode == SDL_SCANCODE_0)
        return '0';
    return 0;
}

// Named keys sit at one place on every layout.
SDL_Scancode scancodeOfNamedKey(SDL_Keycode key) {
    if (key & SDLK_SCANCODE_MASK)
        return static_cast<SDL_Scancode>(key & ~SDLK_SCANCODE_MASK);
    switch (key) {
    case SDLK_BACKSPACE: return SDL_SCANCODE_BACKSPACE;
    case SDLK_TAB: return SDL_SCANCODE_TAB;
    case SDLK_RETURN: return SDL_SCANCODE_RETURN;
    case SDLK_ESCAPE: return SDL_SCANCODE_ESCAPE;
    case SDLK_SPACE: return SDL_SCANCODE_SPACE;
    case SDLK_DELETE: return SDL_SCANCODE_DELETE;
    default: return SDL_SCANCODE_UNKNOWN;
    }
}

SDL_Scancode scancodeOfLetterOrDigit(int virtualKey) {
    if (isLetter(virtualKey))
        return static_cast<SDL_Scancode>(SDL_SCANCODE_A + (virtualKey - 'A'));
    if (virtualKey == '0')
        return SDL_SCANCODE_0;
    return static_cast<SDL_Scancode>(SDL_SCANCODE_1 + (virtualKey - '1'));
}

} // namespace

int keyCodeFor(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255)
        return kNoKeyCode;
    return keyCodes[static_cast<size_t>(virtualKey)];
}

int virtualKeyForSdlKey(SDL_Keycode key, SDL_Scancode scancode) {
    if (key >= SDLK_a && key <= SDLK_z)
        return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9)
        return key;
    for (const NamedKey& named : namedKeys) {
        if (named.key == key)
            return named.virtualKey;
    }
    for (const PositionalKey& punctuation : punctuationKeys) {
        if (punctuation.scancode == scancode)
            return punctuation.virtualKey;
    }
    return letterOrDigitAt(scancode);
}

SDL_Scancode scancodeForVirtualKey(int virtualKey) {
    for (const PositionalKey& modifier : sidedModifiers) {
        if (modifier.virtualKey == virtualKey)
            return modifier.scancode;
    }
    for (const PositionalKey& punctuation : punctuationKeys) {
        if (punctuation.virtualKey == virtualKey)
            return punctuation.scancode;
    }
    if (isLetter(virtualKey) || isDigit(virtualKey)) {
        SDL_Keycode key = isLetter(virtualKey) ? SDLK_a + (virtualKey - 'A') : virtualKey;
        SDL_Scancode scancode = SDL_GetScancodeFromKey(key);
        return scancode != SDL_SCANCODE_UNKNOWN ? scancode : scancodeOfLetterOrDigit(virtualKey);
    }
    for (const NamedKey& named : namedKeys) {
        if (named.virtualKey == virtualKey)
            return scancodeOfNamedKey(named.key);
    }
    return SDL_SCANCODE_UNKNOWN;
}

} // namespace glint
