// Running compiled statements: evaluation of compiled forms, conditions,
// blocks and calls, the task state machine, signals, delayed calls and
// blocks, and the per-update passes.
#pragma once

#include "script/script_system.h"

namespace glint {

enum AccessMode { AccessRead = 0, AccessCreate = 1, AccessWrite = 2 };

// Evaluates a compiled cell: read (a copy), read creating missing places on
// the way, or write value into the place the cell denotes.
void access(const Value& cell, AccessMode mode, Value& value);
inline Value readCell(const Value& cell) {
    Value v;
    access(cell, AccessRead, v);
    return v;
}

// Script truth: none is false, a number when trunc(x * 2048) > 0, anything
// else when its pointer is set.
bool isTrue(const Value& value);
// The "=" rule: 1/2048 fixed point for numbers, identity for the rest.
bool valuesEqual(const Value& a, const Value& b);
// A flat left-to-right chain of comparisons joined by "and" and "or".
bool evalCondition(const Value* values, int count);

// Runs a block in a frame of its own: frame (or the next free stack cells)
// keeps its first argumentCount cells, the other slots start as none.
void runBlock(Block* block, Value* frame, int argumentCount, bool keepFrame);
// Runs a block in the current frame.
void runPlainBlock(Block* block);
// Runs the block of an if statement when its condition holds, else the
// block of the else statement right after it, if any.
void runIfBranch(Statement statement, bool holds);

// Calls a script or built-in function; returns the built-in's write-back
// mask (0 for script functions and refused calls).
uint32_t callFunction(ScriptFunction* function, ScriptInstance* instance, Value* arguments, int count,
                      bool keepStack);
// A function, method, task or signal value: what the command call does.
uint32_t callValue(const Value& target, Value* arguments, int count);
// Calls the function of that name in scope when scripts define it there.
bool callScopeFunction(Scope& scope, Symbol* name, const Value* arguments, int count);
// Calls a function that scripts define (or a built-in) with copies of the
// arguments; false when it is not defined.
bool callDefinedFunction(ScriptFunction* function, const Value* arguments, int count);
// Calls the task's member of that name (a function, method, task or
// signal) with the optional argument; false when the task has no such member.
bool callTaskMember(ScriptTask* task, Symbol* name, const Value* argument);
// Calls the global function of that name when scripts define it.
bool callGlobalEvent(Symbol* name, const Value* argument);

// Calls f for each instance the task has when the walk starts. Handlers
// that f runs may add instances (the list grows and moves) or clear them,
// so the walk goes by position and rereads the list every step.
template <typename F> void forEachTaskInstance(ScriptTask* task, F&& f) {
    ArrayObject* instances = task->instances;
    if (!instances) return;
    const size_t count = instances->items.size();
    for (size_t i = 0; i < count && i < instances->items.size(); ++i) {
        Value* cell = instances->items[i];
        if (cell && cell->is(ValueType::Task)) f(cell->as<ScriptTask>());
    }
}

// The current element while a task's code runs: its element, or none for
// a task without one (the caller's element never leaks in).
inline Value taskElement(const ScriptTask* task) {
    return task->element ? Value::fromPointer(ValueType::Element, task->element) : Value();
}

void executeTask(ScriptTask* task);
void setTaskState(ScriptTask* task, int32_t state);
void raiseSignal(ScriptSignal* signal);
// The state name symbol ("" for the unused codes).
Symbol* taskStateName(int32_t state);

// Per-update passes, in this order, for the global scene and then each
// active scene.
void updateHover(Scope& scope);
void runDelayedBlocks(Scope& scope);
void runDelayedCalls(Scope& scope);
void countDownSignals(Scope& scope);
void updateTasks(Scope& scope, TaskPass pass = TaskPass::Normal);
void runScenePasses(Scope& scope);

// Delayed work: call_fx and after.
void addDelayedCall(Scope& scope, int32_t ticks, const Value& target, const Value* arguments, int count);
void addDelayedBlock(Scope& scope, int32_t ticks, Block* block);
// abort on a function or method: drops the scope's pending calls of it.
void abortDelayedCalls(Scope& scope, const Value& target);

// Runs the body of a when cue in the context of its scene; the scene's
// animation decides when the element's clock passed the cue's time.
void runAnimationCue(Scope& scope, const AnimationCue& cue);
// An element left the scene of scope: tasks and instances bound to it are
// bound to none, and its cues are dropped.
void forgetElement(Scope& scope, const ScriptElement* gone);

// Seconds to ticks: times 100, rounded half away from zero.
int32_t secondsToTicks(const Value& seconds);
// A number rounded half away from zero; others give fallback.
int32_t roundedInt(const Value& value, int32_t fallback = 0);

} // namespace glint
