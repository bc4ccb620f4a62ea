// The symbol table, the text arena and the well-known records.
#include "script/symbol.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace glint {

namespace sym {
Symbol wellKnown[kWellKnownCount] = {
#define GLINT_SYMBOL(name) {nullptr, sizeof(#name) - 1, #name, nullptr, 0},
#define GLINT_SYMBOL_NAMED(name, text) {nullptr, sizeof(text) - 1, text, nullptr, 0},
#include "script/wellknown.def"
#undef GLINT_SYMBOL
#undef GLINT_SYMBOL_NAMED
};
} // namespace sym

namespace {

constexpr int kArenaChunkSize = 65536;
constexpr int kSymbolBlockSize = 1000;
constexpr int kMaxArrayBaseLength = 253;

// Texts are stored as two zero bytes, the text, two zero bytes, so that
// readers that look one byte before or two bytes after a text stay inside
// the arena.
class StringArena {
public:
    const char* store(const char* text, int length) {
        int need = length + 4;
        Chunk* chunk = nullptr;
        for (Chunk& candidate : chunks_) {
            if (candidate.used + need < candidate.size) {
                chunk = &candidate;
                break;
            }
        }
        if (!chunk) {
            // A text that no ordinary chunk can hold gets a chunk of its own.
            int size = need < kArenaChunkSize ? kArenaChunkSize : need + 1;
            chunks_.push_back({std::make_unique<char[]>(size), 0, size});
            chunk = &chunks_.back();
        }
        char* start = chunk->bytes.get() + chunk->used;
        start[0] = start[1] = 0;
        std::memcpy(start + 2, text, length);
        start[length + 2] = start[length + 3] = 0;
        chunk->used += need;
        return start + 2;
    }

private:
    struct Chunk {
        std::unique_ptr<char[]> bytes; // zero-filled by make_unique
        int used;
        int size;
    };
    std::vector<Chunk> chunks_;
};

class SymbolPool {
public:
    Symbol* allocate() {
        if (blocks_.empty() || used_ == kSymbolBlockSize) {
            blocks_.push_back(std::make_unique<Symbol[]>(kSymbolBlockSize));
            used_ = 0;
        }
        return &blocks_.back()[used_++];
    }

private:
    std::vector<std::unique_ptr<Symbol[]>> blocks_;
    int used_ = 0;
};

struct SymbolTable {
    Symbol* buckets[kSymbolBuckets] = {};
    int count = 0;
    StringArena arena;
    SymbolPool pool;
    bool initialised = false;
};

SymbolTable& table() {
    static SymbolTable* instance = new SymbolTable; // lives for the process
    return *instance;
}

void insert(Symbol* symbol, uint32_t bucket) {
    SymbolTable& t = table();
    symbol->next = t.buckets[bucket];
    t.buckets[bucket] = symbol;
    ++t.count;
}

uint32_t read16(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8);
}

// The tails of 1 and 3 bytes read their last byte as a signed char: names
// with bytes above 127 hash the same way on every platform.
uint32_t signedByte(unsigned char c) {
    return static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c)));
}

// Fills arrayBase and arrayIndex for names of the form x_N with N > 0.
void decompose(Symbol* symbol) {
    symbol->arrayBase = nullptr;
    symbol->arrayIndex = 0;
    const char* text = symbol->text;
    int underscore = symbol->length - 1;
    while (underscore >= 0 && text[underscore] != '_') --underscore;
    if (underscore < 0 || underscore == symbol->length - 1) return;
    int64_t number = 0;
    for (int i = underscore + 1; i < symbol->length; ++i) {
        char c = text[i];
        if (c < '0' || c > '9') return;
        number = number * 10 + (c - '0');
        if (number > INT32_MAX) return; // not an index any array can have
    }
    if (number == 0 || underscore > kMaxArrayBaseLength) return;
    char base[256];
    std::memcpy(base, text, underscore);
    base[underscore] = '[';
    base[underscore + 1] = ']';
    symbol->arrayBase = intern(base, underscore + 2);
    symbol->arrayIndex = static_cast<int32_t>(number);
}

} // namespace

