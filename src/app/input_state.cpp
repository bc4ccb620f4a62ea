#include "app/input_state.h"

#include "engine/window/game_window.h"
#include "engine/window/key_map.h"
#include "engine/window/key_state.h"

#include <cstring>

namespace glint {

namespace {

constexpr int kNumLockKey = 83;
constexpr int kScrollLockKey = 84;

bool engineKeyDown(int code) {
    if (code == 0 || code >= kEngineKeyCount)
        return false;
    int virtualKey = engineKeyVirtualKeys[code];
    if (code == kNumLockKey || code == kScrollLockKey)
        return virtualKeyToggled(virtualKey);
    return virtualKeyDown(virtualKey);
}

// Sets the edges of one key or button for a change of level.
void applyTransition(bool down, uint8_t& previous, uint8_t& pressed, uint8_t& released, uint8_t& held) {
    if (down && !previous) {
        pressed = 1;
        held = 1;
        released = 0;
    } else if (!down && previous) {
        released = 1;
        pressed = 0;
        held = 0;
    }
}

} // namespace

void InputEdges::clearEdges() {
    std::memset(keyPressed, 0, sizeof keyPressed);
    std::memset(keyReleased, 0, sizeof keyReleased);
    std::memset(buttonPressed, 0, sizeof buttonPressed);
    std::memset(buttonReleased, 0, sizeof buttonReleased);
}

void InputEdges::clearAll() {
    clearEdges();
    std::memset(keyHeld, 0, sizeof keyHeld);
    std::memset(buttonHeld, 0, sizeof buttonHeld);
}

bool InputEdges::consumeClick() {
    if (!buttonPressed[0])
        return false;
    buttonPressed[0] = 0;
    return true;
}

int16_t pointerGameCoordinate(int client, float offset, float scale) {
    auto units = static_cast<int32_t>((static_cast<float>(client) - offset) * scale);
    return static_cast<int16_t>(static_cast<uint16_t>(units));
}

InputReading readPlatformInput(const KGameWindow* window) {
    InputReading reading;
    for (int code = 0; code < kKeySlots; ++code)
        reading.keys[code] = engineKeyDown(code);
    reading.buttons[0] = pointerButtonDown(0);
    reading.buttons[1] = pointerButtonDown(1);
    if (window && window->exists()) {
        int clientX = 0, clientY = 0;
        window->clientPointer(&clientX, &clientY);
        const PointerMapping& mapping = window->pointerMapping();
        reading.pointerX = pointerGameCoordinate(clientX, mapping.offsetX, mapping.scaleX);
        reading.pointerY = pointerGameCoordinate(clientY, mapping.offsetY, mapping.scaleY);
    }
    return reading;
}

void applyInputReading(InputLevels& levels, InputEdges* engine, const InputReading& reading) {
    for (int i = 0; i < kKeySlots; ++i) {
        levels.keyCur[i] = reading.keys[i];
        if (engine)
            applyTransition(reading.keys[i], levels.keyPrev[i], engine->keyPressed[i], engine->keyReleased[i],
                            engine->keyHeld[i]);
    }
    float x = reading.pointerX, y = reading.pointerY;
    if (engine && (x != levels.pointerX || y != levels.pointerY)) {
        engine->pointerX = x;
        engine->pointerY = y;
    }
    levels.pointerX = x;
    levels.pointerY = y;
    for (int i = 0; i < kButtonSlots; ++i) {
        levels.buttonCur[i] = reading.buttons[i];
        if (engine)
            applyTransition(reading.buttons[i], levels.buttonPrev[i], engine->buttonPressed[i],
                            engine->buttonReleased[i], engine->buttonHeld[i]);
    }
    std::memcpy(levels.keyPrev, levels.keyCur, sizeof levels.keyPrev);
    std::memcpy(levels.buttonPrev, levels.buttonCur, sizeof levels.buttonPrev);
}

} // namespace glint
