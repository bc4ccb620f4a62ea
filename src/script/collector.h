// The collector of script objects: clear every mark, mark what the roots
// reach, release the rest back to the pools.
//
//   Collector collector(heap);
//   collector.clearMarks();
//   collector.markSystem(system);       // scenes, delayed work, stack
//   collector.markHost(element);        // roots that scene code adds
//   collector.releaseUnmarked();
#pragma once

#include <cstddef>
#include <vector>

#include "script/heap.h"
#include "script/host_objects.h"
#include "script/script_system.h"

namespace glint {

class Collector {
public:
    explicit Collector(ScriptHeap& heap) : heap_(heap) {}

    void clearMarks();
    // A cell that belongs to the reachable state (and what it holds).
    void markCell(Value* cell);
    // Only what a value holds (for copies outside the pools).
    void markValue(const Value& value);
    void markProperties(const PropertyList& list);
    void markScope(Scope& scope);
    void markHost(ScriptHostObject* object);
    // The roots of the script system itself: every registered scene's
    // scope (the global scene's first) and objects, pending delayed calls and blocks,
    // downloads in flight, queued alerts, the execution context and the
    // live part of the value stack.
    void markSystem(ScriptSystem& system);
    // Returns how many objects and cells went back to the pools.
    size_t releaseUnmarked();

private:
    bool markFlag(Value* cell);
    void drain();
    void markContents(const Value& value);
    void markArray(ArrayObject* array);
    void markFunction(ScriptFunction* function);
    void markTask(ScriptTask* task);

    ScriptHeap& heap_;
    std::vector<Value> pending_;
    std::vector<Value*> touched_; // every cell marked in this collection
    uint32_t epoch_ = 0;
};

} // namespace glint
