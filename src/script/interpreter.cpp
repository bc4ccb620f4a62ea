// Running statement lists and calls. Arguments and locals live on the value
// stack; nothing is allocated per statement or per call.
#include "script/interpreter.h"

#include <cmath>
#include <cstdint>

#include "engine/system/log.h"
#include "script/array_object.h"
#include "script/commands.h"
#include "script/inline_commands.h"
#include "script/script_error.h"

namespace glint {

int32_t roundedInt(const Value& value, int32_t fallback) {
    if (!value.isNumber()) return fallback;
    // Numbers beyond the 32-bit range saturate rather than wrap to a
    // different size or index.
    const double x = value.number;
    if (x >= static_cast<double>(INT32_MAX)) return INT32_MAX;
    if (x <= static_cast<double>(INT32_MIN)) return INT32_MIN;
    return x == x ? static_cast<int32_t>(roundToInteger(x)) : 0;
}

int32_t secondsToTicks(const Value& seconds) {
    return seconds.isNumber() ? static_cast<int32_t>(roundToInteger(seconds.number * 100)) : 0;
}

namespace {

bool reserveStack(int top, int cells) {
    if (top + cells <= kValueStackCells) return true;
    scriptError("STACK OVERFLOW");
    return false;
}

// The arguments the mask names go back into the places the statement's
// cells denote.
void writeBack(const Value* source, Value* args, int cells, uint32_t mask, Value* frame) {
    for (int i = 0; mask && i < cells; ++i, mask >>= 1)
        if (mask & 1) writeArgument(source[i], frame, args[i]);
}

// Statements that need no arguments on the stack; false for the others.
bool runInPlace(Value* node, const StatementHeader& header, Value* frame) {
    if (header.command == KwIf) {
        int holds = simpleCondition(header.written, node + 1, frame);
        if (holds < 0) return false;
        runIfBranch(Statement{node}, holds != 0);
        return true;
    }
    return runArithmeticInPlace(header.command, header.cells, node + 1, frame);
}

// The general way: the arguments are read into the stack at base, the
// command runs on them and the ones it changed go back to their places.
// False when the stack has no room.
bool runCommand(Value* node, StatementHeader header, int base) {
    ScriptSystem& s = script();
    ExecContext& ctx = s.ctx;
    if (!reserveStack(base, header.cells)) return false;
    Value* const args = s.stack + base;
    const Value* frame = ctx.frame;
    for (int i = 0; i < header.cells; ++i) readArgument(node[1 + i], frame, args[i]);
    s.top = base + header.cells;
    uint32_t mask = 0;
    if (CommandCallback callback = s.keywords.callback[header.command]) mask = callback(args, header.written);
    header = headerOf(node);
    if (mask) writeBack(node + 1, args, header.cells, mask, ctx.frame);
    s.top = base;
    return true;
}

void runList(NodeRef first) {
    ScriptSystem& s = script();
    ExecContext& ctx = s.ctx;
    // Every statement of the list puts its arguments at the same place: the
    // top goes back there after each one.
    const int base = s.top;
    for (NodeRef ref = first; !ref.empty();) {
        Value* const node = s.store.cell(ref);
        ctx.statement = Statement{node};
        StatementHeader header = headerOf(node);
        if (!runInPlace(node, header, ctx.frame)) {
            if (!runCommand(node, header, base)) return;
            // Only the node is kept across the command; its header is read
            // again (statement nodes never change while they run).
            header = headerOf(node);
        }
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

void runIfBranch(Statement statement, bool holds) {
    if (holds) {
        runPlainBlock(statement.block());
        return;
    }
    NodeRef next = statement.info().next;
    if (next.empty()) return;
    Statement following = script().store.statement(next);
    if (following.command() == KwElse) runPlainBlock(following.block());
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
        ctx.element = taskElement(task);
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
    if (calls->count() + s.signalDepth > kMaxCallDepth - 1) {
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

bool callScopeFunction(Scope& scope, Symbol* name, const Value* arguments, int count) {
    Value* cell = findVariable(scope, KindFunction, name, nullptr, false);
    if (!cell || !cell->is(ValueType::Function)) return false;
    return callDefinedFunction(cell->as<ScriptFunction>(), arguments, count);
}

bool callDefinedFunction(ScriptFunction* function, const Value* arguments, int count) {
    ScriptSystem& s = script();
    if (!function || function->impl == FunctionImpl::None) return false;
    if (count < 0 || s.top + count > kValueStackCells) return false;
    Value* args = s.stack + s.top;
    for (int i = 0; i < count; ++i) args[i] = arguments[i];
    s.top += count;
    callFunction(function, nullptr, args, count, false);
    s.top -= count;
    return true;
}

bool callGlobalEvent(Symbol* name, const Value* argument) {
    return callScopeFunction(script().global(), name, argument, argument ? 1 : 0);
}

} // namespace glint
