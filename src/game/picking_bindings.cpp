// start_picking_anim and render_picking_animations, and the inventory's
// picking hooks, served by the running game's flights.
#include "game/picking.h"

#include "game/inventory.h"
#include "scene/element.h"
#include "script/commands.h"
#include "script/interpreter.h"

namespace glint {

namespace {

MPicking* served = nullptr;

MElement* elementOf(const Value& value) {
    return value.is(ValueType::Element) && value.pointer ? dynamic_cast<MElement*>(value.as<ScriptElement>())
                                                         : nullptr;
}

float numberOr(const Value& value, float fallback) {
    return value.isNumber() ? static_cast<float>(value.number) : fallback;
}

// start_picking_anim element target arc growth fade phase trail1 trail2
// version arrival1 arrival2: arguments of another type count as absent.
uint32_t commandStartPickingAnim(Value* args, int) {
    if (!served)
        return 0;
    PickingRequest request;
    request.element = elementOf(args[0]);
    request.target = elementOf(args[1]);
    request.arc = numberOr(args[2], request.arc);
    request.growth = numberOr(args[3], request.growth);
    request.fade = numberOr(args[4], request.fade);
    request.phase = roundedInt(args[5], request.phase);
    request.trails[0] = elementOf(args[6]);
    request.trails[1] = elementOf(args[7]);
    request.version = args[8].isString() ? args[8].symbol() : nullptr;
    request.arrivals[0] = elementOf(args[9]);
    request.arrivals[1] = elementOf(args[10]);
    served->start(request);
    return 0;
}

// From a render hook of the "hud" scene: flights are drawn only so.
uint32_t commandRenderPickingAnimations(Value*, int) {
    if (served)
        served->draw();
    return 0;
}

void finishPicksOf(InventoryItem& item) {
    if (served)
        served->finishPicksOf(item);
}

void stepPicking() {
    if (served)
        served->step();
}

bool pickingCarriesLooseItem() { return served && served->carriesLooseItem(); }

} // namespace

void bindPicking(MPicking* picking, MInventory* inventory) {
    served = picking;
    if (inventory) {
        inventory->hooks.finishPicksOf = picking ? finishPicksOf : nullptr;
        inventory->hooks.stepPicking = picking ? stepPicking : nullptr;
        inventory->hooks.pickingCarriesLooseItem = picking ? pickingCarriesLooseItem : nullptr;
    }
    if (!picking)
        return;
    registerKeyword(KwStartPickingAnim, "start_picking_anim", commandStartPickingAnim, 11, 0);
    registerKeyword(KwRenderPickingAnimations, "render_picking_animations", commandRenderPickingAnimations, 0, 0);
}

} // namespace glint
