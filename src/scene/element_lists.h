// The short per-scene element lists (animated, fading, typing ...): an
// element is on a list at most once.
#pragma once

#include <algorithm>
#include <vector>

namespace glint {

class MElement;

inline void removeFrom(std::vector<MElement*>& list, MElement* element) {
    list.erase(std::remove(list.begin(), list.end(), element), list.end());
}

inline void addOnce(std::vector<MElement*>& list, MElement* element) {
    if (std::find(list.begin(), list.end(), element) == list.end())
        list.push_back(element);
}

} // namespace glint
