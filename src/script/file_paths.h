// Where the scripts' file commands may act: only below the game folder and
// the per-user folder. A game is data a player downloads; its scripts must
// not read, write or delete the player's other files.
#pragma once

#include <string>

namespace glint {

struct ScriptFolders {
    std::string game; // the data path
    std::string user; // the per-user folder
};

// path made absolute against base ("/" and "\\" both separate, "." is
// skipped, ".." steps back), or the empty string when the result does not
// lie strictly below one of the two folders, before and after following
// symbolic links. An absolute path counts when it names a place below one of
// them (scripts build such paths from OPTIONS_PATH); a drive letter never
// does.
std::string confinedPath(const ScriptFolders& folders, const std::string& base, const char* path);

} // namespace glint
