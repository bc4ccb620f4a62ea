// The optional records of an element: present only while they hold
// something other than the default, taken from engine-wide pools with free
// lists and given back when dropped.
#pragma once

#include <cstddef>
#include <cstdint>

namespace glint {

class MElement;
struct ScriptTask;

struct MElementOffset {
    float x = 0, y = 0, z = 0;
    bool isZero() const { return x == 0 && y == 0 && z == 0; }
};

struct MElementScale {
    float uniform = 1, x = 1, y = 1;
    bool isOne() const { return uniform == 1 && x == 1 && y == 1; }
};

// Replaces the visual's size for this element alone.
struct MSizeOverride {
    float w = 0, h = 0;
};

// Drives the element's clock from `from` towards `to` (ticks, both <= 0;
// 0 for an open-ended run).
struct MTimeControl {
    int32_t from = 0, to = 0;
    float speed = 1; // ticks per tick, at least kMinTimeControlSpeed
    ScriptTask* task = nullptr;
};
constexpr float kMinTimeControlSpeed = 0.01f;

struct MFade {
    int32_t duration = 0, progress = 0; // ticks
    bool fadeIn = false;
    bool noWait = false;
    ScriptTask* task = nullptr;
};

struct MBlend {
    int32_t duration = 0, progress = 0; // ticks
    bool blendIn = false;
    bool noWait = false;
    ScriptTask* task = nullptr;
};

// While the pointer is on element, highlight fades in and element grows
// towards hoverScale; an inactive link fades out and is then dropped.
struct MHoverLink {
    bool active = true;
    MElement* element = nullptr;
    MElement* highlight = nullptr; // or null
    float hoverScale = 1;          // 1, or at most 0.01: no growth
    float level = 0;               // hover strength, 0 to 1
};

// A fresh (default) record of the kind, and its return to the pool; a null
// record is ignored.
template <class Record> Record* takeRecord();
template <class Record> void returnRecord(Record* record);

// Records of each kind in use, for tests that watch records come and go.
template <class Record> size_t recordsInUse();

} // namespace glint
