// Registration of the built-in commands and the keyword table.
#include "script/commands.h"

#include "engine/system/log.h"
#include "engine/system/numbers.h"
#include "script/script_system.h"

namespace glint {

// Declarations of every callback named by the command list.
#define GLINT_KEYWORD(index, name, minimum, flags, callback) uint32_t callback(Value*, int);
#define GLINT_COMMAND(name, minimum, callback) uint32_t callback(Value*, int);
#include "script/builtin_commands.def"
#undef GLINT_KEYWORD
#undef GLINT_COMMAND

const KeywordTable& keywords() { return script().keywords; }

ScriptFunction* registerCommand(const char* name, CommandCallback callback, int minimumArguments, int flags) {
    if (!callback) {
        debugTrace("Command %s has no implementation function!", name);
        return nullptr;
    }
    Value* cell = findVariable(script().global(), KindFunction, intern(name), nullptr, true);
    if (!cell || !cell->is(ValueType::Function)) return nullptr;
    ScriptFunction* function = cell->as<ScriptFunction>();
    function->declarationLevel = (flags / 10) % 10 ? 1 : 0;
    function->hasBlock = flags % 10 ? 1 : 0;
    function->impl = FunctionImpl::BuiltIn;
    function->minimumArguments = static_cast<uint8_t>(minimumArguments);
    function->callback = callback;
    return function;
}

ScriptFunction* registerKeyword(int index, const char* name, CommandCallback callback, int minimumArguments,
                                int flags) {
    ScriptFunction* function = registerCommand(name, callback, minimumArguments, flags);
    if (!function || index <= 0 || index >= kKeywordSlots) return function;
    KeywordTable& keywordTable = script().keywords;
    keywordTable.symbol[index] = function->name;
    keywordTable.callback[index] = callback;
    keywordTable.minimum[index] = static_cast<uint8_t>(minimumArguments);
    keywordTable.function[index] = function;
    return function;
}

int keywordIndex(Symbol* symbol) {
    if (!symbol) return 0;
    const KeywordTable& keywordTable = keywords();
    for (int i = 0; i < kKeywordSlots; ++i)
        if (keywordTable.symbol[i] == symbol) return i;
    return 0;
}

void registerBuiltinCommands() {
    // sin and cos read the tables: they are ready before any script runs.
    initMathTables();
#define GLINT_KEYWORD(index, name, minimum, flags, callback) registerKeyword(index, name, callback, minimum, flags);
#define GLINT_COMMAND(name, minimum, callback) registerCommand(name, callback, minimum, 0);
#include "script/builtin_commands.def"
#undef GLINT_KEYWORD
#undef GLINT_COMMAND
}

} // namespace glint
