#include "scene/group.h"

#include <algorithm>
#include <string_view>

#include "scene/element.h"
#include "scene/scene.h"
#include "script/script_error.h"

namespace glint {

namespace {

// The clock of the first member that is an element, in seconds.
double firstMemberTime(const MGroup& group) {
    for (ScriptElement* member : group.elements)
        if (auto* element = dynamic_cast<MElement*>(member))
            return element->time * 0.01;
    return 0;
}

// Group facts readable by scripts.
bool groupFact(const MGroup& group, Symbol* key, Value& out) {
    std::string_view name = key->view();
    if (name == "scene")
        out = group.scene ? Value::fromPointer(ValueType::Scene, group.scene) : Value();
    else if (name == "name")
        out = group.name ? Value::fromSymbol(group.name) : Value();
    else if (name == "array")
        out = group.holderArray ? Value::fromPointer(ValueType::Array, group.holderArray) : Value();
    else if (name == "index")
        out = Value::fromNumber(group.name ? group.name->arrayIndex : 0);
    else if (name == "count")
        out = Value::fromNumber(std::min<size_t>(group.elements.size(), 65535));
    else if (name == "start_time")
        out = Value::fromNumber(group.startTime);
    else if (name == "loop_time")
        out = Value::fromNumber(group.loopTime);
    else if (name == "time")
        out = Value::fromNumber(firstMemberTime(group));
    else
        return false;
    return true;
}

} // namespace

MScene* MGroup::owner() const { return static_cast<MScene*>(scene); }

bool MGroup::getProperty(Symbol* key, Value& out) {
    if (groupFact(*this, key, out))
        return true;
    return ScriptGroup::getProperty(key, out);
}

bool MGroup::setProperty(Symbol* key, const Value& value) {
    Value ignored;
    if (!groupFact(*this, key, ignored))
        return ScriptGroup::setProperty(key, value);
    scriptError("Invalid property %s", key->text);
    return false;
}

void MGroup::storeTimes() {
    startTime = loopTime = 0;
    for (ScriptElement* member : elements) {
        auto* element = dynamic_cast<MElement*>(member);
        if (!element || !element->visual)
            continue;
        startTime = std::max(startTime, element->visual->startTime);
        loopTime = std::max(loopTime, element->visual->loopTime);
    }
}

} // namespace glint
