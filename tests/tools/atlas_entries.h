// The lines of an atlas description ("PAGE NAME X Y W H"), read back by the
// tests of the packer and of the sample game's baked art.
#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace glint::test {

struct AtlasEntry {
    int page = 0;
    std::string name;
    int x = 0, y = 0, width = 0, height = 0;
};

inline std::vector<AtlasEntry> readAtlasEntries(const std::string& text) {
    std::vector<AtlasEntry> entries;
    std::istringstream in(text);
    AtlasEntry e;
    while (in >> e.page >> e.name >> e.x >> e.y >> e.width >> e.height)
        entries.push_back(e);
    return entries;
}

} // namespace glint::test
