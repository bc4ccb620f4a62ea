// What navigation asks of the engine, and the main-menu request the tick
// serves for it.
#include "app/application.h"
#include "app/engine.h"

#include "game/inventory.h"
#include "game/picking.h"
#include "game/profiles.h"
#include "game/sound_player.h"
#include "resource/sound_file.h"
#include "scene/scene_sound.h"
#include "scene/element.h"
#include "scene/scene.h"
#include "script/interpreter.h"
#include "script/script_system.h"

namespace glint {

namespace {

class EngineNavigationHost : public NavigationHost {
public:
    explicit EngineNavigationHost(MEngine& engine) : engine_(engine) {}
    SceneLoadContext loadContext() override { return engine_.sceneLoadContext(); }
    void dropTakenObject() override { engine_.pointer.dropObject(0); }
    MResourceManager& resources() override { return engine_.resources; }
    bool sceneIsBusy(const MScene* scene) const override { return engine_.sceneIsBusy(scene); }
    void resetInventoryState() override { engine_.inventory->resetState(); }
    void hideInventory() override { engine_.inventory->redecideState(); }
    void stopSwitchSounds() override { engine_.soundPlayer->stopSwitchSounds(); }
    void cancelPicking() override { engine_.picking->cancel(); }
    void stopSceneSounds(MScene& scene) override {
        engine_.soundPlayer->stopSceneSounds(&scene, false);
        engine_.soundPlayer->cancelDelayedStarts(&scene);
    }
    MResource* ambientFileOf(MScene& scene) override {
        const Value* ambient = scene.readBack.ambient;
        if (!ambient || !ambient->is(ValueType::Sound) || !ambient->pointer)
            return nullptr;
        auto* sound = dynamic_cast<MSceneSound*>(ambient->as<ScriptSound>());
        return sound ? sound->file : nullptr;
    }
    void serveSaveRequests(int profileSlot) override { engine_.profiles->serveSwitchRequests(profileSlot); }
    void startAmbient(MResource* file) override {
        engine_.soundPlayer->startAmbient(*static_cast<MSoundFile*>(file));
    }

private:
    MEngine& engine_;
};

} // namespace

void MEngine::createNavigation() {
    navigationHost_ = std::make_unique<EngineNavigationHost>(*this);
    float zoom = app.gameConfig.getFloat(sym::transition_camera_zoom(), 2);
    navigation = std::make_unique<MNavigation>(*navigationHost_, scenes, app.settings.screenW,
                                               app.settings.screenH, zoom);
}

void MEngine::serveMainMenuRequest() {
    if (paused() || switching() || waiting || !mainMenuRequested)
        return;
    mainMenuRequested = false;
    callScopeFunction(script_->global(), sym::goto_main_menu(), nullptr, 0);
}

} // namespace glint
