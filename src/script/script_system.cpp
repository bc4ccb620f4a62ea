#include "script/script_system.h"

namespace glint {

namespace {
ScriptHeap* currentHeap = nullptr;
ScriptScene* currentGlobal = nullptr;
} // namespace

ScriptHeap& scriptHeap() { return *currentHeap; }
void setScriptHeap(ScriptHeap* heap) { currentHeap = heap; }

ScriptScene* globalScene() { return currentGlobal; }
Scope* globalScope() { return currentGlobal ? &currentGlobal->scope : nullptr; }

ScriptSystem::ScriptSystem()
    : globalScene(intern("global")), previousHeap_(currentHeap), previousGlobal_(currentGlobal) {
    currentHeap = &heap;
    currentGlobal = &globalScene;
}

ScriptSystem::~ScriptSystem() {
    currentHeap = previousHeap_;
    currentGlobal = previousGlobal_;
}

} // namespace glint
