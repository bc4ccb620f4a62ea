#include "script/file_paths.h"

#include <cstdlib>
#include <sys/stat.h>
#include <vector>

namespace glint {

namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

// The absolute path with "." and ".." worked out by their names alone; empty
// when ".." climbs above the root.
std::string normalized(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && !isSeparator(path[i])) {
            part += path[i];
            continue;
        }
        if (part == "..") {
            if (parts.empty())
                return "";
            parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        part.clear();
    }
    std::string out;
    for (const std::string& p : parts)
        out += "/" + p;
    return out.empty() ? "/" : out;
}

// The path as the system will see it: its deepest existing part with every
// symbolic link followed, then the rest as written. Empty when a part exists
// but cannot be followed (a dangling link, whose target a write would create
// wherever it points).
std::string followed(const std::string& path) {
    std::string head = path, tail;
    for (;;) {
        if (char* real = ::realpath(head.c_str(), nullptr)) {
            std::string resolved = real;
            std::free(real);
            return (resolved == "/" ? "" : resolved) + tail;
        }
        struct stat info;
        size_t slash = head.rfind('/');
        if (::lstat(head.c_str(), &info) == 0 || slash == std::string::npos)
            return "";
        tail = head.substr(slash) + tail;
        head = slash == 0 ? "/" : head.substr(0, slash);
    }
}

bool strictlyBelow(const std::string& path, const std::string& folder) {
    std::string prefix = folder == "/" ? folder : folder + "/";
    return !folder.empty() && path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0;
}

// A folder as the checks compare it; empty (matching nothing) unless absolute.
std::string folderOf(const std::string& folder) { return folder.empty() || folder[0] != '/' ? "" : normalized(folder); }

bool belowEither(const std::string& path, const std::string& game, const std::string& user) {
    return strictlyBelow(path, game) || strictlyBelow(path, user);
}

} // namespace

std::string confinedPath(const ScriptFolders& folders, const std::string& base, const char* path) {
    if (!path || (path[0] && path[1] == ':'))
        return "";
    std::string place = normalized(isSeparator(path[0]) ? std::string(path) : base + "/" + path);
    std::string game = folderOf(folders.game), user = folderOf(folders.user);
    if (place.empty() || !belowEither(place, game, user))
        return "";
    std::string real = followed(place);
    std::string realGame = game.empty() ? "" : followed(game), realUser = user.empty() ? "" : followed(user);
    if (real.empty() || !belowEither(real, realGame, realUser))
        return "";
    return place;
}

} // namespace glint
