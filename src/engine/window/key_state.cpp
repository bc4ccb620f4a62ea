#include "engine/window/key_state.h"

#include "engine/window/input_source.h"
#include "engine/window/key_map.h"

#include <SDL_keyboard.h>
#include <SDL_mouse.h>

namespace glint {

namespace {
KInputSource* installedSource = nullptr;
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

bool pointerButtonDown(int button) {
    if (installedSource)
        return installedSource->buttonDown(button);
    Uint32 buttons = SDL_GetMouseState(nullptr, nullptr);
    switch (button) {
    case 0: return (buttons & SDL_BUTTON_LMASK) != 0;
    case 1: return (buttons & SDL_BUTTON_RMASK) != 0;
    default: return false;
    }
}

} // namespace glint
