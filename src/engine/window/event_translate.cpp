#include "engine/window/event_translate.h"

#include "engine/system/utf.h"
#include "engine/window/key_map.h"

#include <algorithm>
#include <cmath>

namespace glint {

namespace {

constexpr int kWheelNotch = 120;

int32_t packClient(int x, int y) {
    return static_cast<int32_t>((static_cast<uint32_t>(y) << 16) | (static_cast<uint32_t>(x) & 0xFFFF));
}

int32_t packKey(const SDL_KeyboardEvent& key) {
    uint32_t packed = 1 | (static_cast<uint32_t>(key.keysym.scancode) & 0xFF) << 16;
    if (key.repeat || key.type == SDL_KEYUP)
        packed |= 1u << 30;
    if (key.type == SDL_KEYUP)
        packed |= 1u << 31;
    return static_cast<int32_t>(packed);
}

int engineButton(Uint8 button) {
    switch (button) {
    case SDL_BUTTON_LEFT: return 1;
    case SDL_BUTTON_RIGHT: return 2;
    case SDL_BUTTON_MIDDLE: return 3;
    default: return 0;
    }
}

class Builder {
public:
    Builder(const SDL_Event& event, const PointerMapping& mapping, int clientX, int clientY)
        : event_(event), mapping_(mapping), clientX_(clientX), clientY_(clientY) {}

    KInputEvent& add(int32_t type, bool withPosition = true) {
        KInputEvent& added = events_.emplace_back();
        added.type = type;
        added.message = event_.type;
        if (withPosition) {
            added.x = gameXForClient(mapping_, clientX_);
            added.y = gameYForClient(mapping_, clientY_);
            added.lParam = packClient(clientX_, clientY_);
        }
        return added;
    }

    void character(char16_t unit) {
        if (unit < 256) {
            KInputEvent& narrow = add(K_EVENT_CHAR, false);
            narrow.scanCode = static_cast<uint8_t>(unit);
            narrow.lParam = 1;
        }
        KInputEvent& typed = add(K_EVENT_KEYCHAR, false);
        typed.character = unit;
        typed.lParam = 1;
    }

    void at(int clientX, int clientY) {
        clientX_ = clientX;
        clientY_ = clientY;
    }

    std::vector<KInputEvent> take() { return std::move(events_); }

private:
    const SDL_Event& event_;
    const PointerMapping& mapping_;
    int clientX_, clientY_;
    std::vector<KInputEvent> events_;
};

// The control character a key types, or 0.
char16_t controlCharacter(int virtualKey, Uint16 mods) {
    if (mods & (KMOD_CTRL | KMOD_ALT))
        return 0;
    switch (virtualKey) {
    case vk::Back: return 8;
    case vk::Tab: return 9;
    case vk::Return: return 13;
    case vk::Escape: return 27;
    default: return 0;
    }
}

void translateButton(Builder& out, const SDL_MouseButtonEvent& button) {
    int engine = engineButton(button.button);
    if (engine == 0)
        return;
    out.at(button.x, button.y);
    if (button.type == SDL_MOUSEBUTTONUP) {
        out.add(K_EVENT_MOUSEUP).button = engine;
        if (engine == 2)
            out.add(K_EVENT_CONTEXTMENU);
        return;
    }
    out.add(K_EVENT_MOUSEDOWN).button = engine;
    if (button.clicks >= 2 && button.clicks % 2 == 0)
        out.add(K_EVENT_DOUBLECLICK).button = engine;
}

void translateWheel(Builder& out, const SDL_MouseWheelEvent& wheel) {
    float notches = wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -wheel.preciseY : wheel.preciseY;
    long delta = std::lround(notches * kWheelNotch);
    if (delta == 0)
        return;
    out.at(wheel.mouseX, wheel.mouseY);
    out.add(K_EVENT_WHEEL).wheelDelta = static_cast<int16_t>(std::clamp<long>(delta, INT16_MIN, INT16_MAX));
}

void translateKey(Builder& out, const SDL_KeyboardEvent& key) {
    int virtualKey = virtualKeyForSdlKey(key.keysym.sym, key.keysym.scancode);
    int keyCode = virtualKey != 0 ? keyCodeFor(virtualKey) : kNoKeyCode;
    if (key.type == SDL_KEYUP) {
        KInputEvent& up = out.add(K_EVENT_KEYUP);
        up.virtualKey = virtualKey;
        up.keyCode = keyCode;
        up.scanCode = static_cast<uint8_t>(virtualKey);
        up.lParam = packKey(key);
        if (virtualKey == vk::Apps)
            out.add(K_EVENT_CONTEXTMENU);
        return;
    }
    KInputEvent& code = out.add(K_EVENT_KEYCHAR, false);
    code.keyCode = keyCode;
    code.character = -keyCode;
    code.lParam = packKey(key);
    KInputEvent& down = out.add(K_EVENT_KEYDOWN);
    down.virtualKey = virtualKey;
    down.keyCode = keyCode;
    down.scanCode = static_cast<uint8_t>(key.keysym.scancode);
    down.lParam = packKey(key);
    if (virtualKey == vk::F1 + 9 && (key.keysym.mod & KMOD_SHIFT))
        out.add(K_EVENT_CONTEXTMENU);
    if (char16_t control = controlCharacter(virtualKey, key.keysym.mod))
        out.character(control);
}

void translateText(Builder& out, const SDL_TextInputEvent& text) {
    char16_t units[SDL_TEXTINPUTEVENT_TEXT_SIZE + 1];
    utf8ToUtf16(units, text.text, SDL_TEXTINPUTEVENT_TEXT_SIZE + 1);
    for (const char16_t* unit = units; *unit; ++unit)
        out.character(*unit);
}

} // namespace

std::vector<KInputEvent> translateEvent(const SDL_Event& event, const PointerMapping& mapping, int pointerClientX,
                                        int pointerClientY) {
    Builder out(event, mapping, pointerClientX, pointerClientY);
    switch (event.type) {
    case SDL_MOUSEMOTION:
        out.at(event.motion.x, event.motion.y);
        out.add(K_EVENT_MOUSEMOVE);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: translateButton(out, event.button); break;
    case SDL_MOUSEWHEEL: translateWheel(out, event.wheel); break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: translateKey(out, event.key); break;
    case SDL_TEXTINPUT: translateText(out, event.text); break;
    default: break;
    }
    return out.take();
}

} // namespace glint
