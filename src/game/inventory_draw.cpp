// Drawing the inventory: every panel with its items (reflection, under
// picture, picture, the close-up indication), the hover particles, the
// tooltips of items just picked up and the counters; and the item in the
// hand at the pointer.
#include "game/inventory.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/application.h"
#include "engine/system/numbers.h"
#include "engine/text/text.h"
#include "resource/configuration.h"
#include "resource/texture.h"
#include "scene/element.h"
#include "scene/element_geometry.h"
#include "scene/scene_draw.h"
#include "script/symbol.h"
#include "text/font_list.h"

namespace glint {

namespace {

constexpr float kTooltipFadeStep = 0.04f;

MElement* elementVariable(const InventoryItem& item, Symbol* key) {
    const Value* value = item.variable(key);
    return value && value->is(ValueType::Element) && value->pointer
               ? dynamic_cast<MElement*>(value->as<ScriptElement>())
               : nullptr;
}

// A picture of an element at its own size times scale, centred on (x, y).
void drawCentred(const MElement& element, float x, float y, float scale, float alpha) {
    if (!element.visual || !element.visual->image.texture)
        return;
    const MImageAnim& image = element.visual->image;
    Corners corners = rectangleCorners(x, y, element.visual->width * scale, element.visual->height * scale, 0, 0.5f,
                                       0.5f);
    drawElementImage(element, image, image.frameRect(static_cast<float>(roundToInteger(element.time))), corners,
                     packColor(1, 1, 1, alpha));
}

// The settings of a panel drawing, read at each draw.
struct PanelLook {
    float upscale, plusUpscale;
    float reflectionX, reflectionY;
    float itemPivotX, itemPivotY, reflectionPivotX, reflectionPivotY;
    float wobbleTime, wobbleStep;
    float counterX, counterY;
    KText* counterFont;

