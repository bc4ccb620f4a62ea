// The small text files of a shipped game folder.
#pragma once

#include <string>
#include <vector>

namespace glint::tool {

// Fixed names inside the shipped folder.
constexpr const char* kShipPlayer = "glint";
constexpr const char* kShipLauncher = "play";
constexpr const char* kShipDesktop = "game.desktop";
constexpr const char* kShipIcon = "icon.png";
constexpr const char* kShipReadme = "README.txt";

// A POSIX shell script that runs the player on its own folder, wherever it
// is started from, passing its arguments on.
std::string launcherScript();

// A desktop entry for the folder at its absolute path.
std::string desktopEntry(const std::string& title, const std::string& folder);

// What a player reads first: how to start the game and which packages to
// install.
std::string playerReadme(const std::string& title, const std::vector<std::string>& packages);

} // namespace glint::tool
