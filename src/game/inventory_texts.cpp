// The texts of items: the tooltip (the item's own texts, else its
// localized name) and the counter drawn at it in its panel.
#include "game/inventory.h"

#include <cstdio>
#include <string_view>

#include "app/application.h"
#include "script/symbol.h"
#include "text/localization.h"

namespace glint {

namespace {

const char* stringVariable(const InventoryItem& item, Symbol* key) {
    const Value* value = item.variable(key);
    return value && value->isString() ? value->symbol()->text : nullptr;
}

const char* localized(const std::string& key) { return localizedText(intern(key)); }

} // namespace

std::string MInventory::itemTooltip(const InventoryItem& item) const {
    std::string text;
    if (const char* key = stringVariable(item, sym::tooltip_key()))
        if (const char* found = localizedText(intern(key)))
            text = found;
    if (const char* plain = stringVariable(item, sym::tooltip_text()))
        text = app_.settings.mergeTextKeyAndText ? text + plain : std::string(plain);
    if (!text.empty())
        return text;
    // Names look like "item_coin": the key is the prefix and "coin", for a
    // picture set "coin/<set>".
    const std::string prefix = app_.settings.inventoryLocalizationPrefix;
    const std::string_view name = item.name->view();
    const std::string base = prefix + std::string(name.size() > 5 ? name.substr(5) : std::string_view());
    const ItemImageSet& set = imageSetFor(item);
    const InventoryItem& source = item.replacement ? *item.replacement : item;
    if (&set != source.defaultImageSet.get())
        if (const char* found = localized(base + "/" + set.name->text))
            return found;
    const char* found = localized(base);
    return found ? found : "";
}

std::string MInventory::counterText(const InventoryItem& item) {
    if (const char* own = stringVariable(item, sym::count_text()))
        return own;
    const int32_t pieces = item.totalCount - item.usedCount, shown = item.count - item.pendingPicks;
    if (pieces < 2)
        return {};
    const Value* crosses = item.variable(sym::item_count_x());
    char text[32];
    if (crosses && crosses->isNumber() && crosses->number > 0.5)
        std::snprintf(text, sizeof text, "x%d", shown);
    else
        std::snprintf(text, sizeof text, "%d/%d", shown, pieces);
    return text;
}

} // namespace glint
