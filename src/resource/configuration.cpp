#include "resource/configuration.h"

#include "engine/system/log.h"
#include "resource/cfg_line.h"
#include "resource/line_reader.h"
#include "script/symbol.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <functional>

namespace glint {

namespace {

constexpr int kEntryBlockSize = 100;
constexpr size_t kFirstItemSize = 1024;

bool keyBefore(const MConfigEntry* entry, const Symbol* key) { return std::less<const Symbol*>()(entry->key, key); }

void setValue(MConfigEntry& entry, char* text) {
    entry.text = text;
    CfgValue parsed = parseCfgValue(text);
    if (parsed.isNumber)
        entry.value = Value::fromNumber(parsed.number);
    else
        entry.value = Value::fromSymbol(intern(parsed.text));
}

int roundToInt(double value) {
    double rounded = value > 0 ? std::trunc(value + 0.5) : std::trunc(value - 0.5);
    if (!(rounded > INT_MIN))
        return std::isnan(rounded) ? 0 : INT_MIN;
    return rounded < INT_MAX ? static_cast<int>(rounded) : INT_MAX;
}

} // namespace

MConfiguration::MConfiguration(const char* path) : MResource(ResourceKind::Configuration, path) {}

MConfiguration::~MConfiguration() = default;

void MConfiguration::load() {
    unload();
    if (resourceTraceEnabled())
        debugTrace("LOAD %s", path);
    MTextFile file;
    if (file.loadText(path))
        addMainText(std::move(file));
}

void MConfiguration::loadOverride() {
    MTextFile file;
    if (file.loadText(kGameConfigOverridePath))
        addOverrideText(std::move(file));
}

void MConfiguration::unload() {
    if (resourceTraceEnabled())
        debugTrace("UNLOAD %s", path);
    entries_.clear();
    fileOrder_.clear();
    entryPool_.clear();
    poolUsed_ = 0;
    text_.clear();
    overrideText_.clear();
}

void MConfiguration::addMainText(MTextFile text) {
    text_ = std::move(text);
    addLines(text_.data(), false);
}

void MConfiguration::addOverrideText(MTextFile text) {
    overrideText_ = std::move(text);
    addLines(overrideText_.data(), true);
}

void MConfiguration::addLines(char* text, bool laterLinesWin) {
    MLineReader reader(text);
    while (reader.next()) {
        if (!isCfgCommentLine(reader.line))
            addLine(reader.line, laterLinesWin);
    }
}

// The line reader restores only its own cut, so the terminator written over
// "=" stays and the key and value remain separate texts afterwards.
void MConfiguration::addLine(char* line, bool laterLinesWin) {
    char* value = splitCfgLine(line);
    char* key = line;
    if (!value) {
        value = line;
        key = line + std::strlen(line); // the empty key
    }
    Symbol* symbol = intern(key);
    MConfigEntry* entry = findEntry(symbol);
    if (entry && !laterLinesWin)
        return;
    if (!entry)
        entry = insertEntry(symbol);
    setValue(*entry, value);
}

MConfigEntry* MConfiguration::findEntry(const Symbol* key) const {
    if (!key)
        return nullptr;
    auto at = std::lower_bound(entries_.begin(), entries_.end(), key, keyBefore);
    return at != entries_.end() && (*at)->key == key ? *at : nullptr;
}

MConfigEntry* MConfiguration::insertEntry(Symbol* key) {
    if (entryPool_.empty() || poolUsed_ == kEntryBlockSize) {
        entryPool_.push_back(std::make_unique<MConfigEntry[]>(kEntryBlockSize));
        poolUsed_ = 0;
    }
    MConfigEntry* entry = &entryPool_.back()[poolUsed_++];
    entry->key = key;
    entries_.insert(std::lower_bound(entries_.begin(), entries_.end(), key, keyBefore), entry);
    fileOrder_.push_back(entry);
    return entry;
}

const Value* MConfiguration::find(const Symbol* key) const {
    MConfigEntry* entry = findEntry(key);
    return entry ? &entry->value : nullptr;
}

bool MConfiguration::replace(const Symbol* key, const Value& value) {
    MConfigEntry* entry = findEntry(key);
    if (!entry)
        return false;
    entry->value = value;
    return true;
}

int MConfiguration::getInt(const Symbol* key, int fallback) const {
    const Value* value = find(key);
    return value && value->isNumber() ? roundToInt(value->number) : fallback;
}

float MConfiguration::getFloat(const Symbol* key, float fallback) const {
    const Value* value = find(key);
    return value && value->isNumber() ? static_cast<float>(value->number) : fallback;
}

Symbol* MConfiguration::getString(const Symbol* key, Symbol* fallback) const {
    const Value* value = find(key);
    return value && value->isString() && value->symbol() ? value->symbol() : fallback;
}

Symbol* MConfiguration::getFirstItem(const Symbol* key, Symbol* fallback) const {
    Symbol* whole = getString(key, nullptr);
    if (!whole)
        return fallback;
    const char* comma = std::strchr(whole->text, ',');
    if (!comma)
        return intern(whole->text);
    char item[kFirstItemSize];
    size_t length = std::min(static_cast<size_t>(comma - whole->text), kFirstItemSize - 1);
    std::memcpy(item, whole->text, length);
    item[length] = 0;
    return intern(item);
}

} // namespace glint
