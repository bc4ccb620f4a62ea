// Evaluating compiled forms (read, read creating, write) and conditions.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "script/array_object.h"
#include "script/comparison.h"
#include "script/interpreter.h"
#include "script/script_error.h"

namespace glint {

namespace {

bool isWrite(AccessMode mode) { return mode == AccessWrite; }

Value* frameSlot(const Value& cell) {
    Value* frame = script().ctx.frame;
    return frame ? frame + cell.bits : nullptr;
}

// A part of a compiled form, read (or read creating missing places on the
// way): variables, locals and constants are read here, and only nested
// forms go through access.
Value evaluatePart(const Value& cell, AccessMode mode = AccessRead) {
    switch (cell.type()) {
    case ValueType::Reference: return *cell.as<Value>();
    case ValueType::Local:
    case ValueType::LoopLocal: {
        Value* slot = frameSlot(cell);
        return slot ? *slot : Value();
    }
    case ValueType::Index:
    case ValueType::Index2:
    case ValueType::Member:
    case ValueType::ScopedName:
    case ValueType::ConfigKey: {
        Value value;
        access(cell, mode, value);
        return value;
    }
    default: return cell;
    }
}

int32_t indexNumber(const Value& index) { return index.isNumber() ? roundedInt(index) : 0; }

// A 1-based character position of a text (negative from the end).
int textPosition(int n, int length) { return n < 0 ? length + n + 1 : n; }

void accessArraySlot(ArrayObject* array, int32_t n, AccessMode mode, Value& value) {
    if (mode == AccessRead) {
        Value* cell = array->at(n);
        value = cell && n != 0 ? *cell : Value();
        return;
    }
    if (n == 0) {
        if (mode == AccessCreate) value = Value();
        return;
    }
    Value* cell = array->slot(n);
    if (!cell) {
        if (mode == AccessCreate) value = Value();
        return;
    }
    if (isWrite(mode))
        *cell = value;
    else
        value = *cell;
}

void accessMembers(PropertyList& members, Symbol* key, AccessMode mode, Value& value) {
    if (mode == AccessRead) {
        Value* cell = members.get(key);
        value = cell ? *cell : Value();
    } else if (isWrite(mode)) {
        members.set(key, value);
    } else {
        value = *members.getOrCreate(key);
    }
}

void accessIndex(const Value* cells, AccessMode mode, Value& value) {
    Value base = evaluatePart(cells[0], mode == AccessRead ? AccessRead : AccessCreate);
    Value index = evaluatePart(cells[1]);
    switch (base.type()) {
    case ValueType::Array:
        if (index.isString())
            accessMembers(base.as<ArrayObject>()->members, index.symbol(), mode, value);
        else
            accessArraySlot(base.as<ArrayObject>(), indexNumber(index), mode, value);
        return;
    case ValueType::VariableList: {
        if (isWrite(mode)) return;
        auto* list = base.as<VariableList>();
        int n = textPosition(indexNumber(index), static_cast<int>(list->size()));
        value = Value();
        if (n >= 1 && n <= static_cast<int>(list->size())) {
            VariableEntry* entry = (*list)[n - 1];
            value = Value::fromPointer(entry->array ? ValueType::VariableRefArray : ValueType::VariableRef, entry);
        }
        return;
    }
    case ValueType::String: {
        if (isWrite(mode)) return;
        Symbol* text = base.symbol();
        int n = textPosition(indexNumber(index), text->length);
        value = Value::fromNumber(n >= 1 && n <= text->length ? static_cast<unsigned char>(text->text[n - 1]) : 0);
        return;
    }
    default:
        if (!isWrite(mode)) value = Value();
        return;
    }
}

void accessIndex2(const Value* cells, AccessMode mode, Value& value) {
    Value base = evaluatePart(cells[0], mode == AccessRead ? AccessRead : AccessCreate);
    int32_t row = indexNumber(evaluatePart(cells[1]));
    int32_t column = indexNumber(evaluatePart(cells[2]));
    if (base.is(ValueType::Array)) {
        ArrayObject* array = base.as<ArrayObject>();
        int64_t index = column + static_cast<int64_t>(row) * array->rowWidth;
        index = index > INT32_MAX ? INT32_MAX : index < INT32_MIN ? INT32_MIN : index;
        accessArraySlot(array, static_cast<int32_t>(index), mode, value);
        return;
    }
    if (isWrite(mode)) return;
    value = Value();
    if (!base.isString()) return;
    Symbol* text = base.symbol();
    int first = textPosition(row, text->length);
    int last = textPosition(column, text->length);
    if (first < 1) first = 1;
    if (last > text->length) last = text->length;
    value = Value::fromSymbol(first > last ? sym::empty() : intern(text->text + first - 1, last - first + 1));
}

Value sceneValueOf(const Scope* scope) {
    return Value::fromPointer(ValueType::Scene, scope ? scope->scene() : nullptr);
}

bool readOnly(Symbol* member) {
    scriptError("Invalid property %s", member ? member->text : "");
    return true;
}

ScriptTask* instanceFor(ScriptTask* task, ScriptElement* element) {
    if (!task->instances || !element) return nullptr;
    for (Value* cell : task->instances->items)
        if (cell && cell->is(ValueType::Task) && cell->as<ScriptTask>()->element == element) return cell->as<ScriptTask>();
    return nullptr;
}

void accessTaskMember(ScriptTask* task, const Value& memberValue, int kind, AccessMode mode, Value& value) {
    if (memberValue.is(ValueType::Element) || kind == KindElement) {
        if (isWrite(mode)) return;
        ScriptElement* element = nullptr;
        if (memberValue.is(ValueType::Element))
            element = memberValue.as<ScriptElement>();
        else if (memberValue.isString()) {
            Value* cell = findVariable(*task->scope, KindElement, memberValue.symbol(), nullptr, false);
            if (cell && cell->is(ValueType::Element)) element = cell->as<ScriptElement>();
        }
        ScriptTask* instance = instanceFor(task, element);
        value = instance ? Value::fromPointer(ValueType::Task, instance) : Value();
        return;
    }
    if (!memberValue.isString()) {
        if (!isWrite(mode)) value = Value();
        return;
    }
    Symbol* m = memberValue.symbol();
    bool write = isWrite(mode);
    Value result;
    if (m == sym::scene()) result = sceneValueOf(task->scope);
    else if (m == sym::name()) result = Value::fromSymbol(task->name);
    else if (m == sym::element()) result = Value::fromPointer(ValueType::Element, task->element);
    else if (m == sym::parent_task()) result = task->parent ? Value::fromPointer(ValueType::Task, task->parent) : Value();
    else if (m == sym::sub_tasks()) result = task->instances ? Value::fromPointer(ValueType::Array, task->instances) : Value();
    else if (m == sym::is_completed())
        result = Value::fromNumber(task->description && task->description->mandatory && task->state == TaskCompleted);
    else if (m == sym::state()) result = Value::fromSymbol(taskStateName(task->state));
    else if (m == sym::old_state()) result = Value::fromSymbol(taskStateName(task->oldState));
    else if (m == sym::is_mandatory()) result = Value::fromNumber(task->description ? task->description->mandatory : 0);
    else if (m == sym::is_hintable()) result = Value::fromNumber(task->hintable);
    else if (m == sym::is_hovered()) result = Value::fromNumber(task->hovered);
    else if (m == sym::target_hint_task())
        result = task->hintTarget ? Value::fromPointer(ValueType::Task, task->hintTarget) : Value();
    else if (m == sym::blocker()) {
        if (write) task->blocker = value.is(ValueType::Task) ? value.as<ScriptTask>() : nullptr;
        else value = task->blocker ? Value::fromPointer(ValueType::Task, task->blocker) : Value();
        return;
    } else if (m == sym::pointer()) {
        if (write) task->pointerName = value.isString() ? value.symbol() : nullptr;
        else value = task->pointerName ? Value::fromSymbol(task->pointerName) : Value();
        return;
    } else if (m == sym::using_object()) {
        if (!task->description) {
            if (!write) value = Value();
            return;
        }
        if (write) task->description->usingObject = value;
        else value = task->description->usingObject;
        return;
    } else if (m == sym::handler()) {
        if (write) task->handler = value.is(ValueType::Function) ? value.as<ScriptFunction>() : nullptr;
        else value = task->handler ? Value::fromPointer(ValueType::Function, task->handler) : Value();
        return;
    } else {
        accessMembers(task->members, m, mode, value);
        return;
    }
    if (write) readOnly(m);
    else value = result;
}

ScriptMethod* methodOf(ScriptInstance* instance, Symbol* name) {
    if (!instance->klass) return nullptr;
    Value* cell = instance->klass->members.get(name);
    if (!cell || !cell->is(ValueType::Function)) return nullptr;
    ScriptFunction* function = cell->as<ScriptFunction>();
    for (ScriptMethod* method = instance->methods; method; method = method->next)
        if (method->function == function) return method;
    ScriptMethod* method = scriptHeap().methods.create(instance, function);
    method->next = instance->methods;
    instance->methods = method;
    return method;
}

void accessFunctionMember(ScriptFunction* f, Symbol* m, AccessMode mode, Value& value) {
    Value result;
    if (m == sym::scene()) result = sceneValueOf(f->scope);
    else if (m == sym::name()) result = Value::fromSymbol(f->name);
    else if (m == sym::owner()) result = f->owner;
    else return accessMembers(f->members, m, mode, value);
    if (isWrite(mode)) readOnly(m);
    else value = result;
}

void accessArrayMember(ArrayObject* array, Symbol* m, AccessMode mode, Value& value) {
    bool write = isWrite(mode);
    if (m == sym::name()) {
        if (write) readOnly(m);
        else value = Value::fromSymbol(array->name);
    } else if (m == sym::count()) {
        if (write) array->resize(roundedInt(value));
        else value = Value::fromNumber(array->count());
    } else if (m == sym::matrix_size()) {
        if (write) {
            int32_t width = roundedInt(value);
            array->rowWidth = static_cast<uint8_t>(width < 0 ? 0 : width > 255 ? 255 : width);
        } else {
            value = Value::fromNumber(array->rowWidth);
        }
    } else {
        accessMembers(array->members, m, mode, value);
    }
}

void accessSceneObjectMember(ScriptSceneObject* object, ValueType type, const Value& memberValue, int kind,
                             AccessMode mode, Value& value) {
    if (!memberValue.isString()) {
        if (!isWrite(mode)) value = Value();
        return;
    }
    Symbol* m = memberValue.symbol();
    if (type == ValueType::Element && (kind == KindElement || kind == KindGroup)) {
        // lamp.$glow is the element variable "lamp$glow" of lamp's scene.
        if (isWrite(mode)) return readOnly(m), void();
        value = Value();
        if (!object->scene || !object->name) return;
        char name[512];
        int length = std::snprintf(name, sizeof name, "%s$%s", object->name->text, m->text);
        if (length <= 0 || length >= static_cast<int>(sizeof name)) return;
        Value* cell = findVariable(object->scene->scope, kind, intern(name, length), nullptr, false);
        if (cell) value = *cell;
        return;
    }
    if (type == ValueType::Element) {
        auto* element = static_cast<ScriptElement*>(object);
        if (!isWrite(mode)) element->getProperty(m, value);
        else if (element->setProperty(m, value)) element->markChangedByScript();
        return;
    }
    if (type == ValueType::Group) {
        auto* group = static_cast<ScriptGroup*>(object);
        if (isWrite(mode)) group->setProperty(m, value);
        else group->getProperty(m, value);
        return;
    }
    if (type == ValueType::Sound) {
        auto* sound = static_cast<ScriptSound*>(object);
        if (isWrite(mode)) sound->setProperty(m, value);
        else sound->getProperty(m, value);
        return;
    }
    accessMembers(object->members, m, mode, value);
}

void accessMember(const Value* cells, AccessMode mode, Value& value) {
    int kind = static_cast<int>(cells[0].number);
    bool throughIndex = cells[1].is(ValueType::Index) || cells[1].is(ValueType::Index2);
    Value object = evaluatePart(cells[1], mode != AccessRead && throughIndex ? AccessCreate : AccessRead);
    Value memberValue = evaluatePart(cells[2]);
    if (!object.pointer && !object.isNumber()) {
        if (!isWrite(mode)) value = Value();
        return;
    }
    Symbol* m = memberValue.isString() ? memberValue.symbol() : nullptr;
    switch (object.type()) {
    case ValueType::Element:
    case ValueType::Group:
    case ValueType::Sound:
        return accessSceneObjectMember(object.as<ScriptSceneObject>(), object.type(), memberValue, kind, mode, value);
    case ValueType::Item:
        if (!m) break;
        if (isWrite(mode)) object.as<ScriptItem>()->setProperty(m, value);
        else object.as<ScriptItem>()->getProperty(m, value);
        return;
    case ValueType::Task:
        return accessTaskMember(object.as<ScriptTask>(), memberValue, kind, mode, value);
    case ValueType::Function:
        if (m) return accessFunctionMember(object.as<ScriptFunction>(), m, mode, value);
        break;
    case ValueType::Method:
        if (m) return accessFunctionMember(object.as<ScriptMethod>()->function, m, mode, value);
        break;
    case ValueType::Signal: {
        auto* signal = object.as<ScriptSignal>();
        if (!m) break;
        Value result;
        if (m == sym::scene()) result = sceneValueOf(signal->scope);
        else if (m == sym::name()) result = Value::fromSymbol(signal->name);
        else if (m == sym::timeout()) result = Value::fromNumber(signal->countdown / 100.0);
        else return accessMembers(signal->members, m, mode, value);
        if (isWrite(mode)) readOnly(m);
        else value = result;
        return;
    }
    case ValueType::Class: {
        auto* klass = object.as<ScriptClass>();
        if (!m) break;
        Value result;
        if (m == sym::scene()) result = sceneValueOf(klass->scope);
        else if (m == sym::name()) result = Value::fromSymbol(klass->name);
        else break;
        if (isWrite(mode)) readOnly(m);
        else value = result;
        return;
    }
    case ValueType::Instance: {
        auto* instance = object.as<ScriptInstance>();
        if (!m) break;
        if (m == sym::class_()) {
            if (isWrite(mode)) readOnly(m);
            else value = Value::fromPointer(ValueType::Class, instance->klass);
            return;
        }
        if (!isWrite(mode)) {
            if (ScriptMethod* method = methodOf(instance, m)) {
                value = Value::fromPointer(ValueType::Method, method);
                return;
            }
        }
        return accessMembers(instance->members, m, mode, value);
    }
    case ValueType::Array:
        if (m) return accessArrayMember(object.as<ArrayObject>(), m, mode, value);
        break;
    case ValueType::Scene: {
        if (!m) break;
        Value* cell = findVariable(object.as<ScriptScene>()->scope, kind == KindNone ? KindPlain : kind, m, nullptr, true);
        if (!cell) break;
        if (isWrite(mode)) *cell = value;
        else value = *cell;
        return;
    }
    case ValueType::String:
        if (m == sym::len()) {
            if (isWrite(mode)) readOnly(m);
            else value = Value::fromNumber(object.symbol()->length > 65535 ? 65535 : object.symbol()->length);
            return;
        }
        break;
    case ValueType::VariableRef:
    case ValueType::VariableRefArray: {
        auto* entry = object.as<VariableEntry>();
        if (m == sym::value()) {
            if (isWrite(mode)) *entry->cell = value;
            else value = *entry->cell;
            return;
        }
        Value result;
        if (m == sym::name()) result = Value::fromSymbol(entry->name);
        else if (m == sym::scene()) result = sceneValueOf(entry->scope);
        else break;
        if (isWrite(mode)) readOnly(m);
        else value = result;
        return;
    }
    default:
        break;
    }
    if (!isWrite(mode)) value = Value();
}

void accessScoped(const Value* cells, AccessMode mode, Value& value) {
    Value scene = evaluatePart(cells[0]);
    Value name = evaluatePart(cells[1]);
    int kind = static_cast<int>(cells[2].bits & 0xFF);
    bool createFlag = (cells[2].bits & 0x100) != 0;
    if (!scene.is(ValueType::Scene) || !scene.pointer || !name.isString()) {
        if (!isWrite(mode)) value = Value();
        return;
    }
    Value* cell = findVariable(scene.as<ScriptScene>()->scope, kind, name.symbol(), nullptr,
                               isWrite(mode) || createFlag);
    if (!cell) {
        if (!isWrite(mode)) value = Value();
        return;
    }
    if (isWrite(mode)) *cell = value;
    else value = *cell;
}

void accessConfiguration(const Value* cells, AccessMode mode, Value& value) {
    Value key = evaluatePart(cells[0]);
    const ConfigurationAccess& configuration = script().configuration;
    if (isWrite(mode)) {
        if (key.isString() && configuration.write) configuration.write(key.symbol(), value);
        return;
    }
    value = Value();
    if (key.isString() && configuration.read) configuration.read(key.symbol(), value);
}

} // namespace

void access(const Value& cell, AccessMode mode, Value& value) {
    switch (cell.type()) {
    case ValueType::Reference:
        if (isWrite(mode)) *cell.as<Value>() = value;
        else value = *cell.as<Value>();
        return;
    case ValueType::Local:
    case ValueType::LoopLocal: {
        Value* slot = frameSlot(cell);
        if (!slot) {
            if (!isWrite(mode)) value = Value();
        } else if (isWrite(mode)) {
            *slot = value;
        } else {
            value = *slot;
        }
        return;
    }
    case ValueType::Index: return accessIndex(cell.as<Value>(), mode, value);
    case ValueType::Index2: return accessIndex2(cell.as<Value>(), mode, value);
    case ValueType::Member: return accessMember(cell.as<Value>(), mode, value);
    case ValueType::ScopedName: return accessScoped(cell.as<Value>(), mode, value);
    case ValueType::ConfigKey: return accessConfiguration(cell.as<Value>(), mode, value);
    default:
        if (!isWrite(mode)) value = cell;
        return;
    }
}

// --- Conditions -----------------------------------------------------------

bool isTrue(const Value& value) {
    switch (value.type()) {
    case ValueType::None: return false;
    case ValueType::Number: return std::trunc(value.number * 2048) > 0;
    default: return value.pointer != nullptr;
    }
}

bool valuesEqual(const Value& a, const Value& b) { return comparable(a) == comparable(b); }

bool evalCondition(const Value* values, int count) {
    if (count <= 0) return false;
    if (count == 1 || values[1].isNone()) return isTrue(values[0]);
    // The usual "if a op b": one comparison and nothing to join.
    if (count == 3 && values[1].isString() && !isConnective(values[1]))
        return compareValues(values[0], values[1].symbol(), values[2]);
    bool result = false;
    for (int i = 0; i < count;) {
        Value connective;
        if (i + 1 < count && values[i + 1].isString() && !isConnective(values[i + 1])) {
            result = i + 2 < count ? compareValues(values[i], values[i + 1].symbol(), values[i + 2]) : isTrue(values[i]);
            if (i + 3 < count) connective = values[i + 3];
            i += 4;
        } else {
            result = isTrue(values[i]);
            if (i + 1 < count) connective = values[i + 1];
            i += 2;
        }
        if (connective.isString() && connective.symbol() == sym::and_() && !result) return false;
        if (connective.isString() && connective.symbol() == sym::or_() && result) return true;
    }
    return result;
}

} // namespace glint
