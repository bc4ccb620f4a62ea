// Setting the inventory up: panels, the items of the "inventory" scene with
// their picture sets, the HUD pictures, the script variables and where the
// panels sit in the "hud" scene.
#include "game/inventory.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <string_view>

#include "app/application.h"
#include "resource/configuration.h"
#include "resource/resource_manager.h"
#include "scene/element.h"
#include "scene/scene.h"
#include "scene/scene_loader.h"
#include "scene/scene_registry.h"
#include "script/interpreter.h"
#include "script/symbol.h"

namespace glint {

namespace {

const char* const kKindSuffixes[kItemPictureKinds] = {"", "_g", "_r"};

// "inventory_items" for a single panel; "inventory_items_01" and so on
// with several. The arrows are "inventory_left" or "inventory_left01".
Symbol* panelName(const char* base, const char* format, int32_t number, size_t panelCount) {
    if (panelCount == 1)
        return intern(base);
    char name[64];
    std::snprintf(name, sizeof name, format, base, number + 1);
    return intern(name);
}

// The picture codes listed for an element: one number, or numbers
// separated by commas.
std::vector<int> pictureCodes(const Value& value) {
    std::vector<int> codes;
    if (value.isNumber()) {
        codes.push_back(static_cast<int>(roundToInteger(value.number)));
        return codes;
    }
    if (!value.isString())
        return codes;
    std::string_view text = value.symbol()->view();
    while (!text.empty()) {
        size_t comma = text.find(',');
        std::string_view item = text.substr(0, comma);
        while (!item.empty() && (item.front() == ' ' || item.front() == '\t'))
            item.remove_prefix(1);
        if (!item.empty() && std::isdigit(static_cast<unsigned char>(item.front())))
            codes.push_back(static_cast<int>(roundToInteger(textToNumber(std::string(item).c_str()))));
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    }
    return codes;
}

// The picture's path without its extension.
std::string pathStem(const char* path) {
    std::string_view text(path);
    size_t dot = text.rfind('.'), slash = text.rfind('/');
    if (dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash))
        text = text.substr(0, dot);
    return std::string(text);
}

} // namespace

void InventoryLayout::read(const MConfiguration& config, const char* platformTag) {
    itemSize = config.getFloat(sym::inventory_item_size(), 80);
    slotWidth = config.getFloat(sym::inventory_slot_width(), 80);
    highlightSpeed = config.getFloat(sym::inventory_upscale_speed(), 3) * 0.01f;
    particleThreshold = config.getFloat(sym::inventory_upscale_ps_factor(), 0.5f);
    std::string_view tag(platformTag ? platformTag : "");
    Symbol* key = tag == "iphone" ? sym::inventory_visible_items_iphone()
                  : tag == "ipad" ? sym::inventory_visible_items_ipad()
                                  : sym::inventory_visible_items();
    visibleItems = config.getInt(key, 8);
}

MInventory::MInventory(const MApplication& app, MSceneRegistry& scenes, MResourceManager& resources,
                       MNavigation& navigation, MPointer& pointer, const MFontList& fonts)
    : app_(app), scenes_(scenes), resources_(resources), navigation_(navigation), pointer_(pointer), fonts_(fonts) {
    layout.read(app.gameConfig, app.build.platformTag);
    wobbleCurve_ = PulseCurve::fromKeys(app.gameConfig, "inventory_wobble_scale_factor_", "inventory_wobble_scale_time_");
}

MInventory::~MInventory() {
    for (MTexture* picture : heldPictures_)
        resources_.release(picture);
}

void MInventory::build(const SceneLoadContext& context) {
    const int32_t count = std::clamp(app_.gameConfig.getInt(sym::inventory_count(), 1), 1, kMaxInventoryPanels);
    panels.resize(static_cast<size_t>(count));
    for (int32_t k = 0; k < count; ++k)
        panels[static_cast<size_t>(k)].number = k;
    if (MScene* gui = scenes_.guiImages) {
        hudItemActive = gui->findElement(sym::hud_item_active());
        hudItemInactive = gui->findElement(sym::hud_item_inactive());
        hudTooltipBack = gui->findElement(sym::hud_tooltip_back());
    }
    MScene* scene = scenes_.inventory;
    if (!scene)
        return;
    // Its elements follow the items; the scene is never drawn as a layer.
    scene->prepare(context);
    for (MElement* element : scene->elements) {
        if (!element->parent) {
            buildItem(*element);
        } else if (InventoryItem* item = findItem(element->parent->name)) {
            // A child named after its item, a separator and a suffix is the
            // set named by the suffix.
            std::string_view childName = element->name->view();
            size_t skip = item->name->view().size() + 1;
            addImageSet(*item, *element, intern(childName.size() > skip ? childName.substr(skip) : std::string_view()));
        }
    }
}

