// The script commands get_game_property and set_game_property, served by
// the application's game-property store.
#pragma once

namespace glint {

class GameProperties;

// Points the commands at their callbacks (after registerBuiltinCommands);
// they act on store until it is unregistered with null.
void registerGamePropertyCommands(GameProperties* store);

} // namespace glint
