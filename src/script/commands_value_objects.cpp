// Object commands: new and delete, and the array helpers clear,
// reset_object and in_array.
#include <cstdio>

#include "script/array_object.h"
#include "script/commands_value.h"
#include "script/declarations.h"
#include "script/interpreter.h"
#include "script/script_error.h"

namespace glint {

namespace {

// Constructors running now; with the calls on "Call_stack[]" they share the
// call-depth cap, so a class whose init makes an instance of itself stops.
int constructorDepth = 0;

// The instance is made first; the class's init block then runs with this
// set to it and the remaining arguments of new as its first locals.
Value newInstance(ScriptClass* klass, Value* args, int count) {
    ScriptSystem& s = script();
    Block* constructor = klass->constructor.empty() ? nullptr : s.store.statement(klass->constructor).block();
    if (constructor && s.callStack->count() + constructorDepth >= kMaxCallDepth) {
        scriptError("STACK OVERFLOW");
        return Value();
    }
    ScriptInstance* instance = scriptHeap().instances.create(klass);
    Value value = Value::fromPointer(ValueType::Instance, instance);
    if (!constructor) return value;
    ExecContext saved = s.ctx;
    s.ctx.scope = klass->scope;
    s.ctx.scene = Value::fromPointer(ValueType::Scene, klass->scope->scene());
    s.ctx.self = value;
    s.ctx.breakFlag = false;
    s.ctx.loopDepth = 0;
    setScriptErrorScope(klass->scope);
    ++constructorDepth;
    runBlock(constructor, args, count, false);
    --constructorDepth;
    s.ctx = saved;
    setScriptErrorScope(s.ctx.scope);
    return value;
}

// "ELEMENT" and the nine-digit value of the global counter, which counts on;
// "ELEMENT" alone when the game keeps no counter.
Symbol* dynamicElementName(Value*& counter) {
    counter = findVariable(script().global(), KindPlain, sym::q_dynamic_elements_count(), nullptr, false);
    if (!counter) return intern("ELEMENT");
    char name[32];
    std::snprintf(name, sizeof name, "ELEMENT%.9d", roundedInt(*counter));
    return intern(name);
}

Value newElement(ScriptElement* model) {
    const Value& current = script().ctx.scene;
    if (!current.is(ValueType::Scene) || !current.pointer) return Value();
    Value* counter = nullptr;
    Symbol* name = dynamicElementName(counter);
    ScriptElement* element = current.as<ScriptScene>()->createDynamicElement(model, name);
    if (!element) return Value();
    if (counter) *counter = Value::fromNumber(roundedInt(*counter) + 1);
    return Value::fromPointer(ValueType::Element, element);
}

bool isObject(const Value& v, ValueType type) { return v.is(type) && v.pointer; }

} // namespace

ArrayObject* newAnonymousArray() {
    Scope& global = script().global();
    char name[32];
    std::snprintf(name, sizeof name, "ARRAY%.9d[]", global.anonymousArrayCounter++);
    return scriptHeap().arrays.create(intern(name), &global, ArrayObject::kAnonymous);
}

// new out kind arguments...: by the kind, a dynamic element, a run-time
// instance of a task for an element, an anonymous array or a class
// instance; none for anything else.
uint32_t commandNew(Value* args, int count) {
    const Value& kind = args[1];
    Value made;
    if (isObject(kind, ValueType::Element)) {
        made = newElement(kind.as<ScriptElement>());
    } else if (kind.is(ValueType::ArrayLiteral)) {
        made = Value::fromPointer(ValueType::Array, newAnonymousArray());
    } else if (isObject(kind, ValueType::Class)) {
        made = newInstance(kind.as<ScriptClass>(), args + 2, count > 2 ? count - 2 : 0);
    } else if (isObject(kind, ValueType::Task) && count > 2 && isObject(args[2], ValueType::Element)) {
        if (ScriptTask* instance = createTaskInstance(kind.as<ScriptTask>(), args[2].as<ScriptElement>(), true))
            made = Value::fromPointer(ValueType::Task, instance);
    }
    args[0] = made;
    return 1;
}

// delete element: only elements that new made leave their scene.
uint32_t commandDelete(Value* args, int) {
    if (!isObject(args[0], ValueType::Element)) return 0;
    ScriptElement* element = args[0].as<ScriptElement>();
    ScriptScene* scene = element->scene;
    if (scene && scene->deleteDynamicElement(element)) forgetElement(scene->scope, element);
    return 0;
}

uint32_t commandClear(Value* args, int) {
    if (isObject(args[0], ValueType::Array)) args[0].as<ArrayObject>()->clear();
    return 0;
}

uint32_t commandResetObject(Value* args, int) {
    PropertyList* members = nullptr;
    if (isObject(args[0], ValueType::Array)) members = &args[0].as<ArrayObject>()->members;
    else if (isObject(args[0], ValueType::Element)) members = &args[0].as<ScriptElement>()->members;
    if (members)
        for (PropertyNode* node = members->first(); node; node = node->next) node->value = Value();
    return 0;
}

// in_array out value array: the first equal item under the "=" rule;
// empty slots hold nothing to compare.
uint32_t commandInArray(Value* args, int) {
    double position = 0;
    if (!args[1].isNone() && isObject(args[2], ValueType::Array)) {
        ArrayObject* array = args[2].as<ArrayObject>();
        for (size_t i = 0; i < array->items.size(); ++i)
            if (array->items[i] && valuesEqual(*array->items[i], args[1])) {
                position = static_cast<double>(i + 1);
                break;
            }
    }
    args[0] = Value::fromNumber(position);
    return 1;
}

} // namespace glint
