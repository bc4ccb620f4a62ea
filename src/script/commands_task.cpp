// Task and signal commands: signal, abort, disable, enable, complete,
// ignore. (Inventory, hint and navigation commands come with the game code.)
#include "script/array_object.h"
#include "script/commands.h"
#include "script/interpreter.h"

namespace glint {

uint32_t commandSignal(Value* args, int) {
    if (!args[0].is(ValueType::Signal) || !args[0].pointer) return 0;
    int32_t ticks = secondsToTicks(args[1]);
    args[0].as<ScriptSignal>()->countdown = ticks < 1 ? 1 : ticks;
    return 0;
}

uint32_t commandAbort(Value* args, int) {
    const Value& target = args[0];
    if (target.is(ValueType::Signal) && target.pointer)
        target.as<ScriptSignal>()->countdown = 0;
    else if (target.is(ValueType::Function) || target.is(ValueType::Method))
        abortDelayedCalls(*script().ctx.scope, target);
    return 0;
}

namespace {

// The argument's task, every task of an array, or the current task.
uint32_t setStates(Value* args, int count, int32_t state) {
    Value target = count > 0 ? args[0] : script().ctx.task;
    if (target.is(ValueType::Task)) {
        setTaskState(target.as<ScriptTask>(), state);
    } else if (target.is(ValueType::Array)) {
        ArrayObject* array = target.as<ArrayObject>();
        for (size_t i = 0; i < array->items.size(); ++i) {
            Value* cell = array->items[i];
            if (cell && cell->is(ValueType::Task)) setTaskState(cell->as<ScriptTask>(), state);
        }
    }
    return 0;
}

} // namespace

uint32_t commandDisable(Value* args, int count) { return setStates(args, count, TaskDisabled); }
uint32_t commandEnable(Value* args, int count) { return setStates(args, count, TaskEnabled); }
uint32_t commandComplete(Value* args, int count) { return setStates(args, count, TaskCompleted); }
uint32_t commandIgnore(Value* args, int count) { return setStates(args, count, TaskIgnored); }

} // namespace glint
