// Control flow and calls: if, else, for, for_each, break, call, call_fx,
// after.
#include "script/array_object.h"
#include "script/commands.h"
#include "script/interpreter.h"

namespace glint {

uint32_t commandIf(Value* args, int count) {
    runIfBranch(script().ctx.statement, evalCondition(args, count));
    return 0;
}

// Reached only after an if whose block ran (or on its own): nothing to do.
uint32_t commandElse(Value*, int) { return 0; }

uint32_t commandBreak(Value*, int) {
    ExecContext& ctx = script().ctx;
    if (ctx.loopDepth > 0) ctx.breakFlag = true;
    return 0;
}

namespace {

// Runs a loop body once; false when a break ended the loop.
bool runLoopBody(Block* block) {
    ExecContext& ctx = script().ctx;
    runPlainBlock(block);
    if (!ctx.breakFlag) return true;
    ctx.breakFlag = false;
    return false;
}

Value* loopSlot(Statement statement) {
    ExecContext& ctx = script().ctx;
    if (!statement) return nullptr;
    const Value* index = statement.arg(0);
    if (!index->is(ValueType::LoopLocal) || !ctx.frame) return nullptr;
    return ctx.frame + index->bits;
}

struct LoopDepth {
    LoopDepth() { ++script().ctx.loopDepth; }
    ~LoopDepth() { --script().ctx.loopDepth; }
};

} // namespace

uint32_t commandFor(Value* args, int count) {
    Statement statement = script().ctx.statement;
    Value* slot = loopSlot(statement);
    Block* block = statement.block();
    if (!slot) return 0;
    int32_t from = count > 1 ? roundedInt(args[1], 1) : 1;
    int32_t to = count > 2 ? roundedInt(args[2], 0) : 0;
    int32_t step = count > 3 ? roundedInt(args[3], 1) : 1;
    if (step == 0) return 0;
    LoopDepth depth;
    for (int64_t i = from; step > 0 ? i <= to : i >= to; i += step) {
        *loopSlot(statement) = Value::fromNumber(static_cast<double>(i));
        if (!runLoopBody(block)) break;
    }
    return 0;
}

uint32_t commandForEach(Value* args, int count) {
    Statement statement = script().ctx.statement;
    Block* block = statement.block();
    if (!loopSlot(statement) || count < 2) return 0;
    Value collection = args[1];
    LoopDepth depth;
    auto visit = [&](const Value& item) {
        *loopSlot(statement) = item;
        return runLoopBody(block);
    };
    switch (collection.type()) {
    case ValueType::Group: {
        auto& elements = collection.as<ScriptGroup>()->elements;
        for (size_t i = 0; i < elements.size(); ++i)
            if (!visit(Value::fromPointer(ValueType::Element, elements[i]))) break;
        break;
    }
    case ValueType::Array: {
        ArrayObject* array = collection.as<ArrayObject>();
        for (size_t i = 0; i < array->items.size(); ++i) {
            Value* cell = array->items[i];
            if (cell && !cell->isNone() && !visit(*cell)) break;
        }
        break;
    }
    case ValueType::VariableList: {
        auto* list = collection.as<VariableList>();
        for (size_t i = 0; i < list->size(); ++i) {
            VariableEntry* entry = (*list)[i];
            ValueType type = entry->array ? ValueType::VariableRefArray : ValueType::VariableRef;
            if (!visit(Value::fromPointer(type, entry))) break;
        }
        break;
    }
    case ValueType::None: break;
    default: visit(collection); break;
    }
    return 0;
}

uint32_t commandCall(Value* args, int count) {
    if (count < 1) return 0;
    return callValue(args[0], args + 1, count - 1) << 1;
}

uint32_t commandCallFx(Value* args, int count) {
    if (count < 2) return 0;
    int32_t ticks = secondsToTicks(args[0]);
    if (ticks <= 0)
        callValue(args[1], args + 2, count - 2);
    else
        addDelayedCall(*script().ctx.scope, ticks, args[1], args + 2, count - 2);
    return 0;
}

uint32_t commandAfter(Value* args, int) {
    ScriptSystem& s = script();
    Block* block = s.ctx.statement.block();
    int32_t ticks = secondsToTicks(args[0]);
    if (ticks <= 0)
        runPlainBlock(block);
    else if (block)
        addDelayedBlock(*s.ctx.scope, ticks, block);
    return 0;
}

} // namespace glint
