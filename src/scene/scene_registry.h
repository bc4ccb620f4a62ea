// Every scene of the game, known before anything is shown: read from
// "data/scenes.cfg" once per run, in file order (scene indices are stored in
// savegames, so the order matters). Scenes are never removed.
#pragma once

#include <vector>

#include "scene/scene.h"
#include "script/pool.h"

namespace glint {

class MSceneRegistry {
    ObjectPool<MScene, 64> pool_; // first: the game scene comes from it

public:
    // Creates the game scene's object, so that the script system can be
    // built around its scope before the registry is read.
    MSceneRegistry();
    MSceneRegistry(const MSceneRegistry&) = delete;
    MSceneRegistry& operator=(const MSceneRegistry&) = delete;

    // Registers game, then every line of "data/scenes.cfg", sets the
    // shortcuts and declares each scene in the game class. Once per run.
    void build(const SceneContext& context);
    // Registers the atlas sub-textures of every scene in registry order:
    // "<folder>/_<base>.atlas", then "<folder>/_<base>_dynamic.atlas" as
    // dynamic. Once per run, right after build.
    void loadAtlases(const SceneContext& context);
    // Null for a dev scene.
    MScene* registerScene(const SceneContext& context, Symbol* folder, MScene* parent, Symbol* name);
    // Exact name (after ho joining and variant cutting), or null.
    MScene* find(Symbol* name) const;

    const std::vector<MScene*>& scenes() const { return scenes_; }
    const std::vector<MScene*>& templateScenes() const { return templateScenes_; }

    MScene* const gameScene;
    // Interface scenes by name; null when absent.
    MScene* guiImages = nullptr;
    MScene* hud = nullptr;
    MScene* overHud = nullptr;
    MScene* overlay = nullptr;
    MScene* inventory = nullptr;
    MScene* particles = nullptr;

private:
    void enlist(const SceneContext& context, MScene* scene, Symbol* folder, MScene* parent, Symbol* name);
    void registerLine(const SceneContext& context, const char* line);
    void findShortcuts();
    void declareScenes();

    std::vector<MScene*> scenes_;
    std::vector<MScene*> templateScenes_;
};

} // namespace glint
