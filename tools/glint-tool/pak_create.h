// Builds "data.pak" from a game folder; the pak and ship commands share it.
#pragma once

#include <string>

namespace glint::tool {

struct PakRequest {
    std::string out;
    std::string gameDir;
    bool tar = false;
    bool encrypt = false; // zip only
};

// Packs every file under gameDir/data, sorted by name. Prints progress and
// a summary; on failure prints why, removes the partial archive and
// returns 1.
int createPak(const PakRequest& request);

} // namespace glint::tool
