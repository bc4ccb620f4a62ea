// Script arrays: 1-based slots of Value cells plus named members.
#pragma once

#include <vector>

#include "script/property_list.h"

namespace glint {

struct ArrayObject {
    static constexpr uint8_t kKindMask = 0x3F;
    static constexpr uint8_t kAnonymous = 0x40;
    // Scripts size arrays with any number; beyond this many slots a
    // request is refused with a script error (documented for authors).
    static constexpr int kMaxSlots = 1000000;

    Symbol* name = nullptr; // ends in "[]"
    Scope* owner = nullptr;
    std::vector<Value*> items; // script index 1 at position 0; null is an empty slot
    uint8_t kind = 0;
    uint8_t rowWidth = 10; // the member "matrix_size"
    PropertyList members;

    ArrayObject(Symbol* arrayName, Scope* scope, uint8_t kindByte)
        : name(arrayName), owner(scope), kind(kindByte) {}

    int variableKind() const { return kind & kKindMask; }
    bool anonymous() const { return (kind & kAnonymous) != 0; }
    int count() const { return static_cast<int>(items.size()); }

    // Negative indices count from the end (-1 is the last slot). The
    // position (0-based) or -1 when the index falls outside.
    int position(int index) const;
    // The cell at a script index, or null (outside, or an empty slot).
    Value* at(int index) const;
    // The cell at a script index, growing the list and filling an empty slot
    // with a fresh cell; null for indices that name no slot (0, negative
    // beyond the start, or above kMaxSlots, which is reported).
    Value* slot(int index);
    // Puts a cell into slot index (1 to kMaxSlots), growing the list; false,
    // and reported, above kMaxSlots.
    bool put(int index, Value* cell);
    void append(Value* cell) { items.push_back(cell); }
    // New size: shrinking drops slots, growing adds empty ones; a size
    // above kMaxSlots is reported and changes nothing.
    void resize(int size);
    void clear() { items.clear(); }
};

} // namespace glint
