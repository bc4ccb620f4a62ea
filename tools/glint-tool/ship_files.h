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

// The name a desktop entry is installed under: the title in lowercase
// letters and digits joined by '-', ending in ".desktop".
std::string desktopFileName(const std::string& title);

// A POSIX shell script that runs the player on its own folder, wherever it
// is started from, passing its arguments on. With "--install-desktop" it
// installs the folder's desktop entry for the user as installedName,
// naming the folder where it is now.
std::string launcherScript(const std::string& installedName);

// A desktop entry for the folder at its absolute path.
std::string desktopEntry(const std::string& title, const std::string& folder);

// What a player reads first: how to start the game and which packages to
// install.
std::string playerReadme(const std::string& title, const std::vector<std::string>& packages);

} // namespace glint::tool
