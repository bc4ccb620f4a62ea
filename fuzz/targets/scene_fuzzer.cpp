// JSON scene files with their ".sxcfg" entries: the input up to its first
// zero byte is the scene file, the rest its extra configuration. Each input
// is parsed into a fresh scene of a fresh script system and resource
// manager, and then prepared, which applies the configuration entries
// (image replacements, variables) to what the file made.
#include "app/application.h"
#include "engine/resources/resource.h"
#include "engine/system/log.h"
#include "engine/system/system.h"
#include "resource/configuration.h"
#include "resource/resource_manager.h"
#include "resource/text_file.h"
#include "scene/element_commands.h"
#include "scene/scene.h"
#include "scene/scene_json.h"
#include "scene/scene_loader.h"
#include "scene/scene_registry.h"
#include "scene/scene_text_cache.h"
#include "script/commands.h"
#include "script/script_system.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

using namespace glint;

namespace {

// The game around the scene, made once: an empty game folder, so that the
// files the scene names are all missing. The process then works in that
// folder, as the player does: give the corpus folders as absolute paths
// (fuzz/run does).
struct Game {
    Game() {
        char folder[] = "/tmp/glint-fuzz-scene-XXXXXX";
        if (!mkdtemp(folder) || !systemInit(folder))
            std::abort();
        resourceInit();
        app = std::make_unique<MApplication>();
        app->settings.supportMScene = true;
    }
    std::unique_ptr<MApplication> app;
    MSceneRegistry registry;
    SceneText noText;
};

Game& game() {
    static Game* instance = new Game; // lives as long as the process
    return *instance;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Game& g = game();
    clearMemoryLog();
    const char* text = reinterpret_cast<const char*>(data);
    const void* zero = std::memchr(data, 0, size);
    size_t sceneSize = zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - data) : size;

    MResourceManager resources;
    ScriptSystem system;
    MScene scene(intern("room"));
    registerBuiltinCommands();
    registerElementCommands();
    system.addScene(&scene);
    scene.folder = intern("data/s/room");
    SceneLoadContext context{*g.app, resources, g.registry,
                             [&g](Symbol*) -> const SceneText& { return g.noText; }, 2, "_en", {}};
    parseJsonScene(scene, context, text, sceneSize);

    MConfiguration extra("data/s/room/_room.sxcfg");
    if (zero) {
        MTextFile config;
        config.assignText(text + sceneSize + 1, static_cast<int32_t>(size - sceneSize - 1), "_room.sxcfg");
        extra.addMainText(std::move(config));
        scene.extraConfig = &extra;
    }
    scene.prepare(context);
    scene.extraConfig = nullptr;
    return 0;
}
