#include "runtime_packages.h"

#include "elf_needed.h"
#include "run_program.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace glint::tool {

namespace {

namespace fs = std::filesystem;

// Opened by the window at run time (SDL loads the GL library itself), so
// the program's own list does not name it.
constexpr const char* kOpenedLibraries[] = {"libGL.so.1"};

// In one read: a player with debugging information is large.
bool readProgram(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return false;
    bytes.resize(static_cast<size_t>(in.tellg()));
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return !in.fail();
}

// Where the dynamic loader finds each library: ldd's "NAME => PATH (...)".
std::map<std::string, std::string> loadedPaths(const std::string& program) {
    std::string listing;
    std::map<std::string, std::string> paths;
    if (runProgram({"ldd", program}, &listing) != 0)
        return paths;
    std::istringstream lines(listing);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string name, arrow, path;
        if (words >> name >> arrow >> path && arrow == "=>" && path[0] == '/')
            paths[name] = path;
    }
    return paths;
}

// The owners of the paths that the package lists know, from lines like
// "libsdl2-2.0-0:amd64: /usr/lib/...". One query for all: each start of
// dpkg-query reads the whole package database.
void addOwners(const std::vector<std::string>& paths, std::map<std::string, std::string>& owners) {
    std::vector<std::string> query = {"dpkg-query", "--search"};
    query.insert(query.end(), paths.begin(), paths.end());
    std::string answer;
    runProgram(query, &answer); // status 1 when some path is unknown
    std::istringstream lines(answer);
    for (std::string line; std::getline(lines, line);) {
        size_t separator = line.find(": /");
        if (separator == std::string::npos)
            continue;
        std::string package = line.substr(0, line.find_first_of(",:"));
        if (package.find(' ') == std::string::npos)
            owners[line.substr(separator + 2)] = package;
    }
}

// Library name to package. The package lists hold either the path the
// loader uses or the one its links lead to, depending on the package.
std::map<std::string, std::string> packagesOf(const std::map<std::string, std::string>& paths) {
    std::vector<std::string> direct, followed;
    std::map<std::string, std::string> real;
    for (const auto& [name, path] : paths) {
        std::error_code error;
        direct.push_back(path);
        real[name] = fs::canonical(path, error).string();
        followed.push_back(real[name]);
    }
    std::map<std::string, std::string> owners, packages;
    if (!direct.empty()) {
        addOwners(direct, owners);
        addOwners(followed, owners);
    }
    for (const auto& [name, path] : paths) {
        auto owner = owners.find(path);
        if (owner == owners.end())
            owner = owners.find(real[name]);
        if (owner != owners.end())
            packages[name] = owner->second;
    }
    return packages;
}

// Looked for in the folders the loader found the linked libraries in.
void addOpenedLibraries(std::map<std::string, std::string>& paths, std::vector<std::string>& libraries) {
    std::vector<fs::path> folders;
    for (const auto& [name, path] : paths)
        folders.push_back(fs::path(path).parent_path());
    for (const char* opened : kOpenedLibraries) {
        libraries.push_back(opened);
        std::error_code error;
        for (const fs::path& folder : folders) {
            if (fs::exists(folder / opened, error)) {
                paths[opened] = (folder / opened).string();
                break;
            }
        }
    }
}

} // namespace

bool runtimePackages(const std::string& program, std::vector<std::string>& packages, std::string& error) {
    std::string bytes;
    if (!readProgram(program, bytes)) {
        error = "cannot read '" + program + "'";
        return false;
    }
    std::vector<std::string> libraries;
    if (!readNeededLibraries(bytes, libraries)) {
        error = "'" + program + "' is not a program this machine runs";
        return false;
    }
    std::map<std::string, std::string> paths = loadedPaths(program);
    addOpenedLibraries(paths, libraries);
    std::map<std::string, std::string> owners = packagesOf(paths);
    for (const std::string& library : libraries) {
        auto owner = owners.find(library);
        packages.push_back(owner == owners.end() ? library : owner->second);
    }
    std::sort(packages.begin(), packages.end());
    packages.erase(std::unique(packages.begin(), packages.end()), packages.end());
    return true;
}

} // namespace glint::tool
