// The script commands music, ambient, sound and voice, and what start,
// stop and reset do with a sound, served by the running game's sound
// player.
#pragma once

namespace glint {

class MSoundPlayer;

// Points the keywords at their callbacks (after registerBuiltinCommands);
// the commands act on player until it is unregistered with null.
void registerSoundCommands(MSoundPlayer* player);

} // namespace glint
