// take and untake: the object in the player's hand.
#include "game/pointer_commands.h"

#include "game/pointer.h"
#include "script/commands.h"
#include "script/interpreter.h"

namespace glint {

namespace {

MPointer* served = nullptr;

uint32_t commandTake(Value* args, int) {
    if (served && !args[0].isNone())
        served->takeObject(args[0], roundedInt(args[1], 0) > 0);
    return 0;
}

uint32_t commandUntake(Value*, int) {
    if (served)
        served->dropObject(0);
    return 0;
}

} // namespace

void registerPointerCommands(MPointer* pointer) {
    served = pointer;
    if (!pointer)
        return;
    registerKeyword(KwTake, "take", commandTake, 2, 0);
    registerKeyword(KwUntake, "untake", commandUntake, 1, 0);
}

} // namespace glint
