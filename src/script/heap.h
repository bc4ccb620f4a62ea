// The pools of one run of the game: Value cells, property nodes, arrays and
// the script objects. Everything is reclaimed only by the collector.
#pragma once

#include <unordered_set>

#include "script/array_object.h"
#include "script/objects.h"
#include "script/pool.h"

namespace glint {

class ScriptHeap {
public:
    ValuePool values;
    ObjectPool<PropertyNode, 10000> nodes;
    ObjectPool<ArrayObject, 512> arrays;
    ObjectPool<ScriptFunction, 512> functions;
    ObjectPool<ScriptTask, 512> tasks;
    ObjectPool<ScriptSignal, 256> signals;
    ObjectPool<ScriptClass, 64> classes;
    ObjectPool<ScriptInstance, 256> instances;
    ObjectPool<ScriptMethod, 256> methods;

    // Function, task, signal and class variables receive their object on
    // first mention only while the engine has not started, or while the
    // task being compiled is an instance created at run time.
    bool engineStarted = false;
    bool compilingRuntimeInstance = false;
    bool createsObjectsOnMention() const { return !engineStarted || compilingRuntimeInstance; }

    Value* newCell(const Value& initial = Value()) { return values.create(initial); }

    // Cells that compiled statements point at directly although no variable
    // entry holds them (array slots named as book_3): an array may drop the
    // slot later, so the collector treats them as roots.
    std::unordered_set<Value*> pinned;
    void pin(Value* cell) {
        if (cell && values.owns(cell)) pinned.insert(cell);
    }
};

// The heap of the running script system.
ScriptHeap& scriptHeap();
void setScriptHeap(ScriptHeap* heap);

} // namespace glint
