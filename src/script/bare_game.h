// A game with nothing but one scene, "main", whose script is one file: what
// an author uses to try a piece of script (glint-tool script run) and what
// the script benchmarks run.
//
// The file's folder is the scene's folder, so includes are found next to
// it, and so are "common_all.script" and "common_all_post.script" when the
// folder holds them; otherwise those two are empty.
#pragma once

#include <string>

#include "script/script_system.h"

namespace glint {

class BareGame {
public:
    // A script system with the built-in commands, its global scene and the
    // scene "main".
    BareGame();
    BareGame(const BareGame&) = delete;
    BareGame& operator=(const BareGame&) = delete;

    // Compiles the file as the script of "main" and links it, so its init
    // blocks run. False, with nothing compiled, when the file cannot be
    // read.
    bool load(const std::string& path);
    // One script update of the global scene and "main": hover, timed
    // actions, signals, tasks and always blocks.
    void update();

    ScriptSystem& system() { return system_; }
    ScriptScene& scene() { return main_; }

private:
    ScriptSystem system_;
    ScriptScene main_;
};

} // namespace glint
