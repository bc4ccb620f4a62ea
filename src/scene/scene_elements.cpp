// The scene's elements and groups: creation, copies, lookups and the
// removal of dynamic elements.
#include <algorithm>

#include "scene/element.h"
#include "scene/element_pool.h"
#include "scene/group.h"
#include "scene/particle_effects.h"
#include "scene/scene.h"
#include "scene/scene_sound.h"
#include "scene/scene_update_steps.h"
#include "script/script_error.h"
#include "script/script_system.h"

namespace glint {

namespace {

template <class T> void removeFrom(std::vector<T*>& list, const T* item) {
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

// Declares object under name and returns the cell that holds it; scenes
// made without a script system declare nothing.
Value* declare(Scope& scope, int kind, Symbol* name, ValueType type, void* object) {
    if (!name || !globalScope())
        return nullptr;
    Value value = Value::fromPointer(type, object);
    Value* cell = scriptHeap().newCell(value);
    Value* declared =
        kind == KindElement ? declareElementVariable(scope, name, cell) : declareVariable(scope, kind, name, cell);
    if (declared)
        *declared = value;
    return declared;
}

// Links that scripts may point at an element of any scene.
void forgetLinks(const MScene& scene, const MElement* gone) {
    for (MElement* e : scene.elements) {
        if (e->imageSource == gone)
            e->imageSource = nullptr;
        if (e->hotspot == gone)
            e->hotspot = nullptr;
        if (e->cropElement == gone)
            e->cropElement = nullptr;
    }
}

// Whatever in the scenes and the pointer state still names the element.
void forgetReferences(MScene& scene, MElement* gone) {
    for (MElement* e : scene.elements) {
        if (e->parent == gone)
            e->setParent(nullptr);
        if (e->copiedFrom == gone)
            e->copiedFrom = gone->copiedFrom;
    }
    forgetLinks(scene, gone);
    for (MGroup* group : scene.groups) removeFrom<ScriptElement>(group->elements, gone);
    if (scene.rootElement == gone)
        scene.rootElement = nullptr;
    if (scene.cameraElement == gone)
        scene.cameraElement = nullptr;
    dropHoverLinks(scene, *gone);
    if (!globalScope())
        return;
    for (ScriptScene* other : script().scenes)
        if (auto* otherScene = dynamic_cast<MScene*>(other); otherScene && otherScene != &scene)
            forgetLinks(*otherScene, gone);
    PointerInput& pointer = script().pointer;
    for (ScriptElement** seen : {&pointer.hovered, &pointer.clicked, &pointer.dropTarget, &pointer.lookedAt})
        if (*seen == gone)
            *seen = nullptr;
}

} // namespace

MScene::~MScene() {
    releaseElements();
    for (MSceneSound* sound : sounds)
        giveBackSceneSound(sound);
}

MElement* MScene::createElement(MElementVisual* visual, Symbol* elementName, bool dynamic) {
    if (elements.size() >= kMaxSceneElements) {
        scriptError("Too much elements in scene %s", name ? name->text : "");
        return nullptr;
    }
    MElement* element = takeElement(dynamic);
    element->name = elementName;
    element->scene = this;
    if (!visual) {
        visual = takeVisual();
        visual->kindFlags = visualKindForName(elementName);
        visual->ownerScene = this;
        visual->ownerElement = element;
    }
    shareVisual(visual);
    element->visual = visual;
    if (dynamic)
        element->flags |= kElementRuntime;
    element->position = static_cast<int16_t>(elements.size());
    elements.push_back(element);
    appendToOrderLists(*this, *element);
    transformsDirty = true;
    element->cell = declare(scope, KindElement, elementName, ValueType::Element, element);
    return element;
}

MElement* MScene::copyElement(const MElement& source, Symbol* elementName, bool dynamic) {
    MElement* copy = createElement(source.visual, elementName, dynamic);
    if (!copy)
        return nullptr;
    if (Value* key = source.members.get(sym::text_key()))
        copy->members.set(sym::text_key(), *key);
    if (source.name && source.name->view().starts_with("crop_"))
        copy->visual->kindFlags |= kVisualCropWindow;
    copy->font = source.font;
    copy->textAlign = source.textAlign;
    std::copy(std::begin(source.textColor), std::end(source.textColor), copy->textColor);
    copy->flags = (copy->flags & ~kElementTextOutline) | (source.flags & kElementTextOutline);
    copy->pivotX = source.pivotX;
    copy->pivotY = source.pivotY;
    std::copy(std::begin(source.channels), std::end(source.channels), copy->channels);
    attachCopiedParticleInstance(*copy);
    return copy;
}

MElement* MScene::findElement(Symbol* elementName) const {
    for (MElement* element : elements)
        if (element->name == elementName)
            return element;
    return nullptr;
}

MGroup* MScene::createGroup(Symbol* groupName) {
    MGroup* group = takeGroup();
    group->name = groupName;
    group->scene = this;
    group->index = static_cast<int32_t>(groups.size());
    groups.push_back(group);
    group->cell = declare(scope, KindGroup, groupName, ValueType::Group, group);
    return group;
}

MGroup* MScene::findGroup(Symbol* groupName) const {
    for (MGroup* group : groups)
        if (group->name == groupName)
            return group;
    return nullptr;
}

MSceneSound* MScene::findSound(Symbol* soundName) const {
    for (MSceneSound* sound : sounds)
        if (sound->name == soundName)
            return sound;
    return nullptr;
}

ScriptElement* MScene::createDynamicElement(ScriptElement* model, Symbol* elementName) {
    auto* source = dynamic_cast<MElement*>(model);
    if (!source)
        return nullptr;
    if (source->scene == this && source->hasFlag(kElementRuntime) && source->copiedFrom)
        source = source->copiedFrom;
    MElement* copy = copyElement(*source, elementName, true);
    if (copy)
        copy->copiedFrom = source;
    return copy;
}

bool MScene::deleteDynamicElement(ScriptElement* target) {
    auto* element = dynamic_cast<MElement*>(target);
    if (!element || element->scene != this || !element->hasFlag(kElementRuntime))
        return false;
    auto at = std::find(elements.begin(), elements.end(), element);
    if (at == elements.end())
        return false;
    // Hidden first: its images and movie go back before the pool takes it.
    element->cancelPendingHide();
    element->setShown(false);
    for (auto later = elements.erase(at); later != elements.end(); ++later) --(*later)->position;
    removeFromOrderLists(*this, *element);
    removeFrom(typing, element);
    removeFrom(animated, element);
    removeFrom(fading, element);
    removeFrom(blending, element);
    forgetReferences(*this, element);
    if (element->cell && element->cell->is(ValueType::Element) && element->cell->pointer == element)
        *element->cell = Value();
    element->members.clear();
    giveBackElement(element, true);
    transformsDirty = true;
    return true;
}

void MScene::releaseElements() {
    for (MElement* element : elements) giveBackElement(element, element->hasFlag(kElementRuntime));
    for (MGroup* group : groups) giveBackGroup(group);
    releaseHoverLinks(*this);
    elements.clear();
    drawList.clear();
    updateList.clear();
    recomputed.clear();
    rootElement = cameraElement = nullptr;
    groups.clear();
    typing.clear();
    animated.clear();
    fading.clear();
    blending.clear();
}

} // namespace glint
