// What the element commands share: their targets as scene elements, and
// the callbacks of the second file for the registration.
#pragma once

#include <algorithm>
#include <cmath>

#include "scene/element.h"
#include "script/element_targets.h"

namespace glint {

// The scene element an argument holds, or null.
inline MElement* elementArgument(const Value& value) {
    return value.is(ValueType::Element) && value.pointer ? dynamic_cast<MElement*>(value.as<ScriptElement>())
                                                         : nullptr;
}

// Every scene element a target stands for, marked as changed by a script.
template <class Action> void forEachChangedElement(const Value& target, Action action) {
    forEachElement(target, [&](ScriptElement& scriptElement) {
        auto* element = dynamic_cast<MElement*>(&scriptElement);
        if (!element)
            return;
        action(*element);
        element->markChangedByScript();
        element->markTransformDirty();
    });
}

// A number argument, or fallback for a missing or other value.
inline float numberArgument(const Value* args, int count, int i, float fallback) {
    return i < count && args[i].isNumber() ? static_cast<float>(args[i].number) : fallback;
}

// A colour factor (0 to 1) as a byte, rounded and clamped.
inline uint8_t colourByte(float value) {
    return static_cast<uint8_t>(std::clamp<int64_t>(roundToInteger(value * 255.0), 0, 255));
}

// Colour arguments within 0.001 of white leave an element's colour alone.
inline bool differsFromWhite(const float (&rgb)[3]) {
    return std::any_of(std::begin(rgb), std::end(rgb), [](float v) { return std::fabs(v - 1) > 0.001f; });
}

uint32_t commandCheckHit(Value* args, int count);
uint32_t commandGetImageW(Value* args, int count);
uint32_t commandGetImageH(Value* args, int count);
uint32_t commandSetTextAlign(Value* args, int count);
uint32_t commandSetTextProps(Value* args, int count);
uint32_t commandSetHover(Value* args, int count);

} // namespace glint
