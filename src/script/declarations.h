// The declaration pass over compiled top-level lists, task instances and
// linking.
#pragma once

#include "script/script_system.h"

namespace glint {

// Binds the declarations of a compiled list (recursing into task and class
// bodies) to the objects they define.
void declare(NodeRef list, Scope& scope);
// Sets a script body; reports a different second body and keeps the first.
void defineFunction(ScriptFunction* function, NodeRef node);
// The instance of a task for one element (null when refused).
ScriptTask* createTaskInstance(ScriptTask* task, ScriptElement* element, bool runtime);
// The task a task or action statement declares (null when none).
ScriptTask* declaredTask(Statement statement, Scope& scope);
// The checks of linking and the init pass, with the scene's scope current.
void linkScene(Scope& scope);

} // namespace glint
