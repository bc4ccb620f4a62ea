#include "game/profile_commands.h"

#include "game/navigation.h"
#include "game/profiles.h"
#include "script/commands.h"

namespace glint {

namespace {

MProfiles* served = nullptr;
MNavigation* navigation = nullptr;

// The current slot, 0 outside 1 to 5.
int currentOrNone() {
    int slot = served->currentSlot();
    return slot >= 1 && slot <= kProfileSlots ? slot : 0;
}

uint32_t commandResetProfile(Value*, int) {
    if (navigation)
        for (LayerSlot& slot : navigation->itemSlots)
            slot = LayerSlot{};
    served->clearProfileInfo();
    return 0;
}

// delete_profile [index]: the slot's name stays; only its files go.
uint32_t commandDeleteProfile(Value* args, int) {
    served->deleteProfileFiles(args[0].isNumber() ? static_cast<int>(roundToInteger(args[0].number))
                                                  : currentOrNone());
    return 0;
}

uint32_t commandLoadProfileState(Value*, int) {
    served->loadRequest = true;
    return 0;
}

uint32_t commandSaveProfileState(Value*, int) {
    served->saveRequest = kConditionalSave;
    return 0;
}

uint32_t commandSaveNewProfile(Value*, int) {
    served->saveRequest = kUnconditionalSave;
    return 0;
}

// get_profile_info out index key: out is none unless the profile holds "?" + key.
uint32_t commandGetProfileInfo(Value* args, int) {
    args[0] = Value();
    int slot = args[1].isNumber() ? static_cast<int>(roundToInteger(args[1].number)) : 0;
    Symbol* key = args[2].isString() ? args[2].symbol() : nullptr;
    served->loadProfileAndSignal(slot, false, key, &args[0]);
    return 1;
}

uint32_t commandLoadProfileInfo(Value*, int) {
    served->clearProfileInfo();
    served->loadProfileAndSignal(served->currentSlot(), false, nullptr, nullptr);
    return 0;
}

uint32_t commandSaveProfileInfo(Value*, int) {
    served->saveProfileInfo(served->currentSlot());
    return 0;
}

uint32_t commandResetProfiles(Value*, int) {
    served->deleteAllProfileFiles();
    return 0;
}

uint32_t commandSaveProfiles(Value*, int) {
    served->saveList();
    return 0;
}

} // namespace

void registerProfileCommands(MProfiles* profiles, MNavigation* slots) {
    served = profiles;
    navigation = slots;
    if (!profiles)
        return;
    registerCommand("reset_profile", commandResetProfile, 0, 0);
    registerCommand("delete_profile", commandDeleteProfile, 1, 0);
    registerCommand("load_profile_state", commandLoadProfileState, 0, 0);
    registerCommand("save_profile_state", commandSaveProfileState, 0, 0);
    registerCommand("save_new_profile", commandSaveNewProfile, 0, 0);
    registerCommand("get_profile_info", commandGetProfileInfo, 3, 0);
    registerCommand("load_profile_info", commandLoadProfileInfo, 0, 0);
    registerCommand("save_profile_info", commandSaveProfileInfo, 0, 0);
    registerCommand("reset_profiles", commandResetProfiles, 0, 0);
    registerCommand("save_profiles", commandSaveProfiles, 0, 0);
}

} // namespace glint
