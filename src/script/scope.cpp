// The variable store of a scene and the lookup of variables by name.
#include <cstring>

#include "script/heap.h"
#include "script/host_objects.h"
#include "script/script_error.h"

namespace glint {

const char kPrefixTable[12] = "?#$~+^&@!*-";

VariableKind kindOfPrefix(char c) {
    if (c == 0) return KindNone;
    const char* p = std::strchr(kPrefixTable + 1, c);
    return p ? static_cast<VariableKind>(p - (kPrefixTable + 1)) : KindNone;
}

char prefixOfKind(int kind) {
    return kind >= 0 && kind < kVariableKinds ? kPrefixTable[kind + 1] : '?';
}

VariableKind kindOfType(ValueType type) {
    switch (type) {
    case ValueType::Element: return KindElement;
    case ValueType::Group: return KindGroup;
    case ValueType::Scene: return KindScene;
    case ValueType::Item: return KindItem;
    case ValueType::Function: return KindFunction;
    case ValueType::Task: return KindTask;
    case ValueType::Signal: return KindSignal;
    case ValueType::Sound: return KindSound;
    case ValueType::Class: return KindClass;
    default: return KindNone;
    }
}

Scope::Scope(ScriptScene* owner) : scene_(owner) {
    for (int kind = 0; kind < kVariableKinds; ++kind)
        allViews_[kind] = Value::fromPointer(ValueType::VariableList, &lists_[kind]);
}

const char* Scope::sceneName() const {
    return scene_ && scene_->name ? scene_->name->text : "";
}

VariableEntry* Scope::addEntry(int kind, Symbol* name, Value* cell, ArrayObject* array) {
    entries_.push_back({name, cell, array, this});
    VariableEntry* entry = &entries_.back();
    lists_[kind].push_back(entry);
    indexFor(kind, array != nullptr).emplace(name, entry); // an earlier entry of the name stays first
    return entry;
}

VariableEntry* Scope::addAllArray(Symbol* name, Value* cell, ArrayObject* array) {
    entries_.push_back({name, cell, array, this});
    allArrays_.push_back(&entries_.back());
    return &entries_.back();
}

VariableEntry* Scope::findPlain(int kind, Symbol* name) const {
    auto found = plainIndex_[kind].find(name);
    return found == plainIndex_[kind].end() ? nullptr : found->second;
}

VariableEntry* Scope::findArray(int kind, Symbol* name) const {
    auto found = arrayIndex_[kind].find(name);
    return found == arrayIndex_[kind].end() ? nullptr : found->second;
}

VariableEntry* Scope::scan(int kind, const Symbol* name, bool array) const {
    for (VariableEntry* entry : lists_[kind])
        if (entry->name == name && (entry->array != nullptr) == array) return entry;
    return nullptr;
}

void Scope::renameEntry(int kind, VariableEntry* entry, Symbol* name) {
    const bool array = entry->array != nullptr;
    Symbol* old = entry->name;
    entry->name = name;
    EntryIndex& index = indexFor(kind, array);
    // Renames are rare: both names find their first entry again.
    for (const Symbol* changed : {static_cast<const Symbol*>(old), static_cast<const Symbol*>(name)}) {
        if (VariableEntry* first = scan(kind, changed, array))
            index[changed] = first;
        else
            index.erase(changed);
    }
}

namespace {

bool endsWith(const Symbol* name, const char* suffix) {
    size_t n = std::strlen(suffix);
    return static_cast<size_t>(name->length) >= n &&
           std::memcmp(name->text + name->length - n, suffix, n) == 0;
}

VariableEntry* newArrayEntry(Scope& scope, int kind, Symbol* name, bool allList) {
    ScriptHeap& heap = scriptHeap();
    ArrayObject* array = heap.arrays.create(name, &scope, static_cast<uint8_t>(kind));
    Value* cell = heap.newCell(Value::fromPointer(ValueType::Array, array));
    return allList ? scope.addAllArray(name, cell, array) : scope.addEntry(kind, name, cell, array);
}

Value* findArrayVariable(Scope& scope, int kind, Symbol* name, bool create) {
    if (kind == KindElement && name->length > 5 && endsWith(name, "_ALL[]")) {
        for (VariableEntry* entry : scope.allArrays())
            if (entry->name == name) return entry->cell;
        return newArrayEntry(scope, kind, name, true)->cell;
    }
    if (VariableEntry* entry = scope.findArray(kind, name)) return entry->cell;
    if (!create) return nullptr;
    return newArrayEntry(scope, kind, name, false)->cell;
}

void tellHolder(int kind, Value* cell, ArrayObject* array) {
    if (kind != KindElement && kind != KindGroup && kind != KindSound) return;
    ValueType type = cell->type();
    if ((type == ValueType::Element || type == ValueType::Group || type == ValueType::Sound) && cell->pointer)
        cell->as<ScriptSceneObject>()->holderArray = array;
}

Value* findArrayElement(Scope& scope, int kind, Symbol* name, Value* initial, bool create) {
    Value* base = findArrayVariable(scope, kind, name->arrayBase, true);
    if (!base || !base->is(ValueType::Array)) return nullptr;
    ArrayObject* array = base->as<ArrayObject>();
    int index = name->arrayIndex;
    if (index <= array->count() && array->items[index - 1]) {
        Value* existing = array->items[index - 1];
        if (initial && initial != existing)
            scriptError("Duplicate variable in array %c%s:%s at index %d", prefixOfKind(kind),
                        scope.sceneName(), array->name->text, index);
        return existing;
    }
    if (!create) return nullptr;
    if (index > ArrayObject::kMaxSlots) {
        array->put(index, nullptr); // reports the limit
        return nullptr;
    }
    Value* cell = initial ? initial : scriptHeap().newCell();
    array->put(index, cell);
    tellHolder(kind, cell, array);
    return cell;
}

// Functions, tasks, signals and classes exist as soon as their name is
// mentioned, so that declarations and uses may come in any order.
void createObjectFor(Scope& scope, int kind, Symbol* name, Value* cell) {
    ScriptHeap& heap = scriptHeap();
    switch (kind) {
    case KindFunction: {
        ScriptFunction* function = heap.functions.create(name, &scope);
        function->owner = Value::fromPointer(ValueType::Scene, scope.scene());
        scope.functions.push_back(function);
        *cell = Value::fromPointer(ValueType::Function, function);
        break;
    }
    case KindTask: {
        ScriptTask* task = heap.tasks.create(name, &scope);
        scope.tasks.push_back(task);
        *cell = Value::fromPointer(ValueType::Task, task);
        break;
    }
    case KindSignal: {
        ScriptSignal* signal = heap.signals.create(name, &scope);
        scope.signals.push_back(signal);
        *cell = Value::fromPointer(ValueType::Signal, signal);
        break;
    }
    case KindClass: {
        ScriptClass* klass = heap.classes.create(name, &scope);
        scope.classes.push_back(klass);
        *cell = Value::fromPointer(ValueType::Class, klass);
        break;
    }
    default:
        break;
    }
}

} // namespace

Value* findVariable(Scope& scope, int kind, Symbol* name, Value* initial, bool create) {
    if (!name || kind < 0 || kind >= kVariableKinds) return nullptr;
    const char* text = name->text;
    if (kind == KindPlain && name->length >= 4 && std::memcmp(text, "ALL", 3) == 0) {
        VariableKind viewKind = kindOfPrefix(text[3]);
        if (viewKind != KindNone) return scope.allView(viewKind);
    }
    if (endsWith(name, "[]")) return findArrayVariable(scope, kind, name, create);
    if (name->arrayBase) return findArrayElement(scope, kind, name, initial, create);

    if (VariableEntry* entry = scope.findPlain(kind, name)) return entry->cell;
    if (!create) return nullptr;
    Value* cell = initial ? initial : scriptHeap().newCell();
    scope.addEntry(kind, name, cell, nullptr);
    if (scriptHeap().createsObjectsOnMention()) createObjectFor(scope, kind, name, cell);
    return cell;
}

Value* declareVariable(Scope& scope, int kind, Symbol* name, Value* cell) {
    return findVariable(scope, kind, name, cell, true);
}

Value* declareElementVariable(Scope& scope, Symbol* name, Value* cell) {
    Value* declared = findVariable(scope, KindElement, name, cell, true);
    const char* text = name->text;
    const char* dollar = std::strchr(text, '$');
    const char* underscore = std::strchr(dollar ? dollar + 1 : text, '_');
    if (!underscore || !declared) return declared;
    int baseLength = static_cast<int>(underscore - text);
    char base[256];
    if (baseLength + 7 > static_cast<int>(sizeof base)) return declared;
    std::memcpy(base, text, baseLength);
    std::memcpy(base + baseLength, "_ALL[]", 7);
    Value* all = findVariable(scope, KindElement, intern(base, baseLength + 6), nullptr, true);
    if (all && all->is(ValueType::Array)) all->as<ArrayObject>()->append(declared);
    return declared;
}

Value* declareVariable(Scope& scope, int kind, const char* name, Value* cell) {
    return declareVariable(scope, kind, intern(name), cell);
}

} // namespace glint
