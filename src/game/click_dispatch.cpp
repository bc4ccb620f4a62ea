// Which layer takes the pointer: the overlay, an interface layer over the
// game, the over-HUD, the HUD with the inventory panels and the active
// scene are asked in this order, and the first one with a task under the
// pointer keeps the click.
#include "game/pointer.h"

#include <string_view>

#include "game/inventory.h"
#include "game/navigation.h"
#include "scene/element.h"
#include "scene/scene.h"
#include "script/interpreter.h"
#include "script/script_system.h"
#include "script/symbol.h"

namespace glint {

namespace {

int64_t layerOf(const MScene& scene) {
    return scene.cells.layer.isNumber() ? roundToInteger(scene.cells.layer.number) : 0;
}

bool passive(const MScene& scene) {
    return scene.cells.isPassiveScene.isNumber() && scene.cells.isPassiveScene.number > 0.5;
}

bool noInventory(const MScene& scene) {
    return scene.cells.noInventory.isNumber() && scene.cells.noInventory.number >= 0.5;
}

float pointerIn(const Value& cell) { return cell.isNumber() ? static_cast<float>(cell.number) : 0; }

} // namespace

// "click" tasks react to the press, "press" ones too, "release" ones when
// the button comes up without a drag, "drag" ones when a gesture that began
// on them becomes a drag.
bool MPointer::triggers(const ScriptTask& task) const {
    const Symbol* type = task.description ? task.description->clickType : nullptr;
    const char* name = type ? type->text : "click";
    if (std::string_view(name) == "release")
        return released[kPrimaryButton] && dragState != kDragging;
    if (std::string_view(name) == "drag")
        return dragBegan && pressTarget == &task;
    return clicked[kPrimaryButton];
}

bool MPointer::taskPass(MScene* scene) {
    if (!scene)
        return false;
    Scope& scope = scene->scope;
    updateTasks(scope, TaskPass::CollectTargets);
    const float px = pointerIn(scene->cells.pointerX), py = pointerIn(scene->cells.pointerY);
    for (const PointerTarget& target : scope.targets) {
        MElement* element = taskElement(*target.task);
        if (!element || !element->hitTest(px, py))
            continue;
        ScriptTask& task = *target.task;
        HoverTarget hover{&task, task.pointerName};
        PointerInput& input = script().pointer;
        // The pointer target, whatever the task waits for: hover
        // highlights and text outlines follow it.
        input.hovered = element;
        if (pressed[kPrimaryButton])
            pressTarget = &task;
        if (target.interaction == 3) {
            hoverUse = hover;
            if (!takenObject.isNone() && clicked[kPrimaryButton]) {
                input.dropTarget = element;
                input.dropped = takenObject;
            }
        } else if (target.interaction == 2) {
            hoverLook = hover;
            if (triggers(task))
                input.lookedAt = element;
        } else {
            hoverClick = hover;
            if (triggers(task))
                input.clicked = element;
        }
        return true;
    }
    return false;
}

void MPointer::dispatchClicks(MNavigation& nav, bool waiting) {
    PointerInput& input = script().pointer;
    input.hovered = input.clicked = input.lookedAt = input.dropTarget = nullptr;
    input.dropped = Value();
    input.buttonHeld = holdTicks > 0;
    if (!waiting) {
        MScene* s = nav.activeScene;
        auto passes = [&]() -> bool {
            if (taskPass(nav.overlay))
                return true;
            const bool interfaceLayer = s && s->flags.system && s != nav.playScene;
            if (interfaceLayer && layerOf(*s) > 0) {
                if (taskPass(s))
                    return true;
                if (!passive(*s))
                    return false;
            }
            if (s && nav.hudAllowed(1.5f) && taskPass(nav.overHud))
                return true;
            if (!(interfaceLayer && !s->flags.item && layerOf(*s) <= 0) && s && !noInventory(*s) &&
                nav.hudAllowed(0.5f)) {
                bool served = taskPass(nav.hud);
                if (!takenObject.isNone() && clicked[kSecondaryButton]) {
                    clicked[kSecondaryButton] = false;
                    dropObject(1);
                }
                bool consumed = false;
                if (inventory)
                    for (InventoryPanel& panel : inventory->panels)
                        consumed = inventory->panelPointer(panel, consumed);
                if (served || consumed)
                    return true;
            }
            return taskPass(s);
        };
        if (!passes()) {
            hoverClick = hoverLook = hoverUse = HoverTarget{};
            if (longPress) {
                longPress = false;
                if (takenObject.isNone())
                    callGlobalEvent(sym::on_long_press(), nullptr);
            }
        }
    }
    if (clicked[kPrimaryButton] && !hoverClick && !hoverLook && !hoverUse && !takenObject.isNone() &&
        (!pressTarget || takeMode == 3)) {
        dropRequest = true;
        clicked[kPrimaryButton] = false;
    }
    if (released[kPrimaryButton])
        pressTarget = nullptr;
    if (escapePressed) {
        escapePressed = false;
        if (!waiting)
            callGlobalEvent(sym::on_escape(), nullptr);
    }
}

} // namespace glint
