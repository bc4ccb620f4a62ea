#include "ship_files.h"

#include <cctype>

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

std::string desktopFileName(const std::string& title) {
    std::string name;
    bool gap = false;
    for (char c : title) {
        if (c == '\'')
            continue; // "Keeper's" reads better as "keepers" than "keeper-s"
        if (std::isalnum(static_cast<unsigned char>(c)) && static_cast<unsigned char>(c) < 0x80) {
            if (gap && !name.empty())
                name += '-';
            name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            gap = false;
        } else {
            gap = true;
        }
    }
    return (name.empty() ? "game" : name) + ".desktop";
}

// The Exec, Path and Icon lines are written again with the folder's
// present place, escaped as entryString() and execArgument() do.
std::string launcherScript(const std::string& installedName) {
    return R"SH(#!/bin/sh
# Starts the game in this folder, wherever it is started from.
# "--install-desktop" adds the game to this user's desktop menu.
here=$(dirname "$(readlink -f "$0")")
if [ "$1" = "--install-desktop" ]; then
    apps="${XDG_DATA_HOME:-$HOME/.local/share}/applications"
    entry="$apps/)SH" + installedName + R"SH("
    program=$(printf '%s\n' "$here/)SH" + kShipLauncher + R"SH(" | sed -e 's/[\\"`$]/\\&/g' -e 's/\\/\\\\/g' -e 's/%/%%/g')
    folder=$(printf '%s\n' "$here" | sed -e 's/\\/\\\\/g')
    mkdir -p "$apps" || exit 1
    while IFS= read -r line; do
        case $line in
        Exec=*) printf 'Exec="%s"\n' "$program" ;;
        Path=*) printf 'Path=%s\n' "$folder" ;;
        Icon=*) printf 'Icon=%s/)SH" + kShipIcon + R"SH(\n' "$folder" ;;
        *) printf '%s\n' "$line" ;;
        esac
    done <"$here/)SH" + kShipDesktop + R"SH(" >"$entry" || exit 1
    echo "installed $entry"
    exit 0
fi
exec "$here/)SH" + kShipPlayer + R"SH(" "$here" "$@"
)SH";
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
           "  " + kShipDesktop + "  a menu entry; ./" + kShipLauncher + " --install-desktop adds it to your desktop's\n"
           "                menu (run it again after moving this folder)\n"
           "  " + kShipIcon + "      the game's icon\n\n"
           "Options and saved games are kept under ~/.local/share (or $XDG_DATA_HOME).\n";
}

} // namespace glint::tool
