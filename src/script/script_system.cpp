#include "script/script_system.h"

#include "script/script_error.h"

namespace glint {

namespace {
ScriptHeap* currentHeap = nullptr;
ScriptScene* currentGlobal = nullptr;
} // namespace

ScriptSystem* detail::runningSystem = nullptr;

ScriptHeap& scriptHeap() { return *currentHeap; }
void setScriptHeap(ScriptHeap* heap) { currentHeap = heap; }
ScriptScene* globalScene() { return currentGlobal; }
Scope* globalScope() { return currentGlobal ? &currentGlobal->scope : nullptr; }

ScriptSource* findScriptSource(Symbol* name, const char* folder) {
    return detail::runningSystem->sources.find(name, folder);
}

ScriptSystem::ScriptSystem(ScriptScene* gameScene)
    : ownGlobal_(intern("game")), globalScene(gameScene ? *gameScene : ownGlobal_), previousHeap_(currentHeap),
      previousGlobal_(currentGlobal), previousSystem_(detail::runningSystem) {
    currentHeap = &heap;
    currentGlobal = &globalScene;
    detail::runningSystem = this;
    scenes.push_back(&globalScene);
    Scope& g = global();
    // The execution context is visible to scripts as #+, #@, #$ and #^.
    declareVariable(g, KindPlain, sym::plus(), &ctx.scene);
    declareVariable(g, KindPlain, sym::at(), &ctx.task);
    declareVariable(g, KindPlain, sym::dollar(), &ctx.element);
    declareVariable(g, KindPlain, sym::caret(), &ctx.item);
    Value* calls = findVariable(g, KindPlain, sym::Call_stack_array(), nullptr, true);
    callStack = calls->as<ArrayObject>();
    callStack->items.reserve(kMaxCallDepth + 1);
    ctx.scope = &g;
    ctx.scene = Value::fromPointer(ValueType::Scene, &globalScene);
}

ScriptSystem::~ScriptSystem() {
    if (scriptErrorScope()) setScriptErrorScope(nullptr);
    currentHeap = previousHeap_;
    currentGlobal = previousGlobal_;
    detail::runningSystem = previousSystem_;
}

ScriptScene* ScriptSystem::findScene(Symbol* name) const {
    for (ScriptScene* scene : scenes)
        if (scene->name == name) return scene;
    return nullptr;
}

SignalHandler* ScriptSystem::newSignalHandler() {
    handlers_.emplace_back();
    return &handlers_.back();
}

TaskDescription* ScriptSystem::newTaskDescription() {
    descriptions_.emplace_back();
    return &descriptions_.back();
}

AnimationCue* ScriptSystem::newCue() {
    cues_.emplace_back();
    return &cues_.back();
}

DelayedCall* ScriptSystem::newDelayedCall() {
    if (!freeCalls_.empty()) {
        DelayedCall* call = freeCalls_.back();
        freeCalls_.pop_back();
        return call;
    }
    calls_.emplace_back();
    return &calls_.back();
}

DelayedBlock* ScriptSystem::newDelayedBlock() {
    if (!freeBlocks_.empty()) {
        DelayedBlock* block = freeBlocks_.back();
        freeBlocks_.pop_back();
        return block;
    }
    blocks_.emplace_back();
    return &blocks_.back();
}

} // namespace glint
