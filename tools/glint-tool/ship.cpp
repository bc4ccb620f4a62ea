// glint-tool ship GAME_DIR OUT_DIR [--encrypt] [--tar]: a folder that a
// player copies to a Debian machine and runs: the player, the game packed
// into data.pak, a launcher, a desktop entry with an icon and a README
// naming the packages to install.
#include "command.h"
#include "pak_create.h"
#include "run_program.h"
#include "runtime_packages.h"
#include "ship_files.h"
#include "ship_icon.h"
#include "ship_title.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace glint::tool {

namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage = "glint-tool ship GAME_DIR OUT_DIR [--encrypt] [--tar]";

struct ShipRequest {
    fs::path gameDir;
    fs::path outDir;
    bool encrypt = false;
    bool tar = false;
};

int usage() {
    std::fprintf(stderr, "usage: %s\n", kUsage);
    return 2;
}

bool fail(const std::string& message) {
    std::fprintf(stderr, "glint-tool ship: %s\n", message.c_str());
    return false;
}

// Absolute and without a trailing separator: the engine's start-up enters
// the game folder, and the tarball is named after the last component.
fs::path absoluteFolder(const char* text) {
    fs::path path = fs::absolute(text).lexically_normal();
    return path.has_filename() ? path : path.parent_path();
}

bool parseShip(int argc, char** argv, ShipRequest& request) {
    std::vector<const char*> positional;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--encrypt"))
            request.encrypt = true;
        else if (!std::strcmp(argv[i], "--tar"))
            request.tar = true;
        else if (argv[i][0] == '-' && argv[i][1])
            return false;
        else
            positional.push_back(argv[i]);
    }
    if (positional.size() != 2)
        return false;
    request.gameDir = absoluteFolder(positional[0]);
    request.outDir = absoluteFolder(positional[1]);
    return true;
}

fs::path tarballOf(const fs::path& outDir) { return outDir.string() + ".tar.gz"; }

// The player installed beside this tool, else the one of the same build
// tree (tools/glint-tool and src/glint).
fs::path playerBinary() {
    std::error_code error;
    fs::path folder = fs::read_symlink("/proc/self/exe", error).parent_path();
    fs::path beside = folder / kShipPlayer;
    return fs::is_regular_file(beside, error) ? beside : folder.parent_path() / "src" / kShipPlayer;
}

bool isWithin(const fs::path& path, const fs::path& folder) {
    auto [end, inside] = std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
    return end == folder.end();
}

// Everything that can be known before anything is written.
bool checkRequest(const ShipRequest& request) {
    std::error_code error;
    if (!fs::exists(request.gameDir, error))
        return fail("no game folder '" + request.gameDir.string() + "'");
    if (!fs::is_directory(request.gameDir / "data", error))
        return fail("'" + request.gameDir.string() + "' has no data folder");
    if (isWithin(request.outDir, request.gameDir / "data"))
        return fail("the output folder cannot be inside the game's data folder");
    if (fs::exists(request.outDir, error) && !fs::is_directory(request.outDir, error))
        return fail("'" + request.outDir.string() + "' exists and is not a folder");
    if (fs::is_directory(request.outDir, error) && !fs::is_empty(request.outDir, error))
        return fail("'" + request.outDir.string() + "' exists and is not empty");
    if (request.tar && fs::exists(tarballOf(request.outDir), error))
        return fail("'" + tarballOf(request.outDir).string() + "' exists");
    if (!fs::is_regular_file(playerBinary(), error))
        return fail("no player at '" + playerBinary().string() + "'");
    return true;
}

bool writeText(const fs::path& path, const std::string& text, fs::perms permissions) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    std::error_code error;
    fs::permissions(path, permissions, error);
    return !out.fail() && !error ? true : fail("cannot write '" + path.string() + "'");
}

bool copyPlayer(const fs::path& outDir) {
    std::error_code error;
    fs::copy_file(playerBinary(), outDir / kShipPlayer, error);
    if (!error)
        fs::permissions(outDir / kShipPlayer, fs::perms(0755), error);
    return !error ? true : fail("cannot copy the player: " + error.message());
}

// A game's override configuration stays a loose file, as in the game
// folder, so that the shipped game reads the same settings.
bool copyOverride(const ShipRequest& request) {
    std::error_code error;
    fs::path override = request.gameDir / "data_override";
    if (!fs::is_directory(override, error))
        return true;
    fs::copy(override, request.outDir / "data_override", fs::copy_options::recursive, error);
    return !error ? true : fail("cannot copy '" + override.string() + "': " + error.message());
}

bool writeDesktopFiles(const ShipRequest& request, const std::string& title) {
    std::string error;
    if (!writeGameIcon(request.gameDir, title, request.outDir / kShipIcon, error))
        return fail(error);
    std::vector<std::string> packages;
    if (!runtimePackages((request.outDir / kShipPlayer).string(), packages, error))
        return fail(error);
    return writeText(request.outDir / kShipLauncher, launcherScript(desktopFileName(title)), fs::perms(0755)) &&
           writeText(request.outDir / kShipDesktop, desktopEntry(title, request.outDir.string()), fs::perms(0755)) &&
           writeText(request.outDir / kShipReadme, playerReadme(title, packages), fs::perms(0644));
}

bool writeTarball(const ShipRequest& request) {
    fs::path tarball = tarballOf(request.outDir);
    if (runProgram({"tar", "--format=gnu", "-czf", tarball.string(), "-C", request.outDir.parent_path().string(),
                    request.outDir.filename().string()}) == 0)
        return true;
    std::error_code error;
    fs::remove(tarball, error);
    return fail("tar could not write '" + tarball.string() + "'");
}

bool shipGame(const ShipRequest& request) {
    std::string title = gameWindowTitle(request.gameDir.string());
    if (title.empty())
        return fail("cannot read the game in '" + request.gameDir.string() + "'");
    PakRequest pak{(request.outDir / "data.pak").string(), request.gameDir.string(), false, request.encrypt};
    return createPak(pak) == 0 && copyPlayer(request.outDir) && copyOverride(request) &&
           writeDesktopFiles(request, title) && (!request.tar || writeTarball(request));
}

// No half-made folder is left behind to be mistaken for a game; a folder
// that was there (empty) before stays.
void removeShipped(const fs::path& outDir, bool existed) {
    std::error_code error;
    if (!existed) {
        fs::remove_all(outDir, error);
        return;
    }
    for (const auto& entry : fs::directory_iterator(outDir, error))
        fs::remove_all(entry.path(), error);
}

int runShip(int argc, char** argv) {
    ShipRequest request;
    if (!parseShip(argc, argv, request))
        return usage();
    if (!checkRequest(request))
        return 1;
    std::error_code error;
    bool existed = fs::exists(request.outDir, error);
    if (!fs::create_directories(request.outDir, error) && error) {
        fail("cannot create '" + request.outDir.string() + "': " + error.message());
        return 1;
    }
    if (!shipGame(request)) {
        removeShipped(request.outDir, existed);
        return 1;
    }
    std::string written = "'" + request.outDir.string() + "'";
    if (request.tar)
        written += " and '" + tarballOf(request.outDir).string() + "'";
    std::printf("ship: wrote %s\n", written.c_str());
    return 0;
}

} // namespace

GLINT_TOOL_COMMAND("ship", kUsage, runShip);

} // namespace glint::tool
