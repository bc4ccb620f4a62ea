// What binds script objects to elements once the declarations are done:
// the bodies of when cues, and letting go of an element that leaves its
// scene.
#include <algorithm>

#include "script/interpreter.h"
#include "script/script_error.h"

namespace glint {

void runAnimationCue(Scope& scope, const AnimationCue& cue) {
    if (!cue.block) return;
    ScriptSystem& s = script();
    ExecContext saved = s.ctx;
    s.ctx.scope = &scope;
    s.ctx.scene = Value::fromPointer(ValueType::Scene, scope.scene());
    s.ctx.task = s.ctx.element = s.ctx.self = Value();
    s.ctx.breakFlag = false;
    s.ctx.loopDepth = 0;
    setScriptErrorScope(&scope);
    runBlock(cue.block, nullptr, 0, false);
    s.ctx = saved;
    setScriptErrorScope(s.ctx.scope);
}

namespace {

void unbind(ScriptTask* task, const ScriptElement* gone) {
    if (task->element == gone) task->element = nullptr;
    if (!task->instances) return;
    for (Value* cell : task->instances->items)
        if (cell && cell->is(ValueType::Task) && cell->pointer && cell->as<ScriptTask>()->element == gone)
            cell->as<ScriptTask>()->element = nullptr;
}

} // namespace

// The element's storage goes back to a pool and may come back as another
// element: a task still bound to it would then answer clicks on that one.
void forgetElement(Scope& scope, const ScriptElement* gone) {
    for (ScriptTask* task : scope.tasks) unbind(task, gone);
    auto& cues = scope.cues;
    cues.erase(std::remove_if(cues.begin(), cues.end(), [gone](const AnimationCue* c) { return c->element == gone; }),
               cues.end());
    script().downloads.forgetElement(gone);
}

} // namespace glint
