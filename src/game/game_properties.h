// The game-wide properties: a small table of numbers and texts shared by
// all profiles, owned by the application for the whole process. Scripts
// read and write it with get_game_property and set_game_property.
#pragma once

#include <vector>

#include "script/symbol.h"

namespace glint {

struct GameProperty {
    Symbol* key = nullptr;
    double number = 0;
    Symbol* text = nullptr; // null when the entry holds a number
};

class GameProperties {
public:
    // The entry of key; a missing one is appended holding the number 0.
    // The reference lasts until the next entry is added.
    GameProperty& lookup(Symbol* key);
    const std::vector<GameProperty>& entries() const { return entries_; }
    void clear() { entries_.clear(); }

    // The store's file ("game." and the profile-list extension in the
    // per-user folder, game_property_file.h), installed by the
    // application. load runs once before the window is created, save
    // after every set_game_property; without them the store lives as long
    // as the process.
    using FileHook = void (*)(GameProperties& store);
    FileHook loadFile = nullptr;
    FileHook saveFile = nullptr;
    void load() {
        if (loadFile)
            loadFile(*this);
    }
    void save() {
        if (saveFile)
            saveFile(*this);
    }

private:
    std::vector<GameProperty> entries_; // in order of first mention
};

} // namespace glint
