// Interned names: every distinct text becomes one Symbol, compared by
// identity afterwards and never freed or moved.
#pragma once

#include <cstdint>
#include <string_view>

namespace glint {

struct Symbol {
    Symbol* next;        // next Symbol of the same hash bucket
    int32_t length;      // text length in bytes
    const char* text;    // zero-terminated
    // For a name of the array-element form x_N (N > 0): the Symbol "x[]"
    // and N; otherwise null and 0.
    Symbol* arrayBase;
    int32_t arrayIndex;

    std::string_view view() const { return {text, static_cast<size_t>(length)}; }
};

constexpr int kSymbolBuckets = 12289;
constexpr int kMaxSymbolLength = 65535;

// Returns the Symbol of text, creating it when absent; null text gives null.
// Texts longer than kMaxSymbolLength are cut.
Symbol* intern(const char* text, int length);
Symbol* intern(std::string_view text);
Symbol* intern(const char* text);

// A Symbol record of its own for text, kept out of the table: two calls
// with the same text give two Symbols. For string values that nothing
// looks up by name (long texts read from data files). Cut like intern.
Symbol* unlistedSymbol(std::string_view text);

// The existing Symbol or null; bucket (when given) receives the bucket index
// in either case.
Symbol* findSymbol(const char* text, int length, int* bucket = nullptr);
Symbol* findSymbol(std::string_view text, int* bucket = nullptr);

// Fills a statically allocated record and inserts it without looking for an
// existing entry. Only for the well-known symbols.
void registerStatic(Symbol* record, const char* text);

// Paul Hsieh's SuperFastHash of the bytes, seeded with the length; 0 for an
// empty or null text. Other path and name indexes bucket with it too.
uint32_t superFastHash(const char* text, int length);
// The bucket index of a text in the symbol table.
uint32_t symbolHash(const char* text, int length);

// Number of Symbols in the table.
int symbolCount();

// Makes sure the well-known symbols are registered; intern and findSymbol
// call it, so explicit calls are only needed before using sym:: records'
// bucket links.
void initSymbols();

namespace sym {
enum WellKnownIndex : int {
#define GLINT_SYMBOL(name) WK_##name,
#define GLINT_SYMBOL_NAMED(name, text) WK_##name,
#include "script/wellknown.def"
#undef GLINT_SYMBOL
#undef GLINT_SYMBOL_NAMED
    kWellKnownCount
};

// The static records, in list order.
extern Symbol wellKnown[kWellKnownCount];

#define GLINT_SYMBOL(name) \
    inline Symbol* name() { return &wellKnown[WK_##name]; }
#define GLINT_SYMBOL_NAMED(name, text) GLINT_SYMBOL(name)
#include "script/wellknown.def"
#undef GLINT_SYMBOL
#undef GLINT_SYMBOL_NAMED
} // namespace sym

} // namespace glint
