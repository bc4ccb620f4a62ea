// A layer of the scene stack with its opening and closing animation: the
// zoom zone of a scene, an item scene or a sub-scene.
#pragma once

#include <cstdint>

namespace glint {

class MScene;

enum LayerSlotState : int32_t {
    kSlotIdle = 0,
    kSlotOpening = 1,
    kSlotClosing = 2,
};

struct LayerSlot {
    MScene* scene = nullptr;     // shown in the slot
    MScene* nextScene = nullptr; // opens once the current one has closed
    int32_t state = kSlotIdle;
    int32_t step = 0;            // ticks done in the current animation
    int32_t steps = 1;           // length of the current animation, at least 1
    float visibility = 0;        // 0 to 1

    bool idle() const { return state == kSlotIdle; }
    bool shows() const { return scene != nullptr; }
};

} // namespace glint
