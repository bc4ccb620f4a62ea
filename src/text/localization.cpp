#include "text/localization.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "engine/resources/resource.h"
#include "engine/system/log.h"
#include "resource/configuration.h"
#include "script/array_object.h"
#include "script/heap.h"
#include "script/value.h"
#include "text/localization_scan.h"

namespace glint {

namespace {

bool keyOrder(const LocalizationEntry& a, const LocalizationEntry& b) { return a.key < b.key; }

bool hasUpperCase(const char* text) {
    for (; *text; ++text)
        if (*text >= 'A' && *text <= 'Z') return true;
    return false;
}

// Collects the entries of one file in file order; a set of the keys seen
// finds duplicates without keeping the list sorted while it grows.
struct Loader {
    std::vector<LocalizationEntry>& entries;
    bool checkKeys;
    ArrayObject* keys;
    std::unordered_set<const Symbol*> seen;

    static void add(const LocalizationLine& line, void* user) { static_cast<Loader*>(user)->addLine(line); }

    void addLine(const LocalizationLine& line) {
        Symbol* key = intern(line.key, line.keyLength);
        if (checkKeys && std::strncmp(line.key, "ART:", 4) != 0 && hasUpperCase(line.key))
            debugTrace("[Localization] Upper-case letter in localization key on line %d: %s", line.lineNumber,
                       line.key);
        if (!seen.insert(key).second) {
            debugTrace("[Localization] Duplicate localization key on line %d: %s", line.lineNumber, line.key);
            return;
        }
        entries.push_back({key, line.value});
        if (keys) keys->append(scriptHeap().newCell(Value::fromSymbol(key)));
    }
};

// The global "Localization_keys[]", emptied; null without a script system
// or when a script has put something else into the variable.
ArrayObject* emptiedKeyArray() {
    Scope* global = globalScope();
    if (!global) return nullptr;
    Value* cell = findVariable(*global, KindPlain, sym::Localization_keys_array(), nullptr, true);
    if (!cell || !cell->is(ValueType::Array)) return nullptr;
    ArrayObject* keys = cell->as<ArrayObject>();
    keys->clear();
    return keys;
}

} // namespace

void MLocalization::assign(MTextFile text, bool checkKeys, ArrayObject* keys) {
    clear();
    text_ = std::move(text);
    Loader loader{entries_, checkKeys, keys, {}};
    scanLocalization(text_.data(), &Loader::add, &loader);
    std::sort(entries_.begin(), entries_.end(), keyOrder);
}

void MLocalization::clear() {
    entries_.clear();
    text_.clear();
}

size_t MLocalization::position(const Symbol* key) const {
    LocalizationEntry probe{const_cast<Symbol*>(key), nullptr};
    return static_cast<size_t>(std::lower_bound(entries_.begin(), entries_.end(), probe, keyOrder) - entries_.begin());
}

const char* MLocalization::find(const Symbol* key) const {
    size_t at = position(key);
    return key && at < entries_.size() && entries_[at].key == key ? entries_[at].text : nullptr;
}

void MLocalization::set(Symbol* key, Symbol* text) {
    if (!key || !text) return;
    size_t at = position(key);
    if (at < entries_.size() && entries_[at].key == key)
        entries_[at].text = text->text;
    else
        entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(at), {key, text->text});
}

std::string localizationPath(const char* languageSuffix) {
    return std::string("data/_localization") + (languageSuffix ? languageSuffix : "") + ".txt";
}

MLocalization& localization() {
    static MLocalization table;
    return table;
}

void loadLocalization(const MConfiguration& config, const char* languageSuffix) {
    bool checkKeys = config.getInt(sym::BuildLocalizationVersion(), 0) > 0;
    MLocalization& table = localization();
    table.clear();
    ArrayObject* keys = emptiedKeyArray();
    MTextFile text;
    if (!text.loadText(resolveDataPath(localizationPath(languageSuffix).c_str()))) return;
    table.assign(std::move(text), checkKeys, keys);
}

const char* localizedText(const Symbol* key) { return localization().find(key); }

void setLocalizedText(Symbol* key, Symbol* text) { localization().set(key, text); }

} // namespace glint
