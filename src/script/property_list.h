// Named members of objects: a singly linked list of (key, Value) nodes
// taken from the heap's node pool.
#pragma once

#include "script/value.h"

namespace glint {

struct PropertyNode {
    PropertyNode* next = nullptr;
    Symbol* key = nullptr;
    Value value;
};

class PropertyList {
public:
    PropertyList() = default;
    // Nodes belong to the pool; a list is never duplicated.
    PropertyList(const PropertyList&) = delete;
    PropertyList& operator=(const PropertyList&) = delete;

    Value* get(Symbol* key) const;
    // The member's cell, appending a node that holds none when absent.
    Value* getOrCreate(Symbol* key);
    void set(Symbol* key, const Value& value);
    // Returns the nodes to the pool.
    void clear();

    PropertyNode* first() const { return head_; }
    int size() const;

private:
    PropertyNode* head_ = nullptr;
};

} // namespace glint
