// take and untake: the object in the player's hand; get_scale_factor: the
// pulse of a found object.
#include "game/pointer_commands.h"

#include "game/pointer.h"
#include "game/pulse_curve.h"
#include "script/commands.h"
#include "script/interpreter.h"

namespace glint {

namespace {

MPointer* served = nullptr;
const PulseCurve* pulse = nullptr;

// take object [flag]: an element or an inventory item; anything else
// cannot be carried.
uint32_t commandTake(Value* args, int) {
    const Value& object = args[0];
    if (served && (object.is(ValueType::Element) || object.is(ValueType::Item)) && object.pointer)
        served->takeObject(object, roundedInt(args[1], 0) > 0);
    return 0;
}

uint32_t commandUntake(Value*, int) {
    if (served)
        served->dropObject(0);
    return 0;
}

// get_scale_factor out x: the pulse at x ticks (none counts as 0).
uint32_t commandGetScaleFactor(Value* args, int) {
    float ticks = args[1].isNumber() ? static_cast<float>(args[1].number) : 0;
    args[0] = Value::fromNumber(pulse ? pulse->value(ticks) : 1);
    return 1;
}

} // namespace

void registerPointerCommands(MPointer* pointer, const PulseCurve* curve) {
    served = pointer;
    pulse = curve;
    if (!pointer)
        return;
    registerKeyword(KwTake, "take", commandTake, 2, 0);
    registerKeyword(KwUntake, "untake", commandUntake, 1, 0);
    registerKeyword(KwGetScaleFactor, "get_scale_factor", commandGetScaleFactor, 2, 0);
}

} // namespace glint
