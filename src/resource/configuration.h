// A key=value file as a resource: one entry per key, keyed by interned
// symbol and kept sorted by symbol identity, so that a lookup is a binary
// search without string comparisons. The game configuration and the atlas
// configuration are two of these; scenes register more.
#pragma once

#include "resource/resource.h"
#include "resource/text_file.h"
#include "script/value.h"

#include <memory>
#include <vector>

namespace glint {

struct MConfigEntry {
    Symbol* key = nullptr;
    Value value; // a number or a string symbol
    // The value as written, while the configuration is loaded (a number
    // followed by letters reads as the number alone).
    const char* text = "";
};

// The override file the game configuration applies on top of "data/game.cfg".
constexpr const char* kGameConfigOverridePath = "data_override/game.cfg";

class MConfiguration : public MResource {
public:
    explicit MConfiguration(const char* path);
    ~MConfiguration() override;

    // Reads the file at path; a missing file leaves the configuration empty.
    // Within the file the first line of a key wins.
    void load() override;
    void unload() override;
    // Applies "data_override/game.cfg": its last line of a key wins over
    // everything before it. A missing file changes nothing.
    void loadOverride();

    // What load and loadOverride do with a text they have loaded.
    void addMainText(MTextFile text);
    void addOverrideText(MTextFile text);

    // Lookups: a null or missing key, or a value of the other kind, gives
    // the fallback.
    const Value* find(const Symbol* key) const;
    // Rounded half away from zero, limited to the range of int.
    int getInt(const Symbol* key, int fallback) const;
    float getFloat(const Symbol* key, float fallback) const;
    Symbol* getString(const Symbol* key, Symbol* fallback) const;
    // The text before the first comma of a string value (at most 1023
    // bytes), interned; the whole string when it has no comma.
    Symbol* getFirstItem(const Symbol* key, Symbol* fallback) const;

    // Replaces the value of a key the configuration holds (scripts write
    // keys this way); false, with nothing changed, for other keys.
    bool replace(const Symbol* key, const Value& value);

    int entryCount() const { return static_cast<int>(entries_.size()); }
    // Every entry once, in the order its key first appeared in the files
    // (scenes act on their entries in the order the author wrote them).
    const std::vector<MConfigEntry*>& entriesInFileOrder() const { return fileOrder_; }

private:
    void addLines(char* text, bool laterLinesWin);
    void addLine(char* line, bool laterLinesWin);
    MConfigEntry* findEntry(const Symbol* key) const;
    MConfigEntry* insertEntry(Symbol* key);

    MTextFile text_;
    MTextFile overrideText_;
    std::vector<MConfigEntry*> entries_;
    std::vector<MConfigEntry*> fileOrder_;
    std::vector<std::unique_ptr<MConfigEntry[]>> entryPool_;
    int poolUsed_ = 0;
};

} // namespace glint
