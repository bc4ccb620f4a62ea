#include "game/game_properties.h"

namespace glint {

GameProperty& GameProperties::lookup(Symbol* key) {
    for (GameProperty& entry : entries_)
        if (entry.key == key)
            return entry;
    entries_.push_back({key, 0, nullptr});
    return entries_.back();
}

} // namespace glint
