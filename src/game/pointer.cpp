// The pointer's state from tick to tick, the carried object and the look.
#include "game/pointer.h"

#include <cmath>

#include "game/inventory.h"
#include "resource/configuration.h"
#include "scene/element.h"
#include "scene/element_geometry.h"
#include "scene/scene.h"
#include "scene/scene_engine_state.h"
#include "script/interpreter.h"
#include "script/symbol.h"
#include "text/localization.h"

namespace glint {

namespace {

constexpr int32_t kLongPressTicks = 80;
constexpr int32_t kTooltipFadeTicks = 25;

void callEvent(Symbol* name, const Value* argument) { callGlobalEvent(name, argument); }

MElement* elementOf(const Value& value) {
    if (!value.is(ValueType::Element) || !value.pointer)
        return nullptr;
    return dynamic_cast<MElement*>(value.as<ScriptElement>());
}

InventoryItem* itemOf(const Value& value) {
    if (!value.is(ValueType::Item) || !value.pointer)
        return nullptr;
    return dynamic_cast<InventoryItem*>(value.as<ScriptItem>());
}

// The long press comes after 80 ticks at normal speed.
int32_t longPressTicks(const Value* engineSpeed) {
    double speed = !engineSpeed ? 1 : engineSpeed->isNumber() ? engineSpeed->number : 0;
    return static_cast<int32_t>(roundToInteger(kLongPressTicks * speed));
}

const char* stringMember(const MElement& e, Symbol* key) {
    const Value* value = e.members.get(key);
    return value && value->isString() ? value->symbol()->text : nullptr;
}

} // namespace

MElement* taskElement(const ScriptTask& task) { return task.element ? dynamic_cast<MElement*>(task.element) : nullptr; }

void MPointer::bind(Scope& global, const MConfiguration& gameConfig) {
    declareVariable(global, KindPlain, sym::Taken_object()->text, &takenObject);
    declareVariable(global, KindPlain, sym::Old_taken_object()->text, &oldTakenObject);
    declareVariable(global, KindPlain, sym::Pointer()->text, &pointerLook);
    declareVariable(global, KindPlain, sym::Wait_pointer()->text, &waitPointerLook);
    dragOffset = gameConfig.getFloat(sym::BuildDragOffset(), 64);
    dragTakenOffset = gameConfig.getFloat(sym::BuildDragTakenOffset(), 64);
}

void MPointer::updateState(PointerButtonsInput& input, const Value* engineSpeed) {
    dropRequest = false;
    hoverClick = hoverLook = hoverUse = HoverTarget{};
    hoverItem = itemToTake = nullptr;
    oldTakenObject = Value();
    x = input.x, y = input.y;
    for (int b = 0; b < 2; ++b) {
        pressed[b] = input.pressed[b];
        released[b] = input.released[b];
        input.pressed[b] = input.released[b] = false;
        clicked[b] = pressed[b]; // desktops click on the press
    }
    dragBegan = false;
    escapePressed = input.escapePressed;
    input.escapePressed = false;
    if (pressed[kPrimaryButton])
        pressTarget = nullptr;

    if (pressed[kPrimaryButton]) {
        pressX = x, pressY = y;
        dragState = kNoDrag;
        holdTicks = 0, dragDistance = 0, longPress = false;
    } else if (!input.held[kPrimaryButton]) {
        if (!released[kPrimaryButton])
            dragState = kNoDrag;
        holdTicks = 0, dragDistance = 0, longPress = false;
    } else {
        ++holdTicks;
        dragDistance = std::hypot(x - pressX, y - pressY);
        longPress = holdTicks == longPressTicks(engineSpeed);
        const bool taken = !takenObject.isNone();
        if (dragState != kDragging &&
            ((taken && dragDistance >= dragTakenOffset) || (dragOffset > 0 && dragDistance >= dragOffset))) {
            dragState = kDragging;
            dragBegan = true;
        }
    }
}

void MPointer::setTakeMode(int mode) {
    takeMode = mode;
    sceneEngineState().takeMode = mode;
    if (mode == 2)
        callEvent(sym::on_object_take_selected(), &takenObject);
    else if (mode == 3)
        callEvent(sym::on_object_take_dragging(), &takenObject);
}

void MPointer::takeObject(const Value& object, bool pressedNow) {
    dropObject(0);
    takenObject = object; // a copy: without the savegame's Unchanged mark
    takeOffsetX = takeOffsetY = 0;
    setTakeMode(kTakeModeDesktop);
    takenAtX = x, takenAtY = y;
    if (InventoryItem* item = itemOf(object); item && inventory)
        inventory->itemTaken(*item);
    // An element that keeps its place relative to the pointer.
    if (MElement* element = elementOf(object)) {
        const Value* keep = element->members.get(sym::Taken_no_center_on_pointer());
        if (keep && keep->isNumber() && keep->number > 0.5) {
            takeOffsetX = element->absX - x;
            takeOffsetY = element->absY - y;
        }
    }
    SceneEngineState& state = sceneEngineState();
    state.dragOffsetX = takeOffsetX;
    state.dragOffsetY = takeOffsetY;
    Value flag = Value::fromNumber(pressedNow ? 1 : 0);
    callEvent(sym::on_object_taken(), &flag);
}

void MPointer::dropObject(int flag) {
    if (takenObject.isNone())
        return;
    oldTakenObject = takenObject;
    if (MElement* element = elementOf(takenObject))
        element->markChangedByScript();
    takenObject = Value();
    setTakeMode(0);
    if (InventoryItem* item = itemOf(oldTakenObject); item && inventory)
        inventory->itemDropped(*item);
    Value argument = Value::fromNumber(flag);
    callEvent(sym::on_object_untaken(), &argument);
}

void MPointer::dropDraggedObject() {
    if (takeMode == 3 || dragState == kDragging)
        dropObject(0);
}

void MPointer::serveUnhandled(bool waiting, bool clickHandled) {
    if (!waiting && dropRequest && !clickHandled)
        dropObject(0);
    if (clicked[kPrimaryButton] && !clickHandled)
        callEvent(waiting ? sym::on_waiting_click() : sym::on_dummy_click(), nullptr);
}

Symbol* MPointer::chooseLook(const LookContext& c) const {
    auto exists = [&c](const Value& look) {
        return look.isString() && c.lookExists && c.lookExists(look.symbol(), c.user);
    };
    if (c.paused)
        return intern("click");
    if (c.splash)
        return intern(c.splashClickable ? "click" : "wait");
    if (c.hidden)
        return intern("");
    if (c.waiting)
        return exists(waitPointerLook) ? waitPointerLook.symbol() : intern("wait");
    if (exists(pointerLook))
        return pointerLook.symbol();
    auto lookOf = [](const HoverTarget& target, const char* builtIn) {
        return target.pointerName ? target.pointerName : intern(builtIn);
    };
    // A panel item picks up, or opens its close-up.
    if (hoverItem)
        return lookOf({hoverItem->clickTask, hoverItem->clickTask ? hoverItem->clickTask->pointerName : nullptr},
                      hoverItem->itemScene ? "look" : "pick");
    if (hoverLook)
        return lookOf(hoverLook, "look");
    if (!takenObject.isNone() && hoverUse)
        return lookOf(hoverUse, "use");
    if (hoverClick)
        return lookOf(hoverClick, "click");
    return intern("click");
}

std::string MPointer::tooltipText(bool mergeKeyAndText) const {
    if (InventoryItem* item = itemOf(takenObject); item && inventory)
        return inventory->itemTooltip(*item);
    if (hoverItem && inventory)
        return inventory->itemTooltip(*hoverItem);
    for (const HoverTarget* target : {&hoverUse, &hoverClick, &hoverLook}) {
        const MElement* element = target->task ? taskElement(*target->task) : nullptr;
        if (!element)
            continue;
        const char* key = stringMember(*element, sym::tooltip_key());
        const char* localized = key ? localizedText(intern(key)) : nullptr;
        const char* plain = stringMember(*element, sym::tooltip_text());
        std::string text = localized ? localized : "";
        if (plain)
            text = mergeKeyAndText ? text + plain : std::string(plain);
        if (!text.empty())
            return text;
    }
    return {};
}

float MPointer::advanceTooltip(const std::string& text) {
    if (!text.empty() && text != tooltipShown_) {
        tooltipShown_ = text;
        tooltipTicks_ = tooltipFade_ = 0;
    } else if (!text.empty()) {
        tooltipFade_ = 0; // shown again before it faded out
    } else if (text.empty() && !tooltipShown_.empty() && tooltipFade_ == 0) {
        tooltipFade_ = kTooltipFadeTicks;
    }
    if (tooltipShown_.empty())
        return tooltipOpacity_ = 0;
    ++tooltipTicks_;
    float opacity = std::fmin(static_cast<float>(tooltipTicks_) * 0.04f, 1.0f);
    if (tooltipFade_ > 0) {
        opacity *= static_cast<float>(tooltipFade_) * 0.04f;
        if (--tooltipFade_ == 0)
            tooltipShown_.clear();
    }
    return tooltipOpacity_ = opacity;
}

} // namespace glint
