// Helpers shared by the files of the value command family.
#pragma once

#include <cmath>
#include <cstddef>

#include "script/value.h"

namespace glint {

// A number argument; anything else counts as 0.
inline double numberOf(const Value& v) { return v.isNumber() ? v.number : 0; }

// The divisions of div, idiv and imod: a divisor this close to 0 gives 0
// rather than a huge or infinite result.
inline bool tooSmallDivisor(double x) { return std::fabs(x) < 0.0001; }
inline double quotient(double out, double x) { return tooSmallDivisor(x) ? 0 : out / x; }
inline double wholeQuotient(double out, double x) { return tooSmallDivisor(x) ? 0 : std::trunc(out / x); }
inline double wholeRemainder(double out, double x) { return tooSmallDivisor(x) ? 0 : out - x * std::trunc(out / x); }

// A string argument's text; anything else counts as the empty text.
inline const char* textOf(const Value& v) { return v.isString() ? v.symbol()->text : ""; }

// The text forms of args[0 .. count) joined with single spaces, in the
// script system's scratch text (what error and print report).
const char* joinedTexts(const Value* args, int count);

// A new anonymous array of the global scope, named by its counter.
ArrayObject* newAnonymousArray();

} // namespace glint
