// The object of one run of the game: created by the main loop (after the
// resource manager) and destroyed at the end of the run or by a restart.
// It owns the scenes and the script system; the main loop, navigation,
// hints, inventory, pointer and sound state join it as they are built.
#pragma once

#include <memory>

#include "scene/scene_registry.h"
#include "scene/scene_text_cache.h"

namespace glint {

class MApplication;
class MResourceManager;
class ScriptSystem;

class MEngine {
public:
    // Both must outlive the engine. The script system is built around the
    // game scene, whose scope is the global scope.
    MEngine(MApplication& app, MResourceManager& resources);
    ~MEngine();
    MEngine(const MEngine&) = delete;
    MEngine& operator=(const MEngine&) = delete;

    // Once, during initialisation: after the game configuration, before the
    // atlases and the localization tables.
    void buildSceneRegistry();
    MScene* registerScene(Symbol* folder, MScene* parent, Symbol* name) {
        return scenes.registerScene(sceneContext(), folder, parent, name);
    }
    MScene* findScene(Symbol* name) const { return scenes.find(name); }
    // The scene parsers' view of content files; see SceneTextCache.
    const SceneText& sceneText(Symbol* name);
    void releaseSceneTexts() { sceneTexts_.release(); }

    SceneContext sceneContext() const { return {app, resources}; }
    ScriptSystem& scriptSystem() { return *script_; }

    MApplication& app;
    MResourceManager& resources;
    MSceneRegistry scenes;

private:
    std::unique_ptr<ScriptSystem> script_;
    SceneTextCache sceneTexts_;
};

// The engine while one exists, else null.
MEngine* engine();

} // namespace glint
