#include "engine/window/key_state.h"

#include "engine/window/input_source.h"
#include "engine/window/key_map.h"

#include <SDL_keyboard.h>
#include <SDL_mouse.h>

namespace glint {

namespace {
KInputSource* installedSource = nullptr;
bool latchedPress[2] = {};
} // namespace

void setInputSource(KInputSource* source) { installedSource = source; }
KInputSource* inputSource() { return installedSource; }

bool virtualKeyDown(int virtualKey) {
    if (installedSource)
        return installedSource->keyDown(virtualKey);
    SDL_Scancode scancode = scancodeForVirtualKey(virtualKey);
    if (scancode == SDL_SCANCODE_UNKNOWN)
        return false;
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    return scancode < count && state[scancode] != 0;
}

bool virtualKeyToggled(int virtualKey) {
    if (installedSource)
        return installedSource->keyToggled(virtualKey);
    SDL_Keymod mods = SDL_GetModState();
    switch (virtualKey) {
    case vk::NumLock: return (mods & KMOD_NUM) != 0;
    case vk::Scroll: return (mods & KMOD_SCROLL) != 0;
    case vk::Capital: return (mods & KMOD_CAPS) != 0;
    default: return false;
    }
}

void latchButtonPress(int button) {
    if (button == 0 || button == 1)
        latchedPress[button] = true;
}

bool pointerButtonDown(int button) {
    if (installedSource)
        return installedSource->buttonDown(button);
    if (button != 0 && button != 1)
        return false;
    const bool latched = latchedPress[button];
    latchedPress[button] = false;
    Uint32 buttons = SDL_GetMouseState(nullptr, nullptr);
    return latched || (buttons & (button == 0 ? SDL_BUTTON_LMASK : SDL_BUTTON_RMASK)) != 0;
}

} // namespace glint
