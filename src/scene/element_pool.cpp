#include "scene/element_pool.h"

#include <new>
#include <vector>

#include "scene/element.h"
#include "scene/group.h"
#include "script/pool.h"

namespace glint {

namespace {

struct ElementPools {
    ObjectPool<MGroup, 256> groups;
    ObjectPool<MElementVisual, 256> visuals;
    ObjectPool<MElement, 1024> staticElements;
    ObjectPool<MElement, 256> dynamicElements;
    std::vector<MElement*> retired; // deleted dynamic elements, ready for reuse
};

ElementPools& pools() {
    static ElementPools all;
    return all;
}

// Back to a fresh, detached element in the same storage.
void renew(MElement* element) {
    element->~MElement();
    new (element) MElement();
}

} // namespace

MElement* takeElement(bool dynamic) {
    ElementPools& all = pools();
    if (!dynamic)
        return all.staticElements.create();
    if (all.retired.empty())
        return all.dynamicElements.create();
    MElement* element = all.retired.back();
    all.retired.pop_back();
    return element;
}

void giveBackElement(MElement* element, bool dynamic) {
    if (!element)
        return;
    element->dropRecords();
    unshareVisual(element->visual);
    element->visual = nullptr;
    if (!dynamic) {
        pools().staticElements.release(element);
        return;
    }
    renew(element);
    pools().retired.push_back(element);
}

MElementVisual* takeVisual() { return pools().visuals.create(); }

void shareVisual(MElementVisual* visual) {
    if (visual)
        ++visual->users;
}

void unshareVisual(MElementVisual* visual) {
    if (visual && --visual->users <= 0)
        pools().visuals.release(visual);
}

MGroup* takeGroup() { return pools().groups.create(); }

void giveBackGroup(MGroup* group) {
    if (group)
        pools().groups.release(group);
}

} // namespace glint
