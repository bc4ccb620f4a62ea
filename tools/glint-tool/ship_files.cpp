#include "ship_files.h"

namespace glint::tool {

namespace {

// A desktop entry string value: backslashes and line breaks escaped.
std::string entryString(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\t')
            out += "\\t";
        else
            out += c;
    }
    return out;
}

// One quoted argument of an Exec line: inside the quotes '"', '`', '$'
// and '\' take a backslash, '%' is doubled, and the whole value is then
// escaped as a string.
std::string execArgument(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c == '%' ? std::string("%%") : std::string(1, c);
    }
    return entryString(quoted + "\"");
}

} // namespace

std::string launcherScript() {
    return "#!/bin/sh\n"
           "# Starts the game in this folder, wherever it is started from.\n"
           "here=$(dirname \"$(readlink -f \"$0\")\")\n"
           "exec \"$here/" +
           std::string(kShipPlayer) + "\" \"$here\" \"$@\"\n";
}

std::string desktopEntry(const std::string& title, const std::string& folder) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" +
           entryString(title) + "\nExec=" + execArgument(folder + "/" + kShipLauncher) + "\nPath=" +
           entryString(folder) + "\nIcon=" + entryString(folder + "/" + kShipIcon) +
           "\nTerminal=false\nCategories=Game;AdventureGame;\n";
}

std::string playerReadme(const std::string& title, const std::vector<std::string>& packages) {
    std::string install = "sudo apt-get install";
    for (const std::string& package : packages)
        install += " " + package;
    return title + "\n\n"
           "To play, run ./" + kShipLauncher + " in this folder (from any folder is fine too).\n\n"
           "On a fresh Debian machine, first install the libraries the game uses:\n\n    " +
           install +
           "\n\n"
           "Files:\n"
           "  " + kShipLauncher + "          starts the game\n"
           "  " + kShipPlayer + "         the player\n"
           "  data.pak      the game's data\n"
           "  " + kShipDesktop + "  a menu entry; it names this folder where it was made, so after moving\n"
           "                the folder edit its Exec, Path and Icon lines, then copy it to\n"
           "                ~/.local/share/applications/\n"
           "  " + kShipIcon + "      the game's icon\n\n"
           "Options and saved games are kept under ~/.local/share (or $XDG_DATA_HOME).\n";
}

} // namespace glint::tool
