#include "script/bare_game.h"

#include <filesystem>

#include "engine/resources/resource.h"
#include "script/commands.h"
#include "script/compiler.h"
#include "script/declarations.h"
#include "script/interpreter.h"

namespace glint {

BareGame::BareGame() : main_(intern("main")) {
    resourceInit(); // script files are read through the resource layer
    registerBuiltinCommands();
    system_.addScene(&main_);
}

bool BareGame::load(const std::string& path) {
    std::string text;
    std::error_code error;
    std::filesystem::path file = std::filesystem::absolute(path, error);
    if (error || std::filesystem::is_directory(file, error) || !loadScriptFile(file.string(), text)) return false;
    std::string folder = file.parent_path().string();
    main_.folder = intern(folder);
    // The unit's first and last scripts: the folder's own, else empty ones
    // (added before compiling, so that no other folder is searched).
    for (const char* name : {"common_all", "common_all_post"}) {
        std::string part;
        if (!loadScriptFile(folder + "/" + name + ".script", part)) part.clear();
        system_.sources.add(intern(name), part.data(), part.size());
    }
    system_.sources.add(main_.name, text.data(), text.size());
    compileScene(main_.scope);
    // The global scene has no script of its own, but linking it reports the
    // global functions the script named and nothing defines.
    linkScene(system_.global());
    linkScene(main_.scope);
    system_.heap.engineStarted = true;
    return true;
}

void BareGame::update() {
    system_.pointer.handled = false;
    runScenePasses(system_.global());
    runScenePasses(main_.scope);
}

} // namespace glint
