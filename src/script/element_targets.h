// The elements a command's target stands for: the element itself, a
// group's elements or an array's element items; any other value none.
#pragma once

#include "script/array_object.h"
#include "script/host_objects.h"
#include "script/value.h"

namespace glint {

template <class Action> void forEachElement(const Value& target, Action action) {
    if (target.is(ValueType::Element) && target.pointer) {
        action(*target.as<ScriptElement>());
    } else if (target.is(ValueType::Group) && target.pointer) {
        for (ScriptElement* element : target.as<ScriptGroup>()->elements)
            if (element) action(*element);
    } else if (target.is(ValueType::Array) && target.pointer) {
        for (Value* cell : target.as<ArrayObject>()->items)
            if (cell && cell->is(ValueType::Element) && cell->pointer) action(*cell->as<ScriptElement>());
    }
}

} // namespace glint
