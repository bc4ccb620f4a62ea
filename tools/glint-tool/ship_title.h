// The title a game's window shows, read from the game's own files.
#pragma once

#include <string>

namespace glint::tool {

// Starts the engine's file services on gameDir (which becomes the working
// folder, as for the player) and composes the window title as the player
// does: the title file of the game's language, else the configured names.
// Empty when the folder cannot be used.
std::string gameWindowTitle(const std::string& gameDir);

} // namespace glint::tool
