// The table of player-visible texts of the current language: interned key
// symbols mapped to UTF-8 texts, sorted by symbol identity so that a lookup
// is a binary search over addresses. The file text stays in memory and the
// entries point into it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "resource/text_file.h"
#include "script/symbol.h"

namespace glint {

struct ArrayObject;
class MConfiguration;

struct LocalizationEntry {
    Symbol* key = nullptr;
    const char* text = nullptr; // in the file text, or a Symbol's text
};

class MLocalization {
public:
    // Replaces the table with the entries of text (already decoded to
    // UTF-8). With checkKeys, keys holding A-Z are reported unless they
    // begin with "ART:". Each new key is appended to keys (when given) as a
    // string value, in file order; the first line of a key wins.
    void assign(MTextFile text, bool checkKeys, ArrayObject* keys);
    void clear();

    const char* find(const Symbol* key) const;
    // Symbols are never freed, so the table may keep pointing at text.
    void set(Symbol* key, Symbol* text);
    int count() const { return static_cast<int>(entries_.size()); }

private:
    // Where key stands or would be inserted.
    size_t position(const Symbol* key) const;

    MTextFile text_;
    std::vector<LocalizationEntry> entries_;
};

// "data/_localization" + the language suffix ("" or "_" and the language
// code) + ".txt".
std::string localizationPath(const char* languageSuffix);

// The table of the running game.
MLocalization& localization();

// Reloads the table from the file of the language and refills the global
// script array "Localization_keys[]" (when a script system runs). The game
// configuration's BuildLocalizationVersion above 0 turns the key check on.
// A missing file leaves the table empty.
void loadLocalization(const MConfiguration& config, const char* languageSuffix);

// The text of a key, or null when the table has none.
const char* localizedText(const Symbol* key);
// Replaces the text of a key or adds the key; text must not be null.
void setLocalizedText(Symbol* key, Symbol* text);

} // namespace glint
