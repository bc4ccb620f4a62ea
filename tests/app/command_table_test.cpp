// Every built-in command of the list is connected to its real behaviour
// once the engine has started: a family left on the placeholder would make
// scripts that use it do nothing without a word.
#include "engine_fixture.h"

#include "script/commands.h"
#include "script/script_system.h"
#include "script/symbol.h"

#include <string>
#include <vector>

using namespace glint;
using namespace glint::test;

namespace {

std::vector<const char*> builtinNames() {
    std::vector<const char*> names;
#define GLINT_KEYWORD(index, name, minimum, flags, callback) names.push_back(name);
#define GLINT_COMMAND(name, minimum, callback) names.push_back(name);
#include "script/builtin_commands.def"
#undef GLINT_KEYWORD
#undef GLINT_COMMAND
    return names;
}

TEST_F(EngineFixture, EveryBuiltInCommandIsConnectedOnceTheEngineRuns) {
    makeGame();
    start();
    std::string pending;
    for (const char* name : builtinNames()) {
        Value* cell = findVariable(script().global(), KindFunction, intern(name), nullptr, false);
        ASSERT_TRUE(cell && cell->is(ValueType::Function)) << name;
        if (cell->as<ScriptFunction>()->callback == commandPending)
            pending += std::string(" ") + name;
    }
    EXPECT_EQ(pending, "") << "commands still on the placeholder";
}

} // namespace
