// The script scope of a scene in a saved game: its variables, the members
// of its arrays, its tasks with their sub-tasks, signals, functions and
// pending delayed calls.
#include <cstring>
#include <string>

#include "game/save_state.h"
#include "game/save_trace.h"
#include "game/save_values.h"
#include "scene/element.h"
#include "script/array_object.h"
#include "script/declarations.h"
#include "script/heap.h"
#include "script/interpreter.h"
#include "script/script_system.h"

namespace glint {

namespace {

// A file with more delayed calls in one scope, or more arguments in one
// call, than any game makes is damaged.
constexpr int32_t kMaxSavedDelayedCalls = 1 << 16;
constexpr int32_t kMaxSavedArguments = 255;

bool endsWithBrackets(const Symbol* name) {
    return name && name->length >= 2 && std::memcmp(name->text + name->length - 2, "[]", 2) == 0;
}

// The name's own first character (after the "?" of a profile name) is a
// lowercase letter or "_", and the switches select it.
bool selected(const Symbol* name, bool infoNames, bool otherNames) {
    if (!name || name->length == 0)
        return false;
    bool info = name->text[0] == '?';
    if (info ? !infoNames : !otherNames)
        return false;
    char c = info ? (name->length > 1 ? name->text[1] : 0) : name->text[0];
    return (c >= 'a' && c <= 'z') || c == '_';
}

bool arrayHasChanges(const ArrayObject& array) {
    for (Value* cell : array.items) {
        if (!cell)
            continue;
        if (!cell->unchanged() || cell->is(ValueType::Array) || cell->is(ValueType::Instance) ||
            cell->is(ValueType::Method))
            return true;
    }
    return hasChangedValues(array.members);
}

// An array's items in the variable section: changed items only.
bool arrayItems(SaveStream& s, ArrayObject* array) { return arrayContent(s, array, true, false); }

// A section listed as one object of the readable listing.
template <class F> bool traced(SaveStream& s, const char* key, F section) {
    bool listed = s.trace && s.reading();
    if (listed)
        s.trace->beginObject(key);
    bool ok = section();
    if (ok && listed)
        s.trace->endObject();
    return ok;
}

bool endOfSection(SaveStream& s) {
    Symbol* none = nullptr;
    return s.nameField(none);
}

bool writeVariables(SaveStream& s, Scope& scope, bool infoNames, bool otherNames) {
    for (VariableEntry* entry : scope.list(KindPlain)) {
        Symbol* name = entry->name;
        if (!selected(name, infoNames, otherNames))
            continue;
        if (entry->array) {
            if (!arrayHasChanges(*entry->array))
                continue;
            if (!s.nameField(name) || !arrayItems(s, entry->array))
                return false;
        } else if (!entry->cell->unchanged() && !leftOutOfSave(s, *entry->cell, name)) {
            if (!s.nameField(name) || !valueRecord(s, *entry->cell))
                return false;
        }
    }
    return endOfSection(s);
}

bool readVariables(SaveStream& s, Scope* scope, bool infoNames, bool otherNames, SaveKeyLookup* lookup) {
    for (;;) {
        Symbol* name = nullptr;
        if (!s.nameField(name))
            return false;
        if (!name)
            return true;
        bool applies = scope && !s.probe && !lookup && selected(name, infoNames, otherNames);
        Value* cell = applies ? findVariable(*scope, KindPlain, name, nullptr, true) : nullptr;
        if (endsWithBrackets(name)) {
            ArrayObject* array = cell && cell->is(ValueType::Array) ? cell->as<ArrayObject>() : nullptr;
            if (s.trace)
                s.trace->beginObject(name->text);
            if (!arrayItems(s, array))
                return false;
            if (s.trace)
                s.trace->endObject();
            continue;
        }
        Value scratch;
        if (!valueRecord(s, cell ? *cell : scratch))
            return false;
        if (lookup && lookup->result && lookup->key && name->length == lookup->key->length + 1 &&
            name->text[0] == '?' && std::memcmp(name->text + 1, lookup->key->text, lookup->key->length) == 0)
            *lookup->result = scratch;
        if (s.trace)
            s.trace->field(name->view(), s.trace->lastValue);
    }
}

bool arrayMembersSection(SaveStream& s, Scope* scope) {
    if (s.writing()) {
        for (int kind = 0; kind < kVariableKinds; ++kind) {
            for (VariableEntry* entry : scope->list(kind)) {
                if (!entry->array || !savedName(entry->name) || !hasChangedValues(entry->array->members))
                    continue;
                Symbol* name = entry->name;
                uint8_t kindByte = static_cast<uint8_t>(kind);
                if (!s.nameField(name) || !s.byteField(kindByte) || !propertyList(s, &entry->array->members, true))
                    return false;
            }
        }
        return endOfSection(s);
    }
    for (;;) {
        Symbol* name = nullptr;
        uint8_t kind = 0;
        if (!s.nameField(name))
            return false;
        if (!name)
            return true;
        if (!s.byteField(kind))
            return false;
        if (kind >= kVariableKinds)
            return s.fail();
        ArrayObject* array = nullptr;
        if (scope && !s.probe && endsWithBrackets(name)) {
            Value* cell = findVariable(*scope, kind, name, nullptr, true);
            array = cell && cell->is(ValueType::Array) ? cell->as<ArrayObject>() : nullptr;
        }
        if (s.trace)
            s.trace->beginObject(name->text);
        if (!propertyList(s, array ? &array->members : nullptr, true))
            return false;
        if (s.trace)
            s.trace->endObject();
    }
}

// Tasks, signals and functions are found by their variable of that kind.
template <class T> T* objectVariable(SaveStream& s, Scope* scope, int kind, Symbol* name, ValueType type) {
    if (!scope || s.probe)
        return nullptr;
    Value* cell = findVariable(*scope, kind, name, nullptr, true);
    return cell && cell->is(type) ? cell->as<T>() : nullptr;
}

bool tasksSection(SaveStream& s, Scope* scope) {
    if (s.trace && s.reading())
        s.trace->beginObject("tasks");
    if (s.writing()) {
        for (ScriptTask* task : scope->tasks) {
            if (!taskChanged(*task))
                continue;
            Symbol* name = task->name;
            if (!s.nameField(name) || !taskRecord(s, task, true))
                return false;
        }
        return endOfSection(s);
    }
    for (;;) {
        Symbol* name = nullptr;
        if (!s.nameField(name))
            return false;
        if (!name)
            break;
        if (s.trace)
            s.trace->beginObject(name->text);
        if (!taskRecord(s, objectVariable<ScriptTask>(s, scope, KindTask, name, ValueType::Task), true))
            return false;
        if (s.trace)
            s.trace->endObject();
    }
    if (s.trace)
        s.trace->endObject();
    return true;
}

bool signalsSection(SaveStream& s, Scope* scope) {
    if (s.writing()) {
        for (ScriptSignal* signal : scope->signals) {
            if (signal->countdown <= 0 && !hasChangedValues(signal->members))
                continue;
            Symbol* name = signal->name;
            if (!s.nameField(name) || !s.intField(signal->countdown) || !propertyList(s, &signal->members, true))
                return false;
        }
        return endOfSection(s);
    }
    for (;;) {
        Symbol* name = nullptr;
        if (!s.nameField(name))
            return false;
        if (!name)
            return true;
        ScriptSignal* signal = objectVariable<ScriptSignal>(s, scope, KindSignal, name, ValueType::Signal);
        int32_t countdown = 0;
        if (!s.intField(countdown))
            return false;
        if (s.trace) {
            s.trace->beginObject(name->text);
            s.trace->field("countdown", std::to_string(countdown));
            s.trace->beginObject("variables");
        }
        if (!propertyList(s, signal ? &signal->members : nullptr, true))
            return false;
        if (s.trace) {
            s.trace->endObject();
            s.trace->endObject();
        }
        if (signal)
            signal->countdown = countdown;
    }
}

bool functionsSection(SaveStream& s, Scope* scope) {
    if (s.writing()) {
        for (ScriptFunction* function : scope->functions) {
            if (!hasChangedValues(function->members))
                continue;
            Symbol* name = function->name;
            if (!s.nameField(name) || !propertyList(s, &function->members, true))
                return false;
        }
        return endOfSection(s);
    }
    for (;;) {
        Symbol* name = nullptr;
        if (!s.nameField(name))
            return false;
        if (!name)
            return true;
        ScriptFunction* function = objectVariable<ScriptFunction>(s, scope, KindFunction, name, ValueType::Function);
        if (s.trace)
            s.trace->beginObject(name->text);
        if (!propertyList(s, function ? &function->members : nullptr, true))
            return false;
        if (s.trace)
            s.trace->endObject();
    }
}

// A pending call_fx: its scope, the ticks left, the function and copies of
// its arguments. A method's call is stored as its function's.
bool delayedCallRecord(SaveStream& s, DelayedCall* call, Scope* into) {
    Scope* owner = call ? call->scope : nullptr;
    int32_t remaining = call ? call->remaining : 0;
    ScriptFunction* function = nullptr;
    if (call && call->target.is(ValueType::Function))
        function = call->target.as<ScriptFunction>();
    else if (call && call->target.is(ValueType::Method) && call->target.pointer)
        function = call->target.as<ScriptMethod>()->function;
    int32_t count = call ? static_cast<int32_t>(call->arguments.size()) : 0;
    if (!scopeReference(s, owner) || !s.intField(remaining) || !functionReference(s, function))
        return false;
    std::string functionText = s.trace && s.reading() ? s.trace->lastValue : std::string();
    if (!s.intField(count))
        return false;
    if (s.reading() && (count < 0 || count > kMaxSavedArguments))
        return s.fail();
    if (s.writing()) {
        // A method argument keeps its place as none.
        for (Value& argument : call->arguments) {
            Value stored = leftOutOfSave(s, argument, function ? function->name : nullptr) ? Value() : argument;
            if (!valueRecord(s, stored))
                return false;
        }
        return true;
    }
    std::vector<Value> arguments(static_cast<size_t>(count));
    for (Value& argument : arguments)
        if (!valueRecord(s, argument))
            return false;
    if (into && !s.probe && function) {
        DelayedCall* made = script().newDelayedCall();
        made->scope = owner ? owner : into;
        made->remaining = remaining;
        made->target = Value::fromPointer(ValueType::Function, function);
        made->arguments = std::move(arguments);
        into->delayedCalls.push_back(made);
    }
    if (s.trace) {
        s.trace->beginObject(nullptr);
        s.trace->field("function", functionText);
        s.trace->field("remaining", std::to_string(remaining));
        s.trace->endObject();
    }
    return true;
}

bool delayedCallsSection(SaveStream& s, Scope* scope) {
    int32_t count = s.writing() ? static_cast<int32_t>(scope->delayedCalls.size()) : 0;
    if (!s.intField(count))
        return false;
    if (s.writing()) {
        for (DelayedCall* call : scope->delayedCalls)
            if (!delayedCallRecord(s, call, nullptr))
                return false;
        return true;
    }
    if (count < 0 || count > kMaxSavedDelayedCalls)
        return s.fail();
    if (s.trace)
        s.trace->beginArray("delayed_calls");
    for (int32_t i = 0; i < count; ++i)
        if (!delayedCallRecord(s, nullptr, scope))
            return false;
    if (s.trace)
        s.trace->endArray();
    return true;
}

const char* taskStateText(int32_t state) {
    switch (state) {
    case TaskDisabled: return "disabled";
    case TaskEnabled: return "enabled";
    case TaskCompleted: return "completed";
    case TaskIgnored: return "ignored";
    case TaskExecuted: return "executed";
    default: return "unknown";
    }
}

bool subTaskSection(SaveStream& s, ScriptTask* task) {
    if (s.writing()) {
        if (task->instances) {
            for (Value* cell : task->instances->items) {
                if (!cell || !cell->is(ValueType::Task) || !cell->pointer)
                    continue;
                ScriptTask* sub = cell->as<ScriptTask>();
                if (!sub->element || !taskChanged(*sub))
                    continue;
                Symbol* name = sub->element->name;
                uint8_t runtime = sub->runtimeInstance;
                if (!s.nameField(name) || (s.formatVersion >= 105 && !s.byteField(runtime)) ||
                    !taskRecord(s, sub, false))
                    return false;
            }
        }
        return endOfSection(s);
    }
    for (;;) {
        Symbol* name = nullptr;
        uint8_t runtime = 0;
        if (!s.nameField(name))
            return false;
        if (!name)
            return true;
        if (s.formatVersion >= 105 && !s.byteField(runtime))
            return false;
        ScriptTask* sub = nullptr;
        if (task && !s.probe && task->scope) {
            Value* cell = findVariable(*task->scope, KindElement, name, nullptr, false);
            ScriptElement* element = cell && cell->is(ValueType::Element) ? cell->as<ScriptElement>() : nullptr;
            if (element && task->instances)
                for (Value* item : task->instances->items)
                    if (item && item->is(ValueType::Task) && item->pointer &&
                        item->as<ScriptTask>()->element == element)
                        sub = item->as<ScriptTask>();
            if (!sub && runtime && element)
                sub = createTaskInstance(task, element, true);
        }
        if (s.trace)
            s.trace->beginObject(name->text);
        if (!taskRecord(s, sub, false))
            return false;
        if (s.trace)
            s.trace->endObject();
    }
}

} // namespace

bool taskChanged(const ScriptTask& task) {
    auto* element = dynamic_cast<const MElement*>(task.element);
    if (element && element->hasFlag(kElementRuntime))
        return false;
    if (task.state != task.baselineState || task.hovered || task.handler != task.baselineHandler ||
        task.blocker != task.baselineBlocker || hasChangedValues(task.members))
        return true;
    if (task.instances)
        for (Value* cell : task.instances->items)
            if (cell && cell->is(ValueType::Task) && cell->pointer && cell->as<ScriptTask>()->element &&
                taskChanged(*cell->as<ScriptTask>()))
                return true;
    return false;
}

bool taskRecord(SaveStream& s, ScriptTask* task, bool topLevel) {
    uint8_t bits = 0;
    ScriptTask* blocker = nullptr;
    ScriptFunction* handler = nullptr;
    if (s.writing()) {
        blocker = task->blocker;
        handler = task->handler;
        bits = static_cast<uint8_t>(task->state & 0xF);
        bits |= task->runtimeInstance ? 0x10 : 0;
        bits |= task->handler != task->baselineHandler ? 0x20 : 0;
        bits |= task->blocker != task->baselineBlocker ? 0x40 : 0;
        bits |= task->hovered ? 0x80 : 0;
    }
    if (!s.byteField(bits))
        return false;
    bool old = s.reading() && s.formatVersion < 102;
    if (bits & 0x40) {
        Value v;
        if (old ? !valueRecord(s, v) : !taskReference(s, blocker))
            return false;
        if (old)
            blocker = v.is(ValueType::Task) ? v.as<ScriptTask>() : nullptr;
    }
    if ((bits & 0x20) && !(s.reading() && s.formatVersion < 100)) {
        Value v;
        if (old ? !valueRecord(s, v) : !functionReference(s, handler))
            return false;
        if (old)
            handler = v.is(ValueType::Function) ? v.as<ScriptFunction>() : nullptr;
    }
    ScriptTask* target = s.reading() && !s.probe ? task : nullptr;
    if (s.trace && s.reading()) {
        s.trace->field("state", SaveTrace::quote(taskStateText(bits & 0xF)));
        s.trace->beginObject("variables");
    }
    if (!propertyList(s, target ? &target->members : s.writing() ? &task->members : nullptr, true))
        return false;
    if (s.trace && s.reading())
        s.trace->endObject();
    if (target) {
        target->hovered = (bits & 0x80) ? 1 : 0;
        if (s.formatVersion >= 105)
            target->runtimeInstance = (bits & 0x10) ? 1 : 0;
        if (target->state != TaskExecuted)
            target->oldState = target->state;
        target->state = bits & 0xF;
        if (bits & 0x40)
            target->blocker = blocker;
        if (bits & 0x20)
            target->handler = handler;
    }
    if (!topLevel)
        return true;
    if (s.trace && s.reading())
        s.trace->beginObject("sub_tasks");
    bool ok = subTaskSection(s, s.writing() ? task : target);
    if (ok && s.trace && s.reading())
        s.trace->endObject();
    return ok;
}

bool variableSection(SaveStream& s, Scope* scope, bool infoNames, bool otherNames, SaveKeyLookup* lookup) {
    return s.writing() ? writeVariables(s, *scope, infoNames, otherNames)
                       : readVariables(s, scope, infoNames, otherNames, lookup);
}

bool scopeRecord(SaveStream& s, Scope* scope) {
    Scope* target = s.reading() && s.probe ? nullptr : scope;
    if (s.trace && s.reading())
        s.trace->beginObject("variables");
    if (!variableSection(s, target, false, true))
        return false;
    if (s.trace && s.reading())
        s.trace->endObject();
    return traced(s, "array_members", [&] { return arrayMembersSection(s, target); }) && tasksSection(s, target) &&
           traced(s, "signals", [&] { return signalsSection(s, target); }) &&
           traced(s, "functions", [&] { return functionsSection(s, target); }) && delayedCallsSection(s, target);
}

} // namespace glint
