#include "game/navigation_commands.h"

#include "game/navigation.h"
#include "scene/element.h"
#include "scene/scene.h"
#include "script/commands.h"
#include "script/interpreter.h"

namespace glint {

namespace {

MNavigation* served = nullptr;

MScene* sceneOf(const Value& value) {
    if (!value.is(ValueType::Scene) || !value.pointer)
        return nullptr;
    return dynamic_cast<MScene*>(value.as<ScriptScene>());
}

// goto scene [colour], or goto element [colour] for an element whose
// "goto_scene" holds the scene: the element is where the camera zooms.
uint32_t commandGoto(Value* args, int) {
    MScene* target = sceneOf(args[0]);
    MElement* source = nullptr;
    if (!target && args[0].is(ValueType::Element) && args[0].pointer) {
        source = dynamic_cast<MElement*>(args[0].as<ScriptElement>());
        const Value* member = source ? source->members.get(sym::goto_scene()) : nullptr;
        target = member ? sceneOf(*member) : nullptr;
    }
    if (served && target)
        served->gotoScene(target, source, args[1].isNumber() ? static_cast<float>(args[1].number) : 0);
    return 0;
}

uint32_t commandOpen(Value* args, int) {
    if (served)
        served->openScene(sceneOf(args[0]));
    return 0;
}

uint32_t commandClose(Value* args, int) {
    if (served)
        served->closeTop(args[0].isNumber() ? static_cast<float>(args[0].number) : 0);
    return 0;
}

} // namespace

void registerNavigationCommands(MNavigation* navigation) {
    served = navigation;
    if (!navigation)
        return;
    registerKeyword(KwGoto, "goto", commandGoto, 2, 0);
    registerKeyword(KwOpen, "open", commandOpen, 1, 0);
    registerKeyword(KwClose, "close", commandClose, 1, 0);
}

} // namespace glint
