// The pointer in the engine: its inputs each tick, the look each frame and
// what is drawn at it (the look's element, the carried item and the
// tooltip).
#include "app/application.h"
#include "app/engine.h"

#include <algorithm>
#include <cmath>

#include "engine/render/quad_batch.h"
#include "engine/system/numbers.h"
#include "game/inventory.h"
#include "game/tooltip.h"
#include "scene/element.h"
#include "scene/element_geometry.h"
#include "scene/scene.h"
#include "scene/scene_draw.h"
#include "script/interpreter.h"
#include "script/script_system.h"

namespace glint {

namespace {

bool lookExists(Symbol* look, void* user) {
    return findPointerCursor(*static_cast<const PointerCursors*>(user), look) != nullptr;
}

} // namespace

void MEngine::updatePointer() {
    PointerButtonsInput in;
    in.x = input.pointerX, in.y = input.pointerY;
    for (int b = 0; b < 2; ++b) {
        in.pressed[b] = input.buttonPressed[b] != 0;
        in.released[b] = input.buttonReleased[b] != 0;
        in.held[b] = input.buttonHeld[b] != 0;
    }
    in.escapePressed = input.keyPressed[kEscapeKey] != 0;
    pointer.updateState(in, engineSpeed);
    for (int b = 0; b < 2; ++b)
        input.buttonPressed[b] = input.buttonReleased[b] = 0;
    input.keyPressed[kEscapeKey] = 0;
    inventory->stepState(waiting);
    inventory->updateClickTasks();
    pointer.dispatchClicks(*navigation, waiting);
}

void MEngine::finishPointerTick() {
    pointer.serveUnhandled(waiting, script_->pointer.handled);
    pointer.advanceTooltip(pointer.tooltipText(app.settings.mergeTextKeyAndText));
}

Symbol* MEngine::currentLook() const {
    MPointer::LookContext c;
    MScene* play = playScene();
    const Value* noPointer = play ? &play->cells.noPointer : nullptr;
    c.paused = paused();
    c.splash = phase >= kFirstSplashPhase;
    c.splashClickable = splashTimer >= 100 && splashTimer < 300;
    c.hidden = (phase >= 1 && phase <= 10) || switching() || (phase == 0 && !play) ||
               (phase == 0 && noPointer && noPointer->isNumber() && noPointer->number >= 0.5);
    c.waiting = waiting;
    c.lookExists = lookExists;
    c.user = const_cast<PointerCursors*>(&pointerCursors);
    return pointer.chooseLook(c);
}

// "Prev_pointer" and "Current_pointer" follow the look; the pointer scene
// hears of every change. Its handler is looked up, never created: the
// scene binds before the scripts compile, and a created cell would be
// reported as a function without a body.
void MEngine::publishLook(Symbol* look) {
    const PointerScene& scene = pointerCursors.scene;
    if (!scene.currentPointer || !scene.prevPointer)
        return;
    *scene.prevPointer = *scene.currentPointer;
    *scene.currentPointer = paused() || switching() ? Value() : Value::fromSymbol(look);
    const bool changed = !(scene.prevPointer->type() == scene.currentPointer->type() &&
                           scene.prevPointer->bits == scene.currentPointer->bits);
    if (!changed)
        return;
    Value* handler = findVariable(scene.scene->scriptClass(), KindFunction, sym::on_pointer_changed(), nullptr, false);
    if (handler && handler->is(ValueType::Function) && handler->pointer)
        callDefinedFunction(handler->as<ScriptFunction>(), nullptr, 0);
}

void MEngine::drawPointer() {
    Symbol* look = currentLook();
    publishLook(look);
    const PointerCursor* cursor = findPointerCursor(pointerCursors, look);
    if (!inForeground())
        return;
    PointerLookDisplay shown = showPointerLook(pointerCursors, look, app.options, app.platform);
    if (shown == PointerLookDisplay::DrawnElement && cursor && cursor->element && cursor->element->visual) {
        MElement& e = *cursor->element;
        float scale = app.gameConfig.getFloat(sym::hud_pointer_scale(), 1);
        const MImageAnim& image = e.visual->image;
        Corners corners = rectangleCorners(pointer.x, pointer.y, e.visual->width * scale, e.visual->height * scale,
                                           0, e.pivotX, e.pivotY);
        drawElementImage(e, image, image.frameRect(static_cast<float>(roundToInteger(e.time))), corners,
                         packColor(1, 1, 1, 1));
    }
    if (InventoryItem* item = inventory->takenItem())
        inventory->drawTakenItem(*item, pointer.x + app.gameConfig.getFloat(sym::taken_offset_x(), 0),
                                 pointer.y + app.gameConfig.getFloat(sym::taken_offset_y(), 0),
                                 app.gameConfig.getFloat(sym::taken_scale(), 1));
    if (!pointer.tooltip().empty() && pointer.tooltipOpacity() > 0) {
        float x = std::round(pointer.x + app.gameConfig.getFloat(sym::tooltip_x(), 40));
        float y = std::round(pointer.y + app.gameConfig.getFloat(sym::tooltip_y(), 20));
        drawTooltip(inventory->tooltipStyle(), x, y, pointer.tooltip(), pointer.tooltipTicks(),
                    pointer.tooltipOpacity(), true);
    }
}

} // namespace glint
