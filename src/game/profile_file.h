// The content of a profile file on a save stream, after its header:
//
//   16  word infoOffset, checkpoint
//   24  the game state (read with the file's data version as its format
//       version), checkpoint
//   infoOffset  the profile information (the global "?" variables),
//       checkpoint
//   word stateOffset, checkpoint
//
// The information sits behind the game state so that it can be rewritten
// alone; infoOffset is written as a placeholder first and filled in once
// known. The profile slots, their names and paths are the caller's.
#pragma once

#include <vector>

#include "game/save_state.h"

namespace glint {

struct ProfileOffsets {
    int32_t info = 0;
    int32_t state = 0;
};

// After beginWrite: the whole content. offsets receives the positions.
bool writeProfileContent(SaveStream& s, SaveWorld& world, Scope& global, ProfileOffsets& offsets);

// After openRead: refuses versions below 96; reads the information
// (applied to global unless the stream probes, global is null or lookup
// is given) and, with full, the game state into world.
bool readProfileContent(SaveStream& s, SaveWorld& world, Scope* global, bool full, SaveKeyLookup* lookup,
                        ProfileOffsets& offsets);

// The information alone, rewritten behind a game state that stays as it
// was. readProfileLayout, after openRead of the old file, finds the
// offsets (reading the information without applying it); then, after
// beginWrite with the old file's data version, rewriteProfileInfo copies
// the old file's stored bytes from the game state up to the information
// unchanged and writes the current information behind them.
bool readProfileLayout(SaveStream& s, ProfileOffsets& offsets);
bool rewriteProfileInfo(SaveStream& s, const SaveStream& old, Scope& global, ProfileOffsets& offsets);

// The profile list file after its header: the current slot (1 to 5, or 0),
// the slot count and one value record per slot. Reading takes at most
// kProfileSlots names; names must hold kProfileSlots cells.
constexpr int32_t kProfileSlots = 5;
bool profileListRecord(SaveStream& s, int32_t& current, Value* names);

// The game-property file after its header: key, number (a float before
// format version 103) and string (absent for none) per entry, then the
// absent name.
struct GamePropertyRecord {
    Symbol* key = nullptr;
    double number = 0;
    Symbol* text = nullptr;
};
bool gamePropertiesRecord(SaveStream& s, std::vector<GamePropertyRecord>& entries);

} // namespace glint
