// Script errors: reported, never fatal. The game goes on after each one.
#pragma once

namespace glint {

class Scope;

// Formats "ERROR in script %s" with the name of the scene whose script is
// current ("ERROR" without one) into the last-error buffer and traces
// "%s: %s" with that text and the message.
void scriptError(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The last "ERROR in script %s" text; empty before the first error.
const char* lastScriptError();

// The scope whose scene errors are reported against; the compiler and the
// interpreter keep it current.
Scope* scriptErrorScope();
void setScriptErrorScope(Scope* scope);

} // namespace glint
