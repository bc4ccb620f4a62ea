// Draw order by depth and update order by parenthood.
#include <algorithm>

#include "scene/element.h"
#include "scene/scene.h"
#include "scene/scene_update_steps.h"

namespace glint {

namespace {

// Positions fit in 16 bits: a scene holds at most kMaxSceneElements.
int16_t at(size_t index) { return static_cast<int16_t>(index); }

void renumberDraw(std::vector<MElement*>& list, size_t from) {
    for (size_t i = from; i < list.size(); ++i) list[i]->drawIndex = at(i);
}

void renumberUpdate(std::vector<MElement*>& list, size_t from) {
    for (size_t i = from; i < list.size(); ++i) list[i]->updateIndex = at(i);
}

// Erases element from list when it is at its recorded place (or anywhere).
size_t eraseFrom(std::vector<MElement*>& list, MElement& element, int16_t recorded) {
    size_t index = static_cast<size_t>(std::max<int16_t>(recorded, 0));
    if (index >= list.size() || list[index] != &element) {
        auto found = std::find(list.begin(), list.end(), &element);
        if (found == list.end())
            return list.size();
        index = static_cast<size_t>(found - list.begin());
    }
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
    return index;
}

// The parent of the element at i when it comes later in the list, else null.
// A parent from another scene has its place in another list.
MElement* laterParent(const std::vector<MElement*>& list, size_t i) {
    MElement* parent = list[i]->parent;
    if (!parent || parent->updateIndex <= at(i))
        return nullptr;
    size_t parentAt = static_cast<size_t>(parent->updateIndex);
    return parentAt < list.size() && list[parentAt] == parent ? parent : nullptr;
}

} // namespace

// Insertion sort: the list is nearly sorted from tick to tick, and only a
// strictly greater depth is passed, so equal depths keep their order.
void sortDrawList(MScene& scene) {
    std::vector<MElement*>& list = scene.drawList;
    for (size_t i = 1; i < list.size(); ++i) {
        MElement* moving = list[i];
        size_t j = i;
        for (; j > 0 && list[j - 1]->absZ > moving->absZ; --j) {
            list[j] = list[j - 1];
            list[j]->drawIndex = at(j);
        }
        list[j] = moving;
        moving->drawIndex = at(j);
    }
}

void reorderUpdateList(MScene& scene) {
    std::vector<MElement*>& list = scene.updateList;
    for (size_t i = 0; i < list.size(); ++i) {
        while (MElement* parent = laterParent(list, i)) {
            size_t parentAt = static_cast<size_t>(parent->updateIndex);
            list[parentAt] = list[i];
            list[parentAt]->updateIndex = at(parentAt);
            list[i] = parent;
            parent->updateIndex = at(i);
        }
    }
}

void appendToOrderLists(MScene& scene, MElement& element) {
    element.drawIndex = at(scene.drawList.size());
    scene.drawList.push_back(&element);
    element.updateIndex = at(scene.updateList.size());
    scene.updateList.push_back(&element);
    scene.drawOrderDirty = scene.hierarchyDirty = true;
}

void removeFromOrderLists(MScene& scene, MElement& element) {
    renumberDraw(scene.drawList, eraseFrom(scene.drawList, element, element.drawIndex));
    renumberUpdate(scene.updateList, eraseFrom(scene.updateList, element, element.updateIndex));
    auto& recomputed = scene.recomputed;
    recomputed.erase(std::remove(recomputed.begin(), recomputed.end(), &element), recomputed.end());
    scene.drawOrderDirty = scene.hierarchyDirty = true;
}

} // namespace glint
