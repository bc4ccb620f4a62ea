// The statements loops are made of, run in place by the statement loop:
// assignment, arithmetic and the condition "A OP B" of an if. They read
// and write their operands as the general way does, in the same order, but
// skip the copy of the arguments to the stack, the call through the
// command table and the write-back by mask.
#pragma once

#include "script/commands.h"
#include "script/commands_value.h"
#include "script/comparison.h"
#include "script/interpreter.h"

namespace glint {

// Locals, variables (references to their cells) and constants are nearly
// every argument: they are read and written here without a call; the
// other compiled forms go through access. A local outside any frame reads
// as none and takes no writes.
inline void readArgument(const Value& cell, const Value* frame, Value& out) {
    switch (cell.type()) {
    case ValueType::Reference: out = *cell.as<Value>(); return;
    case ValueType::Local:
    case ValueType::LoopLocal: out = frame ? frame[cell.bits] : Value(); return;
    case ValueType::Index:
    case ValueType::Index2:
    case ValueType::Member:
    case ValueType::ScopedName:
    case ValueType::ConfigKey: access(cell, AccessRead, out); return;
    default: out = cell; return;
    }
}

inline void writeArgument(const Value& cell, Value* frame, Value& value) {
    switch (cell.type()) {
    case ValueType::Reference: *cell.as<Value>() = value; return;
    case ValueType::Local:
    case ValueType::LoopLocal:
        if (frame) frame[cell.bits] = value;
        return;
    default: access(cell, AccessWrite, value); return;
    }
}

// The cell a variable or a local argument denotes; null for other forms
// and for a local outside any frame.
inline Value* simplePlace(const Value& cell, Value* frame) {
    switch (cell.type()) {
    case ValueType::Reference: return cell.as<Value>();
    case ValueType::Local:
    case ValueType::LoopLocal: return frame ? frame + cell.bits : nullptr;
    default: return nullptr;
    }
}

// Where an argument's value can be read without evaluating anything: the
// place of a variable or local, or the constant cell itself. Null for the
// forms that need evaluation.
inline const Value* simpleOperand(const Value& cell, Value* frame) {
    switch (cell.type()) {
    case ValueType::Reference:
    case ValueType::Local:
    case ValueType::LoopLocal: return simplePlace(cell, frame);
    case ValueType::Index:
    case ValueType::Index2:
    case ValueType::Member:
    case ValueType::ScopedName:
    case ValueType::ConfigKey: return nullptr;
    default: return &cell;
    }
}

inline bool isArithmetic(int command) { return command >= KwSet && command <= KwImod && command != KwAbs; }

// What set, add, sub, mul, div, idiv and imod leave in their first argument.
inline Value arithmetic(int command, const Value& out, const Value& in) {
    double x = numberOf(in);
    switch (command) {
    case KwSet: return in;
    case KwAdd: return Value::fromNumber(numberOf(out) + x);
    case KwSub: return Value::fromNumber(numberOf(out) - x);
    case KwMul: return Value::fromNumber(numberOf(out) * x);
    case KwDiv: return Value::fromNumber(quotient(numberOf(out), x));
    case KwIdiv: return Value::fromNumber(wholeQuotient(numberOf(out), x));
    default: return Value::fromNumber(wholeRemainder(numberOf(out), x));
    }
}

// Runs set, add, sub, mul, div, idiv and imod written with at most two
// arguments; false for other statements (nothing was done then). Between
// variables, locals and constants the work is done on the cells directly.
inline bool runArithmeticInPlace(int command, int cells, const Value* arguments, Value* frame) {
    if (cells != 2 || !isArithmetic(command)) return false;
    Value* place = simplePlace(arguments[0], frame);
    const Value* operand = place ? simpleOperand(arguments[1], frame) : nullptr;
    if (operand) {
        *place = arithmetic(command, *place, *operand);
        return true;
    }
    Value out, in;
    readArgument(arguments[0], frame, out);
    readArgument(arguments[1], frame, in);
    out = arithmetic(command, out, in);
    writeArgument(arguments[0], frame, out);
    return true;
}

// The usual "if A OP B" with a constant comparison word: 1 when it holds,
// 0 when it does not, -1 when the condition needs the general evaluation.
inline int simpleCondition(int written, const Value* arguments, Value* frame) {
    if (written != 3) return -1;
    const Value& op = arguments[1];
    if (!op.isString() || isConnective(op)) return -1;
    const Value* a = simpleOperand(arguments[0], frame);
    const Value* b = simpleOperand(arguments[2], frame);
    if (a && b) return compareValues(*a, op.symbol(), *b) ? 1 : 0;
    Value left, right;
    readArgument(arguments[0], frame, left);
    readArgument(arguments[2], frame, right);
    return compareValues(left, op.symbol(), right) ? 1 : 0;
}

} // namespace glint