uint32_t superFastHash(const char* text, int length) {
    if (length <= 0 || !text) return 0;
    const unsigned char* data = reinterpret_cast<const unsigned char*>(text);
    uint32_t hash = static_cast<uint32_t>(length);
    int remainder = length & 3;
    for (int blocks = length >> 2; blocks > 0; --blocks) {
        hash += read16(data);
        uint32_t mixed = (read16(data + 2) << 11) ^ hash;
        hash = (hash << 16) ^ mixed;
        data += 4;
        hash += hash >> 11;
    }
    switch (remainder) {
    case 3:
        hash += read16(data);
        hash ^= hash << 16;
        hash ^= signedByte(data[2]) << 18;
        hash += hash >> 11;
        break;
    case 2:
        hash += read16(data);
        hash ^= hash << 11;
        hash += hash >> 17;
        break;
    case 1:
        hash += signedByte(data[0]);
        hash ^= hash << 10;
        hash += hash >> 1;
        break;
    default:
        break;
    }
    hash ^= hash << 3;
    hash += hash >> 5;
    hash ^= hash << 4;
    hash += hash >> 17;
    hash ^= hash << 25;
    hash += hash >> 6;
    return hash;
}

uint32_t symbolHash(const char* text, int length) { return superFastHash(text, length) % kSymbolBuckets; }

void initSymbols() {
    SymbolTable& t = table();
    if (t.initialised) return;
    t.initialised = true; // before registering: decomposition interns
    for (Symbol& record : sym::wellKnown) registerStatic(&record, record.text);
}

void registerStatic(Symbol* record, const char* text) {
    record->length = static_cast<int32_t>(std::strlen(text));
    record->text = text;
    decompose(record);
    insert(record, symbolHash(text, record->length));
}

Symbol* findSymbol(const char* text, int length, int* bucket) {
    initSymbols();
    if (length > kMaxSymbolLength) length = kMaxSymbolLength;
    uint32_t index = symbolHash(text, length);
    if (bucket) *bucket = static_cast<int>(index);
    for (Symbol* s = table().buckets[index]; s; s = s->next) {
        if (s->length == length && std::memcmp(s->text, text, length) == 0) return s;
    }
    return nullptr;
}

Symbol* findSymbol(std::string_view text, int* bucket) {
    return findSymbol(text.data(), static_cast<int>(text.size()), bucket);
}

Symbol* intern(const char* text, int length) {
    if (!text) return nullptr;
    if (length > kMaxSymbolLength) length = kMaxSymbolLength;
    int bucket = 0;
    if (Symbol* existing = findSymbol(text, length, &bucket)) return existing;
    SymbolTable& t = table();
    Symbol* symbol = t.pool.allocate();
    symbol->length = length;
    symbol->text = t.arena.store(text, length);
    decompose(symbol); // may intern the base name: insert afterwards
    insert(symbol, static_cast<uint32_t>(bucket));
    return symbol;
}

Symbol* intern(std::string_view text) {
    return intern(text.data(), static_cast<int>(text.size()));
}

Symbol* intern(const char* text) {
    return text ? intern(text, static_cast<int>(std::strlen(text))) : nullptr;
}

Symbol* unlistedSymbol(std::string_view text) {
    int length = static_cast<int>(std::min<size_t>(text.size(), kMaxSymbolLength));
    SymbolTable& t = table();
    Symbol* symbol = t.pool.allocate();
    symbol->next = nullptr;
    symbol->length = length;
    symbol->text = t.arena.store(text.empty() ? "" : text.data(), length);
    symbol->arrayBase = nullptr;
    symbol->arrayIndex = 0;
    return symbol;
}

int symbolCount() {
    initSymbols();
    return table().count;
}

} // namespace glint
