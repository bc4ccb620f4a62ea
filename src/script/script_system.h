// One run of the script language: the heap and the global scene with the
// engine-wide variables. The central engine object owns exactly one.
#pragma once

#include "script/heap.h"
#include "script/host_objects.h"

namespace glint {

class ScriptSystem {
public:
    ScriptSystem();
    ~ScriptSystem();
    ScriptSystem(const ScriptSystem&) = delete;
    ScriptSystem& operator=(const ScriptSystem&) = delete;

    ScriptHeap heap;
    ScriptScene globalScene;

    Scope& global() { return globalScene.scope; }

private:
    ScriptHeap* previousHeap_;
    ScriptScene* previousGlobal_;
};

// The running system's global scene, or null.
ScriptScene* globalScene();

} // namespace glint
