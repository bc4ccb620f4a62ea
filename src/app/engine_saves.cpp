// The run's side of saved games: the world a game state is written from
// and read into, and whole profile files for the profile code and the
// headless driver.
#include "app/application.h"
#include "app/engine.h"
#include "game/inventory.h"
#include "game/profile_file.h"
#include "game/sound_player.h"
#include "scene/scene.h"
#include "scene/scene_sound.h"
#include "script/script_system.h"

namespace glint {

SaveWorld MEngine::saveWorld() {
    SaveWorld world;
    world.scenes = &scenes;
    world.inventory = inventory.get();
    world.itemSlots = navigation ? navigation->itemSlots : nullptr;
    world.playScene = playScene();
    world.currentMusic = [] () -> ScriptSound* {
        MEngine* run = engine();
        return run && run->soundPlayer ? run->soundPlayer->currentMusic() : nullptr;
    };
    world.requestMusic = [](ScriptSound* sound, float fadeSeconds) {
        MEngine* run = engine();
        if (run && run->soundPlayer)
            run->soundPlayer->requestMusic(dynamic_cast<MSceneSound*>(sound), fadeSeconds);
    };
    world.readyScene = [](MScene& scene) {
        MEngine* run = engine();
        if (!run)
            return;
        SceneLoadContext context = run->sceneLoadContext();
        scene.load(context);
        scene.prepare(context);
        scene.acquireResources(context);
    };
    return world;
}

bool MEngine::writeProfileFile(const std::string& path) {
    SaveStream stream;
    stream.backups = app.settings.supportIngameSaves;
    SaveWorld world = saveWorld();
    ProfileOffsets offsets;
    return stream.beginWrite(path, kSaveFormatVersion) &&
           writeProfileContent(stream, world, script_->global(), offsets) && stream.commit();
}

int MEngine::readProfileFile(const std::string& path, bool full) {
    SaveStream stream;
    stream.backups = app.settings.supportIngameSaves;
    int opened = stream.openRead(path);
    if (opened != kSaveOpened)
        return opened;
    SaveWorld world = saveWorld();
    ProfileOffsets offsets;
    return readProfileContent(stream, world, &script_->global(), full, nullptr, offsets) ? kSaveOpened
                                                                                        : kSaveDamaged;
}

} // namespace glint
