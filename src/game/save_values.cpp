#include "game/save_values.h"

#include <cmath>
#include <cstring>

#include "game/save_trace.h"
#include "script/array_object.h"
#include "script/commands_value.h"
#include "script/heap.h"
#include "script/script_system.h"

namespace glint {

namespace {

// Keeps the recursion of nested arrays and instances bounded.
class NestingGuard {
public:
    explicit NestingGuard(int& depth) : depth_(depth) { ++depth_; }
    ~NestingGuard() { --depth_; }
    bool exceeded() const { return depth_ > kMaxSaveNesting; }

private:
    int& depth_;
};

int nesting = 0;

ScriptScene* sceneNamed(Symbol* name) {
    return name && detail::runningSystem ? script().findScene(name) : nullptr;
}

Symbol* sceneNameOf(const Scope* scope) {
    return scope && scope->scene() ? scope->scene()->name : nullptr;
}

// The object a variable of that kind and name holds in the scene's scope.
template <class T> T* objectIn(ScriptScene* scene, int kind, Symbol* name, ValueType type) {
    if (!scene || !name)
        return nullptr;
    Value* cell = findVariable(scene->scope, kind, name, nullptr, false);
    return cell && cell->is(type) ? cell->as<T>() : nullptr;
}

// Scene name and object name, as most references store them.
template <class T>
bool scopedReference(SaveStream& s, T*& object, Symbol* sceneName, Symbol* objectName, int kind, ValueType type) {
    if (!s.nameField(sceneName) || !s.nameField(objectName))
        return false;
    if (s.reading())
        object = savedStateApplies(s) ? objectIn<T>(sceneNamed(sceneName), kind, objectName, type) : nullptr;
    if (s.trace && s.reading())
        s.trace->lastValue = SaveTrace::quote(std::string(sceneName ? sceneName->text : "") + "." +
                                              (objectName ? objectName->text : ""));
    return true;
}

ScriptTask* subTaskFor(ScriptTask* task, ScriptElement* element) {
    if (!task || !element || !task->instances)
        return nullptr;
    for (Value* cell : task->instances->items)
        if (cell && cell->is(ValueType::Task) && cell->pointer && cell->as<ScriptTask>()->element == element)
            return cell->as<ScriptTask>();
    return nullptr;
}

// Type codes of files before format version 108.
ValueType oldTypeCode(uint8_t code) {
    if (code <= 1)
        return static_cast<ValueType>(code);
    if (code == 2)
        return ValueType::String;
    if (code >= 3 && code <= 10)
        return static_cast<ValueType>(66 + code - 3);
    switch (code) {
    case 15: return ValueType::Array;
    case 22: return ValueType::Class;
    case 23: return ValueType::Instance;
    case 24: return ValueType::Method;
    default: return static_cast<ValueType>(0xFFF);
    }
}

// Nested content stays out of the listing: the value names the object.
template <class F> bool untraced(SaveStream& s, F read) {
    SaveTrace* trace = s.trace;
    std::string text = trace ? trace->lastValue : std::string();
    s.trace = nullptr;
    bool ok = read();
    s.trace = trace;
    if (trace)
        trace->lastValue = text;
    return ok;
}

std::string traceNumber(double x) { return SaveTrace::number(x); }

// The comparison key of the property-list reader: numbers to 1/2048.
int64_t comparisonKey(const Value& v) {
    if (v.isNone())
        return 0;
    if (v.isNumber()) {
        double scaled = v.number * 2048.0;
        if (!(scaled > -9.2e18 && scaled < 9.2e18))
            return scaled > 0 ? INT64_MAX : INT64_MIN;
        return static_cast<int64_t>(scaled);
    }
    return static_cast<int64_t>(reinterpret_cast<intptr_t>(v.pointer));
}

} // namespace

bool savedName(const Symbol* name) {
    if (!name || name->length == 0)
        return false;
    char c = name->text[0];
    return (c >= 'a' && c <= 'z') || c == '_';
}

bool savedAsChanged(const Value& value) {
    if (!value.unchanged())
        return true;
    if (value.is(ValueType::Array))
        return value.pointer && value.as<ArrayObject>()->anonymous();
    return value.is(ValueType::Instance) || value.is(ValueType::Method);
}

bool hasChangedValues(const PropertyList& list) {
    for (PropertyNode* node = list.first(); node; node = node->next)
        if (savedName(node->key) && savedAsChanged(node->value))
            return true;
    return false;
}

bool leftOutOfSave(SaveStream& s, const Value& value, const Symbol* name) {
    if (!s.writing() || !value.is(ValueType::Method))
        return false;
    s.leaveOutMethod(name);
    return true;
}

bool sceneReference(SaveStream& s, ScriptScene*& scene) {
    Symbol* name = scene ? scene->name : nullptr;
    if (!s.nameField(name))
        return false;
    if (s.reading())
        scene = savedStateApplies(s) ? sceneNamed(name) : nullptr;
    if (s.trace && s.reading())
        s.trace->lastValue = name ? SaveTrace::quote(name->text) : "null";
    return true;
}

bool elementReference(SaveStream& s, ScriptElement*& element) {
    bool named = s.writing() && element && element->scene;
    return scopedReference(s, element, named ? element->scene->name : nullptr, named ? element->name : nullptr,
                           KindElement, ValueType::Element);
}

bool groupReference(SaveStream& s, ScriptGroup*& group) {
    bool named = s.writing() && group && group->scene;
    return scopedReference(s, group, named ? group->scene->name : nullptr, named ? group->name : nullptr, KindGroup,
                           ValueType::Group);
}

bool soundReference(SaveStream& s, ScriptSound*& sound) {
    bool named = s.writing() && sound && sound->scene;
    return scopedReference(s, sound, named ? sound->scene->name : nullptr, named ? sound->name : nullptr, KindSound,
                           ValueType::Sound);
}

bool itemReference(SaveStream& s, ScriptItem*& item) {
    Symbol* name = s.writing() && item ? item->name : nullptr;
    if (!s.nameField(name))
        return false;
    if (s.reading())
        item = savedStateApplies(s) && detail::runningSystem
                   ? objectIn<ScriptItem>(&script().globalScene, KindItem, name, ValueType::Item)
                   : nullptr;
    if (s.trace && s.reading())
        s.trace->lastValue = SaveTrace::quote(name ? name->text : "");
    return true;
}

bool functionReference(SaveStream& s, ScriptFunction*& function) {
    bool named = s.writing() && function;
    return scopedReference(s, function, named ? sceneNameOf(function->scope) : nullptr,
                           named ? function->name : nullptr, KindFunction, ValueType::Function);
}

bool signalReference(SaveStream& s, ScriptSignal*& signal) {
    bool named = s.writing() && signal;
    return scopedReference(s, signal, named ? sceneNameOf(signal->scope) : nullptr, named ? signal->name : nullptr,
                           KindSignal, ValueType::Signal);
}

bool classReference(SaveStream& s, ScriptClass*& klass) {
    bool named = s.writing() && klass;
    return scopedReference(s, klass, named ? sceneNameOf(klass->scope) : nullptr, named ? klass->name : nullptr,
                           KindClass, ValueType::Class);
}

// A sub-task is stored as its parent's name and its element's name.
bool taskReference(SaveStream& s, ScriptTask*& task) {
    Symbol *sceneName = nullptr, *taskName = nullptr, *elementName = nullptr;
    if (s.writing() && task) {
        sceneName = sceneNameOf(task->scope);
        bool sub = task->parent && task->element;
        taskName = sub ? task->parent->name : task->name;
        elementName = sub ? task->element->name : nullptr;
    }
    if (!s.nameField(sceneName) || !s.nameField(taskName) || !s.nameField(elementName))
        return false;
    if (s.writing())
        return true;
    task = nullptr;
    if (savedStateApplies(s)) {
        ScriptScene* scene = sceneNamed(sceneName);
        task = objectIn<ScriptTask>(scene, KindTask, taskName, ValueType::Task);
        if (elementName)
            task = subTaskFor(task, objectIn<ScriptElement>(scene, KindElement, elementName, ValueType::Element));
    }
    if (s.trace)
        s.trace->lastValue = SaveTrace::quote(std::string(sceneName ? sceneName->text : "") + "." +
                                              (taskName ? taskName->text : "") +
                                              (elementName ? std::string("$") + elementName->text : ""));
    return true;
}

bool scopeReference(SaveStream& s, Scope*& scope) {
    ScriptScene* scene = s.writing() && scope ? scope->scene() : nullptr;
    if (!sceneReference(s, scene))
        return false;
    if (s.reading())
        scope = scene ? &scene->scope : nullptr;
    return true;
}

bool valueRecord(SaveStream& s, Value& cell) {
    uint8_t code = static_cast<uint8_t>(cell.type());
    if (s.writing() && static_cast<uint32_t>(cell.type()) > 0xFF)
        return s.fail();
    if (!s.byteField(code))
        return false;
    ValueType type = code == 65 ? ValueType::String
                     : s.formatVersion < 108 ? oldTypeCode(code)
                                             : static_cast<ValueType>(code);
    Value read;
    switch (type) {
    case ValueType::None:
        if (s.trace && s.reading())
            s.trace->lastValue = "null";
        break;
    case ValueType::Number: {
        if (s.formatVersion < 103 && s.reading()) {
            float f = 0;
            if (!s.floatField(f))
                return false;
            read = Value::fromNumber(f);
        } else {
            double x = s.writing() ? cell.number : 0;
            if (!s.doubleField(x))
                return false;
            read = Value::fromNumber(x);
        }
        if (s.trace && s.reading())
            s.trace->lastValue = traceNumber(read.number);
        break;
    }
    case ValueType::String: {
        Symbol* text = s.writing() ? cell.symbol() : nullptr;
        if (!s.nameField(text))
            return false;
        read = text ? Value::fromSymbol(text) : Value();
        if (s.trace && s.reading())
            s.trace->lastValue = text ? SaveTrace::quote(text->view()) : "null";
        break;
    }
#define GLINT_REFERENCE_CASE(Kind, T, routine)                                                                  \
    case ValueType::Kind: {                                                                                     \
        T* object = s.writing() ? cell.as<T>() : nullptr;                                                      \
        if (!routine(s, object))                                                                                \
            return false;                                                                                       \
        read = Value::fromPointer(ValueType::Kind, object);                                                    \
        break;                                                                                                  \
    }
        GLINT_REFERENCE_CASE(Element, ScriptElement, elementReference)
        GLINT_REFERENCE_CASE(Group, ScriptGroup, groupReference)
        GLINT_REFERENCE_CASE(Scene, ScriptScene, sceneReference)
        GLINT_REFERENCE_CASE(Item, ScriptItem, itemReference)
        GLINT_REFERENCE_CASE(Sound, ScriptSound, soundReference)
        GLINT_REFERENCE_CASE(Function, ScriptFunction, functionReference)
        GLINT_REFERENCE_CASE(Task, ScriptTask, taskReference)
        GLINT_REFERENCE_CASE(Signal, ScriptSignal, signalReference)
        GLINT_REFERENCE_CASE(Class, ScriptClass, classReference)
        GLINT_REFERENCE_CASE(Array, ArrayObject, arrayReference)
        GLINT_REFERENCE_CASE(Instance, ScriptInstance, instanceRecord)
#undef GLINT_REFERENCE_CASE
    default:
        return s.fail();
    }
    if (s.reading())
        cell = read;
    return true;
}

bool arrayReference(SaveStream& s, ArrayObject*& array) {
    NestingGuard guard(nesting);
    if (guard.exceeded())
        return s.fail();
    bool anonymous = s.writing() && (!array || array->anonymous());
    Symbol* sceneName = s.writing() && !anonymous ? sceneNameOf(array->owner) : nullptr;
    Symbol* arrayName = s.writing() && !anonymous ? array->name : nullptr;
    int32_t kind = s.writing() && !anonymous ? array->variableKind() : 0;
    int32_t number = 0;
    bool first = false;
    if (s.writing() && anonymous && array) {
        auto [at, inserted] = s.arrayNumbers.emplace(array, static_cast<int32_t>(s.arrayNumbers.size() + 1));
        number = at->second;
        first = inserted;
    }
    if (!s.nameField(sceneName))
        return false;
    if (s.formatVersion < 110) {
        if (!s.intField(kind))
            return false;
    } else {
        uint8_t kindByte = static_cast<uint8_t>(kind);
        if (!s.byteField(kindByte))
            return false;
        kind = kindByte;
    }
    if (!s.nameField(arrayName))
        return false;
    if (s.formatVersion >= 104 && !s.intField(number))
        return false;
    if (s.writing())
        return !first || arrayContent(s, array, false, true);

    array = nullptr;
    if (sceneName || arrayName) {
        bool usable = savedStateApplies(s) && arrayName && kind >= 0 && kind < kVariableKinds &&
                      arrayName->length > 2 && std::strcmp(arrayName->text + arrayName->length - 2, "[]") == 0;
        ScriptScene* scene = usable ? sceneNamed(sceneName) : nullptr;
        Value* cell = scene ? findVariable(scene->scope, kind, arrayName, nullptr, true) : nullptr;
        array = cell && cell->is(ValueType::Array) ? cell->as<ArrayObject>() : nullptr;
        if (s.trace)
            s.trace->lastValue = SaveTrace::quote(std::string(sceneName ? sceneName->text : "") + "." +
                                                  (arrayName ? arrayName->text : ""));
        return true;
    }
    if (number <= 0)
        return true;
    if (s.trace)
        s.trace->lastValue = SaveTrace::quote("array " + std::to_string(number));
    if (static_cast<size_t>(number) <= s.arrayTable.size()) {
        array = s.arrayTable[number - 1];
        return true;
    }
    ArrayObject* made = savedStateApplies(s) && detail::runningSystem ? newAnonymousArray() : nullptr;
    s.arrayTable.push_back(made);
    array = made;
    return untraced(s, [&] { return arrayContent(s, made, false, true); });
}

bool instanceRecord(SaveStream& s, ScriptInstance*& instance) {
    NestingGuard guard(nesting);
    if (guard.exceeded())
        return s.fail();
    ScriptClass* klass = s.writing() && instance ? instance->klass : nullptr;
    Symbol* sceneName = klass ? sceneNameOf(klass->scope) : nullptr;
    Symbol* className = klass ? klass->name : nullptr;
    if (!s.nameField(sceneName) || !s.nameField(className))
        return false;
    SaveStream::ClassKey key{sceneName, className};
    int32_t number = 0;
    bool first = false;
    if (s.writing() && instance) {
        auto found = s.instanceNumbers.find(instance);
        if (found == s.instanceNumbers.end()) {
            number = ++s.instanceCounts[key];
            s.instanceNumbers.emplace(instance, number);
            first = true;
        } else {
            number = found->second;
        }
    }
    if (!s.intField(number))
        return false;
    if (s.writing())
        return !first || propertyList(s, &instance->members, false);

    instance = nullptr;
    if (number <= 0 || (!sceneName && !className))
        return true;
    if (s.trace)
        s.trace->lastValue = SaveTrace::quote(std::string("instance ") + (className ? className->text : "") + " " +
                                              std::to_string(number));
    std::vector<ScriptInstance*>& table = s.instanceTables[key];
    if (static_cast<size_t>(number) <= table.size()) {
        instance = table[number - 1];
        return true;
    }
    ScriptClass* found =
        savedStateApplies(s) ? objectIn<ScriptClass>(sceneNamed(sceneName), KindClass, className, ValueType::Class)
                             : nullptr;
    ScriptInstance* made = found ? scriptHeap().instances.create(found) : nullptr;
    table.push_back(made);
    instance = made;
    return untraced(s, [&] { return propertyList(s, made ? &made->members : nullptr, false); });
}

bool arrayContent(SaveStream& s, ArrayObject* array, bool changedOnly, bool withMembers) {
    int32_t count = s.writing() ? array->count() : 0;
    if (!s.intField(count))
        return false;
    if (s.reading()) {
        if (count < 0 || count > kMaxSaveArrayItems)
            return s.fail();
        if (array)
            array->resize(count);
    }
    if (s.writing()) {
        for (int32_t i = 1; i <= count; ++i) {
            Value* cell = array->items[i - 1];
            if (!cell || (changedOnly && !savedAsChanged(*cell)) || leftOutOfSave(s, *cell, array->name))
                continue;
            if (!s.intField(i) || !valueRecord(s, *cell))
                return false;
        }
        int32_t end = 0;
        if (!s.intField(end))
            return false;
    } else {
        for (;;) {
            int32_t index = 0;
            if (!s.intField(index))
                return false;
            if (index < 1)
                break;
            if (index > count)
                return s.fail();
            Value scratch;
            Value* cell = &scratch;
            if (array) {
                Value*& slot = array->items[index - 1];
                if (!slot)
                    slot = scriptHeap().newCell();
                cell = slot;
            }
            if (!valueRecord(s, *cell))
                return false;
            if (s.trace)
                s.trace->field(std::to_string(index), s.trace->lastValue);
        }
    }
    return !withMembers || propertyList(s, array ? &array->members : nullptr, true);
}

bool propertyList(SaveStream& s, PropertyList* list, bool changedOnly) {
    if (s.writing()) {
        for (PropertyNode* node = list->first(); node; node = node->next) {
            if (!savedName(node->key) || (changedOnly && !savedAsChanged(node->value)) ||
                leftOutOfSave(s, node->value, node->key))
                continue;
            Symbol* key = node->key;
            if (!s.nameField(key) || !valueRecord(s, node->value))
                return false;
        }
        Symbol* end = nullptr;
        return s.nameField(end);
    }
    for (;;) {
        Symbol* key = nullptr;
        if (!s.nameField(key))
            return false;
        if (!key)
            return true;
        Value scratch;
        Value* cell = list ? list->getOrCreate(key) : &scratch;
        Value old = *cell;
        if (!valueRecord(s, *cell))
            return false;
        if (list && comparisonKey(old) == comparisonKey(*cell))
            cell->typeWord |= kValueUnchanged;
        if (s.trace)
            s.trace->field(key->view(), s.trace->lastValue);
    }
}

} // namespace glint
