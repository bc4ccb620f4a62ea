// The player's profiles: up to five named slots, each with one file in the
// per-user folder that holds the profile information (the global "?"
// variables, kept across games) and a saved game, and the list file that
// remembers the names and the current slot. Scripts see the slots through
// the global variables bound here and ask for saves and loads; the engine
// serves those requests at the scene switch and in the game tick.
#pragma once

#include <functional>
#include <string>

#include "game/profile_file.h"

namespace glint {

// What the profile files are named and where they live.
struct ProfileSettings {
    std::string folder;              // the per-user folder
    std::string listExt = "sav";     // BuildProfilesListExt: the list and the game properties
    std::string saveExt = "profile"; // BuildSavegameExt: one file per profile
    bool backups = false;            // BuildSupportIngameSaves: ".tmp" copies and autosaves
};

enum SaveRequest : int32_t {
    kNoSaveRequest = 0,
    kConditionalSave = 1,   // an autosave, dropped unless the game is at rest
    kUnconditionalSave = 2, // a save the scripts insist on
};

// LoadProfilesResult when the list was read but a slot had to go.
constexpr int kProfileDropped = -3;

class MProfiles {
public:
    // world gives the run's saved-game view when a save or load needs it.
    MProfiles(ProfileSettings settings, Scope& global, std::function<SaveWorld()> world);
    MProfiles(const MProfiles&) = delete;
    MProfiles& operator=(const MProfiles&) = delete;

    // "Max_profiles", "Profile_names[]", "Profile_index", "Profile_version",
    // "LoadProfilesResult" and "LoadResult" in the global scope.
    void bind();

    // The file of slot (1 to kProfileSlots) whose name is a string of ASCII
    // letters and digits only; false for any other slot.
    bool profilePath(int slot, std::string& path) const;
    std::string listPath() const;
    // "Profile_index" rounded half away from zero, 0 when it is no number.
    int currentSlot() const;

    // Loading step 9: the list, then every slot's file is checked; a slot
    // whose file is missing or damaged is dropped and the list saved again.
    void loadList();
    bool saveList();
    // A full save of the game state and the information; the previous file
    // stays when the content cannot be built.
    bool saveProfile(int slot);
    // Rewrites only the information behind the old file's game state; a
    // file that cannot be reused gets a full save.
    bool saveProfileInfo(int slot);
    // 0, kSaveMissing or kSaveDamaged. Without full only the information is
    // read; with key nothing is applied and the value of "?" + key is
    // copied to result.
    int loadProfile(int slot, bool full, Symbol* key, Value* result);
    // loadProfile, then "LoadResult" and the global signal "load".
    void loadProfileAndSignal(int slot, bool full, Symbol* key, Value* result);
    // The global "?" variables (a lowercase letter after the "?") become
    // none, their arrays empty.
    void clearProfileInfo();
    void deleteProfileFiles(int slot);
    // The list file and every file of the folder with the profile extension.
    void deleteAllProfileFiles();

    // The requests scripts make, served by the scene switch (both) and by
    // the game tick (saves, see MEngine::serveSaveRequest).
    void serveSwitchRequests(int slot);
    int32_t saveRequest = kNoSaveRequest;
    bool loadRequest = false;

    Value maxProfiles, index, version, loadProfilesResult, loadResult;
    Value names[kProfileSlots]; // the cells of "Profile_names[]"
    ProfileOffsets offsets;     // of the profile file last read or written

private:
    bool readList(SaveStream& s);
    // The slot's file opens and parses whole; a damaged one is set aside.
    bool slotFileReadable(int slot);
    // The names behind slot move down one place; the current slot follows.
    void dropSlot(int slot);
    int listedSlot() const;

    ProfileSettings settings_;
    Scope& global_;
    std::function<SaveWorld()> world_;
};

} // namespace glint
