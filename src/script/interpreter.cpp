// Running statement lists and calls. Arguments and locals live on the value
// stack; nothing is allocated per statement or per call.
#include "script/interpreter.h"

#include <cmath>

#include "engine/system/log.h"
#include "script/array_object.h"
#include "script/commands.h"
#include "script/script_error.h"

namespace glint {

int32_t roundedInt(const Value& value, int32_t fallback) {
    return value.isNumber() ? static_cast<int32_t>(roundToInteger(value.number)) : fallback;
}

int32_t secondsToTicks(const Value& seconds) {
    return seconds.isNumber() ? static_cast<int32_t>(roundToInteger(seconds.number * 100)) : 0;
}

namespace {

bool reserveStack(int cells) {
    ScriptSystem& s = script();
    if (s.top + cells <= kValueStackCells) return true;
    scriptError("STACK OVERFLOW");
    return false;
}

void runList(NodeRef first) {
    ScriptSystem& s = script();
    ExecContext& ctx = s.ctx;
    const KeywordTable& table = keywords();
    for (NodeRef ref = first; !ref.empty();) {
        Statement statement = s.store.statement(ref);
        StatementHeader header = statement.info();
        ctx.statement = statement;
        int cells = header.cells;
        if (!reserveStack(cells)) return;
        int base = s.top;
        Value* args = s.stack + base;
        for (int i = 0; i < cells; ++i) access(*statement.arg(i), AccessRead, args[i]);
        s.top = base + cells;
        uint32_t mask = 0;
        if (CommandCallback callback = table.callback[header.command]) mask = callback(args, header.written);
        for (int i = 0; mask && i < cells; ++i, mask >>= 1)
            if (mask & 1) access(*statement.arg(i), AccessWrite, args[i]);
        s.top = base;
        if (ctx.breakFlag) return;
        ref = header.next;
    }
}

} // namespace

void runBlock(Block* block, Value* frame, int argumentCount, bool keepFrame) {
    if (!block) return;
    ScriptSystem& s = script();
    ExecContext& ctx = s.ctx;
    Block* savedRoot = ctx.root;
    Value* savedFrame = ctx.frame;
    int savedTop = s.top;
    Value* f = frame ? frame : s.stack + s.top;
    int used = block->localCount > argumentCount ? block->localCount : argumentCount;
    int frameEnd = static_cast<int>(f - s.stack) + used;
    if (frameEnd > kValueStackCells) {
        scriptError("STACK OVERFLOW");
        return;
    }
    for (int i = argumentCount; i < block->localCount; ++i) f[i] = Value();
    if (frameEnd > s.top) s.top = frameEnd;
    ctx.root = block;
    ctx.frame = f;
    runList(block->first);
    ctx.root = savedRoot;
    ctx.frame = savedFrame;
    if (!keepFrame) s.top = savedTop;
}

void runPlainBlock(Block* block) {
    if (block) runList(block->first);
}

namespace {

void reportStackOverflow() {
    scriptError("STACK OVERFLOW");
    ArrayObject* calls = script().callStack;
    for (int i = 0; i < 16 && i < calls->count(); ++i) {
        Value* cell = calls->items[i];
        if (!cell || !cell->is(ValueType::Function)) continue;
        ScriptFunction* f = cell->as<ScriptFunction>();
        debugTrace("   called from %s:%s", f->scope ? f->scope->sceneName() : "", f->name ? f->name->text : "");
    }
}

void enterFunction(ScriptFunction* function, ScriptInstance* instance) {
    ExecContext& ctx = script().ctx;
    ctx.scope = function->scope;
    ctx.scene = Value::fromPointer(ValueType::Scene, function->scope ? function->scope->scene() : nullptr);
    const Value& owner = function->owner;
    if (owner.is(ValueType::Task) && owner.pointer) {
        ScriptTask* task = owner.as<ScriptTask>();
        ctx.task = owner;
        if (task->element) ctx.element = Value::fromPointer(ValueType::Element, task->element);
    } else if (owner.is(ValueType::Element)) {
        ctx.element = owner;
    }
    ctx.self = instance ? Value::fromPointer(ValueType::Instance, instance) : Value();
    ctx.function = function;
    // A built-in reached through call, call_fx or an event has no statement
    // of its own: if, for and after find no block to run.
    ctx.statement = Statement{};
    ctx.breakFlag = false;
    ctx.loopDepth = 0;
    setScriptErrorScope(ctx.scope);
}

} // namespace

uint32_t callFunction(ScriptFunction* function, ScriptInstance* instance, Value* arguments, int count,
                      bool keepStack) {
    ScriptSystem& s = script();
    ArrayObject* calls = s.callStack;
    if (!function) return 0;
    if (calls->count() > kMaxCallDepth - 1) {
        reportStackOverflow();
        return 0;
    }
    ExecContext saved = s.ctx;
    int savedTop = s.top;
    enterFunction(function, instance);
    Value* entry = &s.callStackCells[calls->count()];
    *entry = Value::fromPointer(ValueType::Function, function);
    calls->items.push_back(entry);

    uint32_t mask = 0;
    if (function->impl == FunctionImpl::BuiltIn && function->callback) {
        int cells = count > function->minimumArguments ? count : function->minimumArguments;
        int end = static_cast<int>(arguments - s.stack) + cells;
        if (arguments >= s.stack && arguments < s.stack + kValueStackCells && end <= kValueStackCells) {
            for (int i = count; i < cells; ++i) arguments[i] = Value();
            if (end > s.top) s.top = end;
            mask = function->callback(arguments, count);
        }
    } else if (function->impl == FunctionImpl::Script) {
        Block* body = s.store.statement(function->body).block();
        runBlock(body, arguments, count, false);
    }

    calls->items.pop_back();
    s.ctx = saved;
    setScriptErrorScope(s.ctx.scope);
    if (!keepStack) s.top = savedTop;
    return mask;
}

uint32_t callValue(const Value& target, Value* arguments, int count) {
    switch (target.type()) {
    case ValueType::Function: return callFunction(target.as<ScriptFunction>(), nullptr, arguments, count, false);
    case ValueType::Method: {
        ScriptMethod* method = target.as<ScriptMethod>();
        return method ? callFunction(method->function, method->instance, arguments, count, false) : 0;
    }
    case ValueType::Task:
        if (target.pointer) executeTask(target.as<ScriptTask>());
        return 0;
    case ValueType::Signal:
        if (target.pointer) raiseSignal(target.as<ScriptSignal>());
        return 0;
    default: return 0;
    }
}

bool callGlobalEvent(Symbol* name, const Value* argument) {
    ScriptSystem& s = script();
    Value* cell = findVariable(s.global(), KindFunction, name, nullptr, false);
    if (!cell || !cell->is(ValueType::Function)) return false;
    ScriptFunction* function = cell->as<ScriptFunction>();
    if (function->impl == FunctionImpl::None) return false;
    if (s.top + 1 > kValueStackCells) return false;
    Value* args = s.stack + s.top;
    int count = 0;
    if (argument) args[count++] = *argument;
    s.top += count;
    callFunction(function, nullptr, args, count, false);
    s.top -= count;
    return true;
}

} // namespace glint
