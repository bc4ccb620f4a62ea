// The profile commands: reset_profile, delete_profile, load_profile_state,
// save_profile_state, save_new_profile, get_profile_info,
// load_profile_info, save_profile_info, reset_profiles and save_profiles,
// served by the running game's profiles.
#pragma once

namespace glint {

class MNavigation;
class MProfiles;

// Points the commands at their callbacks (after registerBuiltinCommands);
// they act on profiles (and reset_profile on the item slots of
// navigation) until unregistered with nulls.
void registerProfileCommands(MProfiles* profiles, MNavigation* navigation);

} // namespace glint
