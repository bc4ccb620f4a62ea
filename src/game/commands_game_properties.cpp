#include "game/game_properties.h"
#include "game/game_property_commands.h"

#include "script/commands.h"

namespace glint {

namespace {

GameProperties* served = nullptr;

Symbol* keyOf(const Value& v) { return v.isString() ? v.symbol() : nullptr; }

// get_game_property key out: the entry's text, else its number; a key
// never asked for before is added holding 0.
uint32_t commandGetGameProperty(Value* args, int) {
    Symbol* key = keyOf(args[0]);
    if (!key) {
        args[1] = Value();
        return 2;
    }
    if (!served)
        return 0;
    const GameProperty& entry = served->lookup(key);
    args[1] = entry.text ? Value::fromSymbol(entry.text) : Value::fromNumber(entry.number);
    return 2;
}

// set_game_property key value: a text, or a number (0 for anything else);
// the store is saved at once.
uint32_t commandSetGameProperty(Value* args, int) {
    Symbol* key = keyOf(args[0]);
    if (!key || !served)
        return 0;
    GameProperty& entry = served->lookup(key);
    Symbol* text = keyOf(args[1]);
    entry.text = text;
    entry.number = !text && args[1].isNumber() ? args[1].number : 0;
    served->save();
    return 0;
}

} // namespace

void registerGamePropertyCommands(GameProperties* store) {
    served = store;
    if (!store)
        return;
    registerCommand("get_game_property", commandGetGameProperty, 2, 0);
    registerCommand("set_game_property", commandSetGameProperty, 2, 0);
}

} // namespace glint
