// The game state of a saved game, and the baseline it is measured from.
#include <algorithm>

#include "game/inventory.h"
#include "game/navigation.h"
#include "game/save_state.h"
#include "game/save_trace.h"
#include "game/save_values.h"
#include "scene/element.h"
#include "scene/group.h"
#include "scene/scene.h"
#include "scene/scene_registry.h"
#include "script/array_object.h"
#include "script/heap.h"
#include "script/script_system.h"

namespace glint {

namespace {

constexpr int32_t kMaxItemCount = 1000000000;

bool above(const Value& v, double limit) { return v.isNumber() && v.number > limit; }

bool serializable(const MScene& scene) { return above(scene.cells.isSerializable, 0.5); }

bool endOfSection(SaveStream& s) {
    Symbol* none = nullptr;
    return s.nameField(none);
}

// Loading with "?reset_state" set keeps everything but the music.
bool resetRequested() {
    if (!detail::runningSystem)
        return false;
    Value* cell = findVariable(script().global(), KindPlain, intern("?reset_state"), nullptr, false);
    return cell && above(*cell, 0.5);
}

void traceName(SaveStream& s, Symbol* name) {
    if (s.trace && s.reading())
        s.trace->field("name", SaveTrace::quote(name ? name->text : ""));
}

bool countField(SaveStream& s, int32_t& count) {
    if (s.reading() && s.formatVersion < 102) {
        Value v;
        if (!valueRecord(s, v))
            return false;
        count = v.isNumber() ? static_cast<int32_t>(std::clamp<int64_t>(roundToInteger(v.number), -kMaxItemCount,
                                                                          kMaxItemCount))
                             : 0;
        return true;
    }
    return s.intField(count);
}

bool itemRecord(SaveStream& s, InventoryItem* item) {
    int32_t count = s.writing() ? item->count : 0;
    int32_t used = s.writing() ? item->usedCount : 0;
    if (!countField(s, count) || !countField(s, used))
        return false;
    if (s.reading() && s.formatVersion < 98) {
        Value dropped;
        if (!valueRecord(s, dropped))
            return false;
    }
    InventoryItem* target = s.reading() ? item : nullptr;
    if (s.trace && s.reading()) {
        s.trace->field("count", std::to_string(count));
        s.trace->field("used_count", std::to_string(used));
        s.trace->beginObject("variables");
    }
    if (!propertyList(s, target ? &target->members : s.writing() ? &item->members : nullptr, true))
        return false;
    if (s.trace && s.reading())
        s.trace->endObject();
    if (target) {
        target->count = std::clamp(count, -kMaxItemCount, kMaxItemCount);
        target->usedCount = std::clamp(used, -kMaxItemCount, kMaxItemCount);
    }
    return true;
}

bool musicRecord(SaveStream& s, SaveWorld& world) {
    ScriptSound* music = nullptr;
    if (s.writing() && world.currentMusic && world.playScene && !world.playScene->flags.system)
        music = world.currentMusic();
    if (!soundReference(s, music))
        return false;
    if (s.reading() && !s.probe && world.requestMusic)
        world.requestMusic(music, 0.5f);
    return true;
}

bool itemsSection(SaveStream& s, SaveWorld& world, bool applies) {
    if (s.trace && s.reading())
        s.trace->beginArray("items");
    if (s.writing()) {
        if (world.inventory) {
            for (const auto& item : world.inventory->items) {
                Symbol* name = item->name;
                if (!s.nameField(name) || !itemRecord(s, item.get()) || !s.checkpoint())
                    return false;
            }
        }
        return endOfSection(s);
    }
    for (;;) {
        Symbol* name = nullptr;
        if (!s.nameField(name))
            return false;
        if (!name)
            break;
        InventoryItem* item = applies && world.inventory ? world.inventory->findItem(name) : nullptr;
        if (s.trace)
            s.trace->beginObject(nullptr);
        traceName(s, name);
        if (!itemRecord(s, item) || !s.checkpoint())
            return false;
        if (s.trace)
            s.trace->endObject();
    }
    if (s.trace)
        s.trace->endArray();
    return true;
}

bool panelsSection(SaveStream& s, SaveWorld& world, bool applies) {
    if (s.writing()) {
        if (world.inventory)
            for (const InventoryPanel& panel : world.inventory->panels)
                for (InventoryItem* item : panel.items) {
                    Symbol* name = item->name;
                    if (!s.nameField(name))
                        return false;
                }
        return endOfSection(s);
    }
    if (s.trace)
        s.trace->beginArray("panel_items");
    for (;;) {
        Symbol* name = nullptr;
        if (!s.nameField(name))
            return false;
        if (!name)
            break;
        if (s.trace)
            s.trace->item(SaveTrace::quote(name->text));
        InventoryItem* item = applies && world.inventory ? world.inventory->findItem(name) : nullptr;
        if (item && item->panel)
            world.inventory->addItem(*item, -1);
    }
    if (s.trace)
        s.trace->endArray();
    return true;
}

bool scenesSection(SaveStream& s, SaveWorld& world, bool applies) {
    if (s.writing()) {
        if (world.scenes)
            for (MScene* scene : world.scenes->scenes()) {
                if (!serializable(*scene))
                    continue;
                Symbol* name = scene->name;
                if (!s.nameField(name) || !sceneRecord(s, scene) || !s.checkpoint())
                    return false;
            }
        return endOfSection(s);
    }
    if (s.trace)
        s.trace->beginArray("scenes");
    for (;;) {
        Symbol* name = nullptr;
        if (!s.nameField(name))
            return false;
        if (!name)
            break;
        MScene* scene = applies && world.scenes ? world.scenes->find(name) : nullptr;
        if (scene && !serializable(*scene))
            scene = nullptr;
        if (s.trace)
            s.trace->beginObject(nullptr);
        traceName(s, name);
        if (!sceneRecord(s, scene) || !s.checkpoint())
            return false;
        if (s.trace)
            s.trace->endObject();
    }
    if (s.trace)
        s.trace->endArray();
    return true;
}

void showInSlot(LayerSlot& slot, MScene* scene) {
    slot = LayerSlot{};
    if (!scene)
        return;
    slot.scene = scene;
    slot.visibility = 1;
    scene->cells.isOpened = Value::fromNumber(1);
}

MScene* asScene(ScriptScene* scene) { return dynamic_cast<MScene*>(scene); }

bool itemSlotsSection(SaveStream& s, SaveWorld& world, bool applies) {
    if (s.trace && s.reading())
        s.trace->beginArray("item_slots");
    for (int i = 0; i < kItemSlots; ++i) {
        ScriptScene* scene = s.writing() && world.itemSlots ? world.itemSlots[i].scene : nullptr;
        if (!sceneReference(s, scene))
            return false;
        if (s.trace && s.reading())
            s.trace->item(s.trace->lastValue);
        if (applies && world.itemSlots) {
            MScene* shown = asScene(scene);
            showInSlot(world.itemSlots[i], shown);
            if (shown && world.readyScene)
                world.readyScene(*shown);
        }
    }
    if (s.trace && s.reading())
        s.trace->endArray();
    return true;
}

bool elementsSection(SaveStream& s, MScene* scene) {
    if (s.trace && s.reading())
        s.trace->beginArray("elements");
    if (s.writing()) {
        for (MElement* element : scene->elements) {
            if (!element->hasFlag(kElementChangedByScript))
                continue;
            if (elementMask(*element) == 0 && !hasChangedValues(element->members)) {
                element->flags &= ~kElementChangedByScript;
                continue;
            }
            if (!elementRecord(s, element))
                return false;
        }
        return endOfSection(s);
    }
    for (;;) {
        Symbol* name = nullptr;
        if (!s.nameField(name))
            return false;
        if (!name)
            break;
        MElement* element = nullptr;
        if (scene)
            for (MElement* candidate : scene->elements)
                if (candidate->name == name) {
                    element = candidate;
                    break;
                }
        if (element)
            element->flags |= kElementChangedByScript;
        if (s.trace)
            s.trace->beginObject(nullptr);
        traceName(s, name);
        if (!elementRecord(s, element))
            return false;
        if (s.trace)
            s.trace->endObject();
    }
    if (s.trace)
        s.trace->endArray();
    return true;
}

// Groups and sounds: the changed variables of each, by name.
template <class T, class List, class Find>
bool membersByName(SaveStream& s, const char* key, const List* list, Find find) {
    if (s.writing()) {
        if (list)
            for (T* object : *list) {
                if (!object || !hasChangedValues(object->members))
                    continue;
                Symbol* name = object->name;
                if (!s.nameField(name) || !propertyList(s, &object->members, true))
                    return false;
            }
        return endOfSection(s);
    }
    if (s.trace)
        s.trace->beginObject(key);
    for (;;) {
        Symbol* name = nullptr;
        if (!s.nameField(name))
            return false;
        if (!name)
            break;
        T* object = find(name);
        if (s.trace)
            s.trace->beginObject(name->text);
        if (!propertyList(s, object ? &object->members : nullptr, true))
            return false;
        if (s.trace)
            s.trace->endObject();
    }
    if (s.trace)
        s.trace->endObject();
    return true;
}

// The scene's sounds are its sound variables.
std::vector<ScriptSound*> soundsOf(MScene& scene) {
    std::vector<ScriptSound*> sounds;
    for (VariableEntry* entry : scene.scope.list(KindSound))
        if (!entry->array && entry->cell->is(ValueType::Sound) && entry->cell->pointer)
            sounds.push_back(entry->cell->as<ScriptSound>());
    return sounds;
}

} // namespace

bool sceneRecord(SaveStream& s, MScene* scene) {
    MScene* target = s.reading() && s.probe ? nullptr : scene;
    if (!elementsSection(s, target))
        return false;
    if (!membersByName<MGroup>(s, "groups", target ? &target->groups : nullptr,
                               [&](Symbol* name) { return target ? target->findGroup(name) : nullptr; }))
        return false;
    if (s.formatVersion >= 101) {
        std::vector<ScriptSound*> sounds = s.writing() ? soundsOf(*scene) : std::vector<ScriptSound*>();
        auto find = [&](Symbol* name) -> ScriptSound* {
            if (!target)
                return nullptr;
            Value* cell = findVariable(target->scope, KindSound, name, nullptr, false);
            return cell && cell->is(ValueType::Sound) ? cell->as<ScriptSound>() : nullptr;
        };
        if (!membersByName<ScriptSound>(s, "sounds", &sounds, find))
            return false;
    }
    if (!scopeRecord(s, target ? &target->scope : nullptr))
        return false;
    int32_t ticks = s.writing() ? scene->tickCounter : 0;
    ScriptScene* zoomed = s.writing() ? scene->zoomSlot.scene : nullptr;
    if (!s.intField(ticks) || !sceneReference(s, zoomed))
        return false;
    if (target && s.reading()) {
        target->tickCounter = ticks;
        showInSlot(target->zoomSlot, asScene(zoomed));
    }
    if (target) {
        target->drawOrderDirty = true;
        target->transformsDirty = true;
    }
    return true;
}

bool gameStateRecord(SaveStream& s, SaveWorld& world) {
    s.clearTables();
    bool applies = savedStateApplies(s) && !resetRequested();
    if (s.trace && s.reading())
        s.trace->beginObject("game_state");
    bool ok = musicRecord(s, world) && s.checkpoint() && itemsSection(s, world, applies) && s.checkpoint() &&
              panelsSection(s, world, applies) && s.checkpoint() && scenesSection(s, world, applies) &&
              s.checkpoint() && itemSlotsSection(s, world, applies) && s.checkpoint();
    if (ok && s.trace && s.reading())
        s.trace->endObject();
    return ok;
}

void takeSavegameBaseline(MSceneRegistry& scenes, ScriptHeap& heap) {
    for (MScene* scene : scenes.scenes()) {
        scene->snapshotFlags();
        for (ScriptTask* task : scene->scope.tasks) {
            task->baselineState = task->state;
            task->baselineBlocker = task->blocker;
            if (!task->instances)
                continue;
            for (Value* cell : task->instances->items) {
                if (!cell || !cell->is(ValueType::Task) || !cell->pointer)
                    continue;
                ScriptTask* sub = cell->as<ScriptTask>();
                sub->baselineState = sub->state;
                sub->baselineBlocker = sub->blocker;
            }
        }
    }
    heap.values.setAllUnchanged();
    heap.nodes.forEachLive([](PropertyNode* node) { node->value.typeWord |= kValueUnchanged; });
}

} // namespace glint