    PanelLook(const MConfiguration& c, const MFontList& fonts) {
        auto number = [&c](const char* key, float fallback) { return c.getFloat(intern(key), fallback); };
        upscale = number("inventory_upscale_size", 0.3f);
        plusUpscale = number("inventory_plus_upscale_size", 0.3f);
        reflectionX = number("inventory_reflection_offset_x", 20);
        reflectionY = number("inventory_reflection_offset_y", 20);
        itemPivotX = number("inventory_item_pivot_x", 0.5f);
        itemPivotY = number("inventory_item_pivot_y", 0.5f);
        reflectionPivotX = number("inventory_reflection_pivot_x", 0.5f);
        reflectionPivotY = number("inventory_reflection_pivot_y", 0.5f);
        wobbleTime = std::max(number("inventory_wobble_time", 0.2f), 0.01f);
        wobbleStep = std::max(number("inventory_wobble_step", 0.07f), 0.0f);
        counterX = number("inventory_counter_x", 0);
        counterY = number("inventory_counter_y", 0);
        counterFont = fonts.drawingFont(c.getInt(sym::inventory_font(), 0));
    }
};

int countVariantOf(const InventoryItem& item) { return std::clamp(item.count - item.pendingPicks, 0, 9); }

} // namespace

TooltipStyle MInventory::tooltipStyle() const {
    TooltipStyle style;
    style.font = fonts_.drawingFont(app_.gameConfig.getInt(sym::hud_tooltip_font(), 0));
    style.back = hudTooltipBack;
    style.fontScale = app_.settings.globalFontScaling;
    style.screenW = app_.settings.screenW;
    style.screenH = app_.settings.screenH;
    return style;
}

const ItemImageSet& MInventory::imageSetFor(const InventoryItem& item) const {
    const InventoryItem& source = item.replacement ? *item.replacement : item;
    const Value* version = item.variable(&item == takenItem() ? sym::taken_item_version() : sym::item_version());
    if (version && version->isString())
        for (const std::unique_ptr<ItemImageSet>& set : source.imageSets)
            if (set->name == version->symbol())
                return *set;
    return *source.defaultImageSet;
}

void MInventory::drawItemPicture(const InventoryItem& item, int countVariant, int kind, float x, float y,
                                 float pivotX, float pivotY, float scale, float alpha) const {
    const ItemImageSet& set = imageSetFor(item);
    MTexture* picture = set.picture(countVariant, kind);
    if (!picture || !set.element || !set.element->visual)
        return;
    MImageAnim image = set.element->visual->image;
    image.texture = picture;
    const float time = item.element ? static_cast<float>(roundToInteger(item.element->time)) : 0;
    const auto width = static_cast<float>(item.width), height = static_cast<float>(item.height);
    Corners corners = rectangleCorners((pivotX - 0.5f) * width + x, (pivotY - 0.5f) * height + y, width * scale,
                                       height * scale, 0, pivotX, pivotY);
    drawElementImage(*set.element, image, image.frameRect(time), corners, packColor(1, 1, 1, alpha));
}

void MInventory::drawPanels(float scale) {
    for (InventoryPanel& panel : panels)
        drawPanel(panel, scale);
}

void MInventory::drawPanel(InventoryPanel& panel, float scale) {
    const PanelLook look(app_.gameConfig, fonts_);
    if (hooks.drawHoverParticles)
        for (InventoryItem* item : panel.items)
            hooks.drawHoverParticles(*item, false, item->edgeOpacity * item->glow * scale);
    const auto lastSlot = static_cast<float>(std::max(layout.visibleItems - 1, 0));
    for (InventoryItem* item : panel.items) {
        float fade = 1, curve = 1;
        if (panel.wobbling) {
            // The wobble runs along the panel from the first visible slot.
            const float a = static_cast<float>(panel.wobbleTicks) -
                            std::clamp(static_cast<float>(item->slot - panel.wobbleFirst), 0.0f, lastSlot) *
                                look.wobbleStep * 100;
            fade = std::clamp(a / (look.wobbleTime * 100), 0.0f, 1.0f);
            curve = wobbleCurve_.value(std::max(a, 0.0f));
        }
        const float alpha = scale * item->edgeOpacity * item->glow;
        if (alpha <= 0)
            continue; // scrolled out of view, or not here yet
        const float pictureScale = curve * (item->highlight * look.upscale + 1);
        const int n = countVariantOf(*item);
        const auto x = static_cast<float>(item->x), y = static_cast<float>(item->y);
        drawItemPicture(*item, n, kItemReflection, x + look.reflectionX, y + look.reflectionY, look.reflectionPivotX,
                        look.reflectionPivotY, pictureScale, alpha);
        drawItemPicture(*item, n, kItemUnderPicture, x, y, look.itemPivotX, look.itemPivotY, pictureScale, alpha);
        drawItemPicture(*item, n, kItemPicture, x, y, look.itemPivotX, look.itemPivotY, pictureScale, alpha);
        if (item->itemScene && (!item->replacement || item->replacement->itemScene))
            drawIndication(*item, item->highlight * look.plusUpscale + 1, alpha * fade);
    }
    if (hooks.drawHoverParticles)
        for (InventoryItem* item : panel.items)
            hooks.drawHoverParticles(*item, true, item->edgeOpacity * item->glow);
    for (InventoryItem* item : panel.items)
        if (item->tooltipTicks < item->tooltipDuration)
            drawPickedTooltip(*item, scale);
    if (look.counterFont)
        for (InventoryItem* item : panel.items)
            if (item->edgeOpacity * item->glow > 0)
                drawCounter(*item, *look.counterFont, look.counterX, look.counterY, scale);
}

// The close-up's mark: active while it still has something to do.
void MInventory::drawIndication(const InventoryItem& item, float scale, float alpha) {
    const InventoryItem& shown = item.replacement ? *item.replacement : item;
    const MElement* picture = nullptr;
    if (shown.usable && plusIndication())
        picture = elementVariable(item, sym::active_texture()) ? elementVariable(item, sym::active_texture())
                                                                : hudItemActive;
    else
        picture = elementVariable(item, sym::inactive_texture()) ? elementVariable(item, sym::inactive_texture())
                                                                  : hudItemInactive;
    if (picture)
        drawCentred(*picture, static_cast<float>(item.x), static_cast<float>(item.y), scale, alpha);
}

// Fades in and out over 25 ticks at either end of its time.
void MInventory::drawPickedTooltip(const InventoryItem& item, float scale) {
    const int32_t total = item.tooltipDuration, ticks = item.tooltipTicks;
    float opacity = total - 25 < ticks ? static_cast<float>(total - ticks) * kTooltipFadeStep
                    : ticks > 24       ? 1.0f
                                       : static_cast<float>(ticks) * kTooltipFadeStep;
    drawTooltip(tooltipStyle(), static_cast<float>(item.x + 30), static_cast<float>(item.y + 18), itemTooltip(item),
                ticks, opacity * scale, false);
}

void MInventory::drawCounter(const InventoryItem& item, KText& font, float offsetX, float offsetY, float scale) {
    const std::string text = counterText(item);
    if (text.empty())
        return;
    const float alpha = scale * item.edgeOpacity * item.glow;
    TextPlacement place;
    place.x = static_cast<float>(roundToInteger(static_cast<float>(item.x) + offsetX));
    place.y = static_cast<float>(roundToInteger(static_cast<float>(item.y) + offsetY));
    place.horizontal = 2; // centred on the point, hanging from it
    place.vertical = 0;
    KTextBoxSize size = font.measureTextBox(text.c_str(), 0, -1, 1, 1);
    drawElementText(font, text.c_str(), -1, size.width, size.height, -1, 1, 1, place, packColor(0, 0, 0, alpha),
                    packColor(1, 1, 1, alpha));
}

void MInventory::drawTakenItem(InventoryItem& item, float x, float y, float scale) {
    const int n = countVariantOf(item);
    drawItemPicture(item, n, kItemUnderPicture, x, y, 0.5f, 0.5f, scale, 1);
    drawItemPicture(item, n, kItemPicture, x, y, 0.5f, 0.5f, scale, 1);
}

} // namespace glint
