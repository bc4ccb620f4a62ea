// The player's command line:
//   glint [GAME_DIR] [-streaming] [--headless [--frames N] [--frame-ms MS]
//         [--input FILE] [--shot FRAME:PATH]...]
//   glint check GAME_DIR
//   glint prove GAME_DIR [--input FILE] [--steps N] [--shots DIR]
//   glint --help | --version
#pragma once

#include <string>
#include <vector>

namespace glint {

struct ShotRequest {
    int frame = 0;
    std::string path;
};

struct PlayerOptions {
    std::string gameDir; // empty: the folder of the executable
    bool streaming = false;
    bool headless = false;
    int frames = 0;      // 0: until the game quits
    int frameMs = 10;
    std::string inputFile;
    std::vector<ShotRequest> shots;
};

// glint prove: the game played headless by its own hints.
struct ProveOptions {
    PlayerOptions player; // headless, with the game folder and the input file
    int steps = 2000;
    std::string shotsDir; // empty: no shots
};

extern const char* const kProveUsage;

extern const char* const kPlayerUsage;

// Whether the arguments ask for the usage text ("--help" or "-h" anywhere).
bool asksForHelp(const std::vector<std::string>& arguments);

// False with a message when the arguments cannot be used.
bool parsePlayerArguments(const std::vector<std::string>& arguments, PlayerOptions& options, std::string& error);
// The arguments after "prove".
bool parseProveArguments(const std::vector<std::string>& arguments, ProveOptions& options, std::string& error);

} // namespace glint
