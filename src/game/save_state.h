// The records of a game state on a save stream: the state of a game is
// stored as its difference from the baseline taken when loading ended
// (takeSavegameBaseline), and read back over a freshly loaded game.
//
// gameStateRecord is what a saved game holds: the music, the inventory's
// items and panels, every serializable scene with its changed elements,
// groups, sounds and script variables, and the scenes open in the item
// slots. variableSection is also the profile information (the "?" names of
// the global scope). Each routine writes or reads by the stream's mode.
#pragma once

#include "game/save_stream.h"

namespace glint {

class MElement;
class MInventory;
class MScene;
class MSceneRegistry;
class ScriptHeap;
struct LayerSlot;

// What a game state is read into and written from. Pieces left null are
// skipped when writing and read into nothing.
struct SaveWorld {
    MSceneRegistry* scenes = nullptr;
    MInventory* inventory = nullptr;
    LayerSlot* itemSlots = nullptr; // kItemSlots of them
    MScene* playScene = nullptr;
    // The music: what plays now, and the request to play a sound as the
    // music with a fade (null fades it out). Left null, the state stores
    // no music and ignores it.
    ScriptSound* (*currentMusic)() = nullptr;
    void (*requestMusic)(ScriptSound* sound, float fadeSeconds) = nullptr;
    // A scene put back into an item slot is made ready to show as opening
    // makes it: loaded, prepared and holding its pictures and sounds.
    void (*readyScene)(MScene& scene) = nullptr;
};

// A profile-information read that looks one key up instead of applying:
// the value of "?" + key is copied into result.
struct SaveKeyLookup {
    Symbol* key = nullptr;
    Value* result = nullptr;
};

// The end of loading: every scene's element baseline bits, every task's
// baseline state and blocker, and Unchanged on every pooled value and
// property node.
void takeSavegameBaseline(MSceneRegistry& scenes, ScriptHeap& heap);

bool gameStateRecord(SaveStream& s, SaveWorld& world);
// scene may be null when reading (read into nothing).
bool sceneRecord(SaveStream& s, MScene* scene);
// Writing: the element's name and fields. Reading (the name already read
// by the scene record): element may be null.
bool elementRecord(SaveStream& s, MElement* element);
// The element's mask as the writer computes it.
uint32_t elementMask(const MElement& element);
bool scopeRecord(SaveStream& s, Scope* scope);
// The kind-0 variables of a scope: infoNames selects the names that begin
// with "?", otherNames the rest. With lookup, reading applies nothing.
bool variableSection(SaveStream& s, Scope* scope, bool infoNames, bool otherNames, SaveKeyLookup* lookup = nullptr);
// topLevel tasks carry their sub-tasks' records.
bool taskRecord(SaveStream& s, ScriptTask* task, bool topLevel);
bool taskChanged(const ScriptTask& task);

} // namespace glint
