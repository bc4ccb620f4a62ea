// quit and restart: the end of a run of the game.
#include "script/commands.h"
#include "script/script_system.h"

namespace glint {

namespace {

// The name of a scene value, or of a scene named by a string; "" else.
const char* sceneNameOf(const Value& value) {
    if (value.is(ValueType::Scene) && value.pointer && value.as<ScriptScene>()->name)
        return value.as<ScriptScene>()->name->text;
    if (value.isString())
        return value.symbol()->text;
    return "";
}

} // namespace

uint32_t commandQuit(Value*, int) {
    if (EndRequest end = script().endRequest)
        end(false, "", "");
    return 0;
}

// restart SCENE continues at SCENE and shows the scene its variable
// "Loading_scene" holds while the new run loads.
uint32_t commandRestart(Value* args, int count) {
    EndRequest end = script().endRequest;
    if (!end)
        return 0;
    const char* scene = count > 0 ? sceneNameOf(args[0]) : "";
    const char* loading = "";
    if (count > 0 && args[0].is(ValueType::Scene) && args[0].pointer) {
        Scope& scope = args[0].as<ScriptScene>()->scope;
        if (const Value* cell = findVariable(scope, KindPlain, sym::Loading_scene(), nullptr, false))
            loading = sceneNameOf(*cell);
    }
    end(true, scene, loading);
    return 0;
}

} // namespace glint
