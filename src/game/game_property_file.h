// The file of the game-wide properties ("game." with the profile-list
// extension in the per-user folder), written through the save stream.
#pragma once

#include <string>

#include "game/game_properties.h"

namespace glint {

// The store holds what the file holds; it stays empty when the file is
// missing or cannot be read. backups is BuildSupportIngameSaves.
void loadGamePropertyFile(GameProperties& store, const std::string& path, bool backups);
// False, with the previous file kept, when the store cannot be written.
bool saveGamePropertyFile(const GameProperties& store, const std::string& path, bool backups);

} // namespace glint
