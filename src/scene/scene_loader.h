// What loading, preparing and opening a scene need from the run of the
// game. The engine builds one and passes it to MScene::load, prepare,
// acquireResources and releaseResources; pieces that do not exist yet
// (sounds, particles, the scene update) join through the hooks,
// each of which may be left empty.
#pragma once

#include <functional>
#include <string>

namespace glint {

class MApplication;
class MConfiguration;
class MElement;
class MResourceManager;
class MScene;
class MSceneRegistry;
struct SceneText;
struct Symbol;

struct SceneLoaderHooks {
    // Step 7 of loading: the scene's sound list from its "_sounds.cfg".
    std::function<void(MScene&, MConfiguration& sounds)> buildSoundList;
    // Opening and closing: music, ambient sounds and the sound list's files.
    std::function<void(MScene&, bool acquire)> holdSounds;
    // A particle element whose system loaded: start its instance.
    std::function<void(MScene&, MElement&)> startParticles;
    // The end of preparing: one scene update with the scene clock running.
    std::function<void(MScene&)> firstUpdate;
};

struct SceneLoadContext {
    const MApplication& app;
    MResourceManager& resources;
    const MSceneRegistry& registry;
    // The content text of a scene by name (the engine's scene text cache).
    std::function<const SceneText&(Symbol*)> sceneText;
    // hotspot_size_increment of the game configuration: polygons grow by it.
    float hotspotSizeIncrement = 0;
    // The process language suffix, "" or "_" + language code: elements
    // named "x#code" exist only for that language.
    std::string languageSuffix;
    SceneLoaderHooks hooks;
};

} // namespace glint
