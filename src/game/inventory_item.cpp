// What scripts read and write on items, and the picture lookup of a set.
#include "game/inventory_item.h"

#include <algorithm>
#include <cmath>

#include "game/inventory.h"
#include "scene/element.h"
#include "scene/scene.h"
#include "script/objects.h"
#include "script/script_error.h"
#include "script/symbol.h"

namespace glint {

namespace {

MElement* elementOf(const Value& value) {
    return value.is(ValueType::Element) && value.pointer ? dynamic_cast<MElement*>(value.as<ScriptElement>())
                                                          : nullptr;
}

template <typename T> Value pointerValue(ValueType type, T* object) {
    return object ? Value::fromPointer(type, object) : Value();
}

} // namespace

int32_t itemCountOf(const Value& value, int32_t fallback) {
    constexpr double kLimit = 1e9;
    if (!value.isNumber() || std::isnan(value.number))
        return fallback;
    return static_cast<int32_t>(roundToInteger(std::clamp(value.number, -kLimit, kLimit)));
}

MTexture* ItemImageSet::picture(int countVariant, int kind) const {
    if (MTexture* exact = textures[slotOfCode(countVariant * 10 + kind)])
        return exact;
    return textures[slotOfCode(kind)];
}

bool InventoryItem::getProperty(Symbol* key, Value& out) {
    if (key == sym::name())
        out = Value::fromSymbol(name);
    else if (key == sym::count())
        out = Value::fromNumber(count);
    else if (key == sym::used_count())
        out = Value::fromNumber(usedCount);
    else if (key == sym::Total_count())
        out = Value::fromNumber(totalCount);
    else if (key == sym::item_scene())
        out = pointerValue(ValueType::Scene, static_cast<ScriptScene*>(itemScene));
    else if (key == sym::item_click_task())
        out = pointerValue(ValueType::Task, clickTask);
    else if (key == sym::holder())
        out = pointerValue(ValueType::Element, static_cast<ScriptElement*>(holder));
    else if (key == sym::hover_ps())
        out = pointerValue(ValueType::Element, static_cast<ScriptElement*>(hoverPs));
    else if (key == sym::hover_front_ps())
        out = pointerValue(ValueType::Element, static_cast<ScriptElement*>(hoverFrontPs));
    else if (key == sym::inventory_index())
        out = Value::fromNumber(panel ? panel->number + 1 : 1);
    else
        return ScriptItem::getProperty(key, out);
    return true;
}

// Counts written here move nothing into or out of a panel: scripts set the
// totals first and then pick the item.
bool InventoryItem::setProperty(Symbol* key, const Value& value) {
    if (key == sym::name() || key == sym::item_scene()) {
        scriptError("Invalid property %s", key->text);
        return false;
    }
    if (key == sym::count())
        count = itemCountOf(value, 0);
    else if (key == sym::used_count())
        usedCount = itemCountOf(value, 0);
    else if (key == sym::Total_count())
        totalCount = itemCountOf(value, 0);
    else if (key == sym::item_click_task())
        clickTask = value.is(ValueType::Task) ? value.as<ScriptTask>() : nullptr;
    else if (key == sym::holder())
        holder = elementOf(value);
    else if (key == sym::hover_ps())
        hoverPs = elementOf(value);
    else if (key == sym::hover_front_ps())
        hoverFrontPs = elementOf(value);
    else if (key == sym::inventory_index()) {
        if (inventory)
            inventory->moveToPanel(*this, itemCountOf(value, 1));
    } else
        return ScriptItem::setProperty(key, value);
    return true;
}

} // namespace glint
