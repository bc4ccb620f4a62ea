// The run's profiles: made with the engine, and the save requests the
// game tick serves when the game is at rest.
#include "app/application.h"
#include "app/engine.h"

#include "game/picking.h"
#include "game/profile_commands.h"
#include "game/profiles.h"
#include "scene/scene.h"
#include "script/script_system.h"

namespace glint {

void MEngine::createProfiles() {
    ProfileSettings settings{app.userFolder, app.settings.profilesListExt, app.settings.savegameExt,
                             app.settings.supportIngameSaves};
    profiles = std::make_unique<MProfiles>(settings, script_->global(), [this] { return saveWorld(); });
    registerProfileCommands(profiles.get(), navigation.get());
}

// Tick step 2. An autosave waits while anything is in progress and is
// dropped unless the player is at rest in a gameplay scene.
void MEngine::serveSaveRequest() {
    int32_t request = profiles->saveRequest;
    if (paused() || request == kNoSaveRequest || !playScene())
        return;
    if (request == kConditionalSave && (waiting || navigation->transitionState != kTransitionNone))
        return;
    profiles->saveRequest = kNoSaveRequest;
    int slot = profiles->currentSlot();
    if (slot > 0 && (request == kUnconditionalSave || autosaveAllowed()))
        profiles->saveProfile(slot);
}

bool MEngine::autosaveAllowed() const {
    const MScene* play = playScene();
    const MScene* active = activeScene();
    const Value& noHud = play->cells.noHud;
    return play->flags.gameplay && active && active->flags.gameplay && !(noHud.isNumber() && noHud.number >= 0.5) &&
           pointer.takenObject.isNone() && pointer.oldTakenObject.isNone() && !picking->running() &&
           app.settings.supportIngameSaves;
}

} // namespace glint
