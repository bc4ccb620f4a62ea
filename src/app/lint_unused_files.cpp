// Files under data/ that the game never uses: left over from earlier
// versions of a scene, or named with a typing error somewhere that the
// other findings then report as missing. They only cost space, so they are
// warnings; a file whose name a text file of the game mentions counts as
// used, since some are only read once a scene opens or a script runs.
#include "app/lint.h"

#include "app/application.h"
#include "app/engine.h"
#include "engine/resources/resource.h"
#include "resource/resource_manager.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace glint {

namespace {

// Text files that may name other files: entries of configurations that
// are read only when a scene opens ("anim:" images of a scene's extra
// configuration), paths that scripts hand to the file commands, the images
// of particle systems.
bool namesFiles(const std::string& path) {
    for (const char* extension : {".scene", ".script", ".cfg", ".sxcfg", ".atlas", ".txt", ".xml", ".particles"})
        if (path.ends_with(extension))
            return true;
    return false;
}

// Particle files are only named (the check prepares no element), so the
// files the findings looked at are searched as well as those the run read.
bool mentioned(LintContext& lint, const std::string& path) {
    std::string_view name = fileNameOf(path);
    for (const std::set<std::string>* files : {&lint.readFiles, &lint.namedFiles})
        for (const std::string& file : *files)
            if (file != path && namesFiles(file) && lint.sources.text(file).find(name) != std::string::npos)
                return true;
    return false;
}

// The same file for another language ("guide_de.xml" beside "guide.xml"),
// read in place of the other when that language is chosen; and a video's
// subtitles ("movie_intro.srt" beside "movie_intro.ogv"), read with it.
// Both are used when the file they stand beside is.
std::vector<std::string> companionsOf(const std::string& path, const std::vector<std::string>& suffixes) {
    std::filesystem::path file(path);
    std::string stem = (file.parent_path() / file.stem()).generic_string();
    std::string extension = file.extension().string();
    std::vector<std::string> companions;
    for (const std::string& suffix : suffixes)
        if (!suffix.empty() && stem.ends_with(suffix))
            companions.push_back(stem.substr(0, stem.size() - suffix.size()) + extension);
    if (extension == ".srt")
        companions.push_back(stem + ".ogv");
    return companions;
}

std::set<std::string> registeredPaths(const MResourceManager& resources) {
    std::set<std::string> paths;
    for (const MResource* resource = resources.first(); resource; resource = resource->next) paths.insert(resource->path);
    return paths;
}

} // namespace

void lintUnusedFiles(LintContext& lint) {
    namespace fs = std::filesystem;
    std::set<std::string> registered = registeredPaths(lint.engine.resources);
    // The splash images show before loading, which the check does not reach.
    for (const std::string& splash : lint.engine.app.platform.splash) registered.insert(splash);
    fs::path data = resolveDataPath("data");
    std::error_code error;
    std::vector<std::string> suffixes = localizationSuffixes(lint.engine);
    // The window's title comes from the chosen language's title file, read
    // at start-up by the player before the check's engine exists.
    for (const std::string& suffix : suffixes) registered.insert("data/game_title" + suffix + ".txt");
    auto used = [&](const std::string& path) {
        return lint.readFiles.count(path) || lint.namedFiles.count(path) || registered.count(path) ||
               mentioned(lint, path);
    };
    std::set<std::string> unused; // sorted, so the report reads the same on every machine
    for (fs::recursive_directory_iterator it(data, error), end; !error && it != end; it.increment(error)) {
        if (!it->is_regular_file(error))
            continue;
        std::string path = "data/" + it->path().lexically_relative(data).generic_string();
        if (used(path))
            continue;
        std::vector<std::string> companions = companionsOf(path, suffixes);
        if (std::none_of(companions.begin(), companions.end(), used))
            unused.insert(path);
    }
    for (const std::string& path : unused) lint.report.warning(path, 1, "nothing uses this file");
}

} // namespace glint
