// Helpers shared by the files of the value command family.
#pragma once

#include <cstddef>

#include "script/value.h"

namespace glint {

// A number argument; anything else counts as 0.
inline double numberOf(const Value& v) { return v.isNumber() ? v.number : 0; }

// A string argument's text; anything else counts as the empty text.
inline const char* textOf(const Value& v) { return v.isString() ? v.symbol()->text : ""; }

// The text forms of args[0 .. count) joined with single spaces, in the
// script system's scratch text (what error and print report).
const char* joinedTexts(const Value* args, int count);

// A new anonymous array of the global scope, named by its counter.
ArrayObject* newAnonymousArray();

} // namespace glint