void MInventory::buildItem(MElement& element) {
    auto made = std::make_unique<InventoryItem>(element.name);
    InventoryItem& item = *made;
    item.inventory = this;
    item.element = &element;
    element.setShown(false);
    item.panel = &panels.front();
    item.itemScene = scenes_.find(element.name);
    if (MScene* particles = scenes_.particles) {
        item.hoverPs = particles->findElement(sym::ps_inventory_hover());
        item.hoverFrontPs = particles->findElement(sym::ps_inventory_hover_front());
    }
    addImageSet(item, element, element.name);
    item.cell = Value::fromPointer(ValueType::Item, static_cast<ScriptItem*>(&item));
    if (Scope* global = globalScope())
        declareVariable(*global, KindItem, element.name, &item.cell);
    items.push_back(std::move(made));
    updateItem(item);
}

void MInventory::addImageSet(InventoryItem& item, MElement& element, Symbol* setName) {
    auto set = std::make_unique<ItemImageSet>();
    set->item = &item;
    set->element = &element;
    set->name = setName;
    set->textures[0] = element.visual ? element.visual->image.texture : nullptr;
    registerExtraPictures(*set);
    if (!item.defaultImageSet)
        item.defaultImageSet = std::move(set);
    else
        item.imageSets.push_back(std::move(set));
}

// The pictures the "inventory" scene's extra configuration lists for the
// element, named after its own picture: "coin_g.png" for code 1,
// "coin_03_r.png" for code 32. They are held for the whole run.
void MInventory::registerExtraPictures(ItemImageSet& set) {
    const MConfiguration* config = scenes_.inventory ? scenes_.inventory->extraConfig : nullptr;
    const Value* listed = config ? config->find(set.element->name) : nullptr;
    if (!listed || !set.textures[0])
        return;
    const std::string stem = pathStem(set.textures[0]->path);
    const char* extension = app_.settings.texturesExt;
    for (int code : pictureCodes(*listed)) {
        const int kind = code % 10, variant = code / 10;
        if (code < 0 || kind >= kItemPictureKinds || variant >= kItemCountVariants)
            continue; // no file name belongs to it
        char path[1024];
        if (variant == 0)
            std::snprintf(path, sizeof path, "%s%s.%s", stem.c_str(), kKindSuffixes[kind], extension);
        else
            std::snprintf(path, sizeof path, "%s_%.2d%s.%s", stem.c_str(), variant, kKindSuffixes[kind], extension);
        MTexture*& slot = set.textures[ItemImageSet::slotOfCode(code)];
        MTexture* texture = resources_.texture(path, false, false);
        if (texture && texture != slot) {
            resources_.acquire(texture, false);
            heldPictures_.push_back(texture);
            slot = texture;
        }
    }
}

void MInventory::bind(Scope& global, const SceneLoadContext& context) {
    declareVariable(global, KindPlain, sym::force_inventory(), &forceInventory);
    declareVariable(global, KindPlain, sym::force_inventory_timeout(), &forceInventoryTimeout);
    declareVariable(global, KindPlain, sym::force_inventory_position_by_item(), &forcePositionByItem);
    declareVariable(global, KindPlain, sym::forced_item(), &forcedItem);
    declareVariable(global, KindPlain, sym::forced_task(), &forcedTask);

    // The anchors' positions are where the scripts' slides start from, so
    // the "hud" scene is readied first. Without an anchor a panel sits at
    // the bottom centre.
    MScene* hud = scenes_.hud;
    if (hud) {
        hud->prepare(context);
        hud->update(false);
    }
    for (InventoryPanel& panel : panels) {
        MElement* anchor =
            hud ? hud->findElement(panelName("inventory_items", "%s_0%d", panel.number, panels.size())) : nullptr;
        panel.anchor = anchor && !anchor->parent ? anchor : nullptr;
        panel.anchorX = panel.anchor ? panel.anchor->absX : app_.settings.screenW / 2;
        panel.anchorY = panel.anchor ? panel.anchor->absY : app_.settings.screenH - layout.itemSize / 2;
    }
}

void MInventory::attachArrows() {
    MScene* hud = scenes_.hud;
    if (!hud)
        return;
    auto task = [hud](Symbol* name) -> ScriptTask* {
        Value* cell = findVariable(hud->scope, KindTask, name, nullptr, false);
        return cell && cell->is(ValueType::Task) ? cell->as<ScriptTask>() : nullptr;
    };
    for (InventoryPanel& panel : panels) {
        panel.leftTask = task(panelName("inventory_left", "%s0%d", panel.number, panels.size()));
        panel.rightTask = task(panelName("inventory_right", "%s0%d", panel.number, panels.size()));
    }
}

void MInventory::startHoverParticles() {
    if (!scenes_.particles || !hooks.startHoverParticles)
        return;
    for (const std::unique_ptr<InventoryItem>& item : items)
        hooks.startHoverParticles(*item);
}

InventoryItem* MInventory::findItem(Symbol* name) const {
    for (const std::unique_ptr<InventoryItem>& item : items)
        if (item->name == name)
            return item.get();
    return nullptr;
}

} // namespace glint
