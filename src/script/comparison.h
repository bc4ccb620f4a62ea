// Comparing two values the way conditions do: numbers in 1/2048 fixed
// point, none as 0, objects by identity, and strings by text for the
// ordering words.
#pragma once

#include <cstdint>
#include <cstring>

#include "script/value.h"

namespace glint {

inline int64_t comparable(const Value& v) {
    if (v.isNumber()) return static_cast<int64_t>(v.number * 2048); // the conversion truncates
    if (v.isNone()) return 0;
    return static_cast<int64_t>(reinterpret_cast<intptr_t>(v.pointer));
}

// a op b for the words "=", "<>", "<", ">", "<=" and ">="; false for any
// other op.
inline bool compareValues(const Value& a, Symbol* op, const Value& b) {
    int64_t x = comparable(a), y = comparable(b);
    if (op == sym::eq()) return x == y;
    if (op == sym::ne()) return x != y;
    int order;
    if (a.isString() && b.isString())
        order = std::strcmp(a.symbol()->text, b.symbol()->text);
    else
        order = x < y ? -1 : x > y ? 1 : 0;
    if (op == sym::lt()) return order < 0;
    if (op == sym::gt()) return order > 0;
    if (op == sym::le()) return order <= 0;
    if (op == sym::ge()) return order >= 0;
    return false;
}

inline bool isConnective(const Value& v) {
    return v.isString() && (v.symbol() == sym::and_() || v.symbol() == sym::or_());
}

} // namespace glint
