// The icon of a shipped game.
#pragma once

#include <filesystem>
#include <string>

namespace glint::tool {

// Copies the game's own "icon.png" (beside data/, or inside it) to out, or
// when it has none draws one in a colour taken from the title. False with
// a message when the game's icon is not a PNG image or out cannot be
// written.
bool writeGameIcon(const std::filesystem::path& gameDir, const std::string& title,
                   const std::filesystem::path& out, std::string& error);

} // namespace glint::tool
