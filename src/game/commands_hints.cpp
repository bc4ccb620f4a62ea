#include "game/hint_commands.h"

#include "game/hints.h"
#include "scene/element.h"
#include "scene/element_geometry.h"
#include "script/commands.h"
#include "script/script_system.h"

namespace glint {

namespace {

MHints* served = nullptr;

Value taskValue(ScriptTask* task) { return task ? Value::fromPointer(ValueType::Task, task) : Value(); }

// get_hint_offset element outx outy: where on the element a hint points,
// from its centre, turned with the element (its hotspot's when it has one).
uint32_t commandGetHintOffset(Value* args, int) {
    const MElement* element = nullptr;
    if (args[0].is(ValueType::Element) && args[0].pointer)
        element = dynamic_cast<const MElement*>(args[0].as<ScriptElement>());
    if (element && element->hotspot)
        element = element->hotspot;
    float x = 0, y = 0;
    if (element && element->visual) {
        const float dx = element->visual->hintOffsetX / 16.0f, dy = element->visual->hintOffsetY / 16.0f;
        const SinCos turn = tableSinCos(element->absAngle);
        x = dx * turn.cos + dy * turn.sin;
        y = dy * turn.cos - dx * turn.sin;
    }
    args[1] = Value::fromNumber(x);
    args[2] = Value::fromNumber(y);
    return 6;
}

uint32_t commandRequestHint(Value* args, int) {
    args[0] = taskValue(served ? served->request() : nullptr);
    return 1;
}

uint32_t commandRequestGlitterHint(Value* args, int) {
    args[0] = taskValue(served ? served->requestGlitter() : nullptr);
    return 1;
}

void visitForHints(ScriptTask* task) {
    if (served)
        served->visit(task);
}

} // namespace

void registerHintCommands(MHints* hints) {
    served = hints;
    script().hintVisitor = hints ? visitForHints : nullptr;
    if (!hints)
        return;
    registerCommand("get_hint_offset", commandGetHintOffset, 3, 0);
    registerCommand("engine_request_hint", commandRequestHint, 1, 0);
    registerCommand("engine_request_hint_glitter", commandRequestGlitterHint, 1, 0);
}

} // namespace glint
