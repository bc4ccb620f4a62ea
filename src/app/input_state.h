// The engine's view of the keyboard and the pointer buttons: levels as of
// the last poll, and the pressed and released edges that stay set until a
// clearing point, so that a press between two ticks is seen by the next one.
#pragma once

#include <cstdint>

namespace glint {

class KGameWindow;

constexpr int kKeySlots = 256;
constexpr int kButtonSlots = 8;
constexpr int kEscapeKey = 25;

// What the application remembers between polls.
struct InputLevels {
    uint8_t keyPrev[kKeySlots] = {};
    uint8_t keyCur[kKeySlots] = {};
    uint8_t buttonPrev[kButtonSlots] = {};
    uint8_t buttonCur[kButtonSlots] = {};
    float pointerX = 0, pointerY = 0;
};

// What the game logic of the running engine reads.
struct InputEdges {
    uint8_t keyPressed[kKeySlots] = {};
    uint8_t keyReleased[kKeySlots] = {};
    uint8_t keyHeld[kKeySlots] = {};
    uint8_t buttonPressed[kButtonSlots] = {};
    uint8_t buttonReleased[kButtonSlots] = {};
    uint8_t buttonHeld[kButtonSlots] = {};
    // Moved only when the polled position changes, so engine code may place
    // it between movements.
    float pointerX = 0, pointerY = 0;

    // The clearing points: edges go, held levels stay.
    void clearEdges();
    // Engine start: everything goes.
    void clearAll();
    // Takes the primary button's pressed edge if it is set.
    bool consumeClick();
};

// One reading of the platform: levels of engine keys 0-255 and buttons, and
// the pointer in game units.
struct InputReading {
    bool keys[kKeySlots] = {};
    bool buttons[kButtonSlots] = {};
    int16_t pointerX = 0, pointerY = 0;
};

// Reads the platform through the window's event state (key map, lock
// toggles, buttons, pointer mapping); without a window the pointer is 0, 0.
InputReading readPlatformInput(const KGameWindow* window);

// Applies a reading: transitions set edges in engine (when one runs), the
// engine pointer follows a moved pointer, and the reading becomes previous.
void applyInputReading(InputLevels& levels, InputEdges* engine, const InputReading& reading);

// The poll's pointer rule: client pixels minus the picture's offset, times
// the scale, truncated, kept to its low 16 bits.
int16_t pointerGameCoordinate(int client, float offset, float scale);

} // namespace glint
