// Merging other scenes into a scene: templates chosen by the scene's kind,
// and sub-scenes and instances copied under named elements.
#include <algorithm>
#include <string>

#include "engine/system/log.h"
#include "scene/element.h"
#include "scene/group.h"
#include "scene/scene.h"
#include "scene/scene_loader.h"
#include "scene/scene_registry.h"
#include "script/array_object.h"
#include "script/symbol.h"

namespace glint {

namespace {

void addOnce(std::vector<MScene*>& applied, MScene* scene) {
    if (std::find(applied.begin(), applied.end(), scene) == applied.end())
        applied.push_back(scene);
}

// Renames the element and its declaration; array declarations keep theirs.
void renameElement(MScene& scene, Symbol* from, Symbol* to) {
    if (MElement* element = scene.findElement(from))
        element->name = to;
    if (VariableEntry* entry = scene.scriptClass().findPlain(KindElement, from))
        scene.scriptClass().renameEntry(KindElement, entry, to);
}

Symbol* numbered(Symbol* name, int n) { return intern(std::string(name->view()) + "$" + std::to_string(n)); }

// The elements a variable of the script class names: one, or an array.
std::vector<MElement*> elementsNamed(MScene& scene, Symbol* name) {
    std::vector<MElement*> found;
    if (!globalScope()) {
        if (MElement* element = scene.findElement(name))
            found.push_back(element);
        return found;
    }
    Value* cell = findVariable(scene.scriptClass(), KindElement, name, nullptr, false);
    if (!cell)
        return found;
    auto add = [&](const Value& value) {
        if (value.is(ValueType::Element))
            if (auto* element = dynamic_cast<MElement*>(value.as<ScriptElement>()))
                found.push_back(element);
    };
    if (cell->is(ValueType::Array)) {
        for (Value* item : cell->as<ArrayObject>()->items)
            if (item)
                add(*item);
    } else {
        add(*cell);
    }
    return found;
}

} // namespace

void MScene::applyTemplate(const SceneLoadContext& context, Symbol* templateName, std::vector<MScene*>& applied) {
    // A template scene of the kind it serves would otherwise copy itself.
    MScene* source = context.registry.find(templateName);
    if (!source || source == this)
        return;
    int n = ++templatesApplied;
    renameElement(*this, sym::root(), numbered(sym::root(), n));
    renameElement(*this, sym::_template_root(), numbered(sym::_template_root(), n));
    std::vector<MElement*> added = copyScene(context, {nullptr}, source, false, true, applied);
    addOnce(applied, source);
    bool hasTemplateRoot = std::any_of(added.begin(), added.end(),
                                       [](const MElement* e) { return e->name == sym::_template_root(); });
    if (!hasTemplateRoot)
        debugTrace("ERROR: Missing element '_template_root' in template scene %s", source->name->text);
}

void MScene::instantiate(const SceneLoadContext& context, Symbol* elementName, MScene* source, bool prefixNames,
                         std::vector<MScene*>& applied) {
    std::vector<MElement*> anchors = elementsNamed(*this, elementName);
    if (source && !anchors.empty())
        copyScene(context, anchors, source, prefixNames, false, applied);
}

std::vector<MElement*> MScene::copyScene(const SceneLoadContext& context, const std::vector<MElement*>& anchors,
                                         MScene* source, bool prefixNames, bool fromTemplate,
                                         std::vector<MScene*>& applied) {
    std::vector<MElement*> added;
    for (MElement* anchor : anchors) {
        source->load(context);
        const size_t count = std::min<size_t>(static_cast<size_t>(source->staticElementCount), source->elements.size());
        std::string prefix = prefixNames && anchor ? std::string(anchor->name->view()) + "$" : std::string();
        auto nameFor = [&](Symbol* name) { return prefix.empty() ? name : intern(prefix + name->text); };

        // Skipped elements keep an empty slot so that positions line up.
        std::vector<MElement*> copies(count, nullptr);
        for (size_t i = 0; i < count; ++i) {
            const MElement* original = source->elements[i];
            if (!fromTemplate && (original->name == sym::root() || original->name == sym::_template_root()))
                continue;
            copies[i] = copyElement(*original, nameFor(original->name), false);
            if (!copies[i])
                break;
        }
        for (size_t i = 0; i < count; ++i) {
            const MElement* above = source->elements[i]->parent;
            if (copies[i] && above && above->owner() == source && static_cast<size_t>(above->position) < count)
                copies[i]->setParent(copies[static_cast<size_t>(above->position)]);
        }

        const size_t groupCount = std::min<size_t>(static_cast<size_t>(source->staticGroupCount), source->groups.size());
        for (size_t g = 0; g < groupCount; ++g) {
            const MGroup* original = source->groups[g];
            std::vector<ScriptElement*> members = original->elements;
            Symbol* name = nameFor(original->name);
            MGroup* group = findGroup(name);
            if (!group) {
                group = createGroup(name);
                group->sourceScene = source;
            }
            for (ScriptElement* member : members) {
                auto* element = dynamic_cast<MElement*>(member);
                if (element && element->owner() == source && static_cast<size_t>(element->position) < count &&
                    copies[static_cast<size_t>(element->position)])
                    group->elements.push_back(copies[static_cast<size_t>(element->position)]);
            }
        }

        addOnce(applied, source);
        for (MElement* copy : copies) {
            if (!copy)
                continue;
            added.push_back(copy);
            if (!anchor)
                continue;
            copy->members.set(sym::template_root(), Value::fromPointer(ValueType::Element, anchor));
            if (!copy->parent)
                copy->setParent(anchor);
        }
    }
    return added;
}

} // namespace glint
