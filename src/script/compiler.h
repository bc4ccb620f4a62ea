// The compiler of .script sources: statements into statement nodes, value
// words into constants and compiled forms, plus the compile-time
// directives include, include_for_each, def, ifdef and ifndef.
#pragma once

#include "script/script_system.h"

namespace glint {

// Where the next compiled statement is linked: the head of a list, or the
// next link of its last statement.
struct ListTail {
    NodeRef* head = nullptr;
    Value* last = nullptr;

    void append(NodeRef ref, Value* header);
};

// Declaration levels of statement lists.
constexpr int kLevelCommands = 0;
constexpr int kLevelDeclarations = 1;

// Compiles the unit of one scene ("common_all", the scene's own script,
// "common_all_post") into its top-level list and runs the declaration pass;
// does nothing for a scope compiled already.
void compileScene(Scope& scope);

// Compiles one named script into a list at a level; reports a missing one
// when mustExist is set. False when no source was found.
bool compileScript(Scope& scope, ListTail& list, Symbol* name, const IncludeContext& include, int level,
                   bool mustExist);

// Compiles one value word into out. kindHint (0 to 9) makes a bare name a
// variable of that kind; scope overrides the scope being compiled.
void compileWord(const char* text, Value& out, Scope* scope = nullptr, int kindHint = KindNone);

// The text form of a value word read now (substitution, def).
Value evaluateWord(const char* text);

} // namespace glint
