// The script's own objects: functions, tasks, signals, classes, class
// instances and bound methods. They come from the heap's pools and are
// reclaimed by the collector.
#pragma once

#include <cstdint>

#include "script/property_list.h"

namespace glint {

// A built-in command: receives the evaluated argument cells and the number
// of arguments written; returns the write-back mask (bit i: argument i).
using CommandCallback = uint32_t (*)(Value* args, int count);

enum class FunctionImpl : uint8_t { None = 0, Script = 1, BuiltIn = 2 };

struct ScriptFunction {
    Symbol* name = nullptr;
    Scope* scope = nullptr;
    Symbol* shortName = nullptr;
    Value owner; // scene, task, element, group, item or class
    uint8_t declarationLevel = 0;
    uint8_t hasBlock = 0;
    FunctionImpl impl = FunctionImpl::None;
    uint8_t minimumArguments = 0;
    NodeRef body;                        // the fun statement (script)
    CommandCallback callback = nullptr;  // built-in
    PropertyList members;

    ScriptFunction(Symbol* n, Scope* s) : name(n), scope(s), shortName(n) {}
};

enum TaskState : int32_t {
    TaskDisabled = 0,
    TaskEnabled = 1,
    TaskCompleted = 2,
    TaskIgnored = 3,
    TaskExecuted = 9,
};

// What all instances of one declared task share.
struct TaskDescription {
    NodeRef declaration; // the task or action statement
    Value usingObject;   // fourth argument: what the task accepts
    NodeRef doNode;      // the handler's declaration
    Symbol* clickType = nullptr;
    uint8_t mandatory = 0; // 1 for task, 0 for action
};

struct ScriptTask {
    Symbol* name = nullptr;
    Scope* scope = nullptr;
    TaskDescription* description = nullptr;
    Symbol* pointerName = nullptr;
    ScriptElement* element = nullptr;
    ScriptFunction* handler = nullptr;
    ScriptTask* parent = nullptr;
    ArrayObject* instances = nullptr; // "@name[]" of the parent
    ScriptTask* blocker = nullptr;
    ScriptTask* hintTarget = nullptr; // "target_hint_task": the task a hint through it was found for
    int32_t state = TaskDisabled;
    int32_t oldState = TaskDisabled;
    uint8_t interaction = 1; // 1 click, 2 look, 3 use
    uint8_t hovered = 0;
    uint8_t hintable = 0;
    uint8_t isInstance = 0;
    uint8_t runtimeInstance = 0;
    PropertyList members;
    // The savegame baseline: the state and blocker when loading ended, and
    // the handler the declaration bound. A saved game stores differences.
    int32_t baselineState = TaskDisabled;
    ScriptTask* baselineBlocker = nullptr;
    ScriptFunction* baselineHandler = nullptr;

    ScriptTask(Symbol* n, Scope* s) : name(n), scope(s) {}
};

struct SignalHandler;

struct ScriptSignal {
    Symbol* name = nullptr;
    Scope* scope = nullptr;
    SignalHandler* handlers = nullptr;
    int32_t countdown = 0; // ticks; 0 is idle
    PropertyList members;

    ScriptSignal(Symbol* n, Scope* s) : name(n), scope(s) {}
};

struct ScriptClass {
    Symbol* name = nullptr;
    Scope* scope = nullptr;
    NodeRef declaration;
    NodeRef constructor; // the init statement of the class body
    PropertyList members;

    ScriptClass(Symbol* n, Scope* s) : name(n), scope(s) {}
};

struct ScriptInstance {
    ScriptClass* klass = nullptr;
    PropertyList members;

    explicit ScriptInstance(ScriptClass* c) : klass(c) {}
};

// A method value: an instance together with one of its class's functions.
struct ScriptMethod {
    ScriptInstance* instance = nullptr;
    ScriptFunction* function = nullptr;

    ScriptMethod(ScriptInstance* i, ScriptFunction* f) : instance(i), function(f) {}
};

} // namespace glint
