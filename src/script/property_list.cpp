#include "script/property_list.h"

#include "script/heap.h"

namespace glint {

Value* PropertyList::get(Symbol* key) const {
    for (PropertyNode* node = head_; node; node = node->next)
        if (node->key == key) return &node->value;
    return nullptr;
}

Value* PropertyList::getOrCreate(Symbol* key) {
    PropertyNode** link = &head_;
    for (; *link; link = &(*link)->next)
        if ((*link)->key == key) return &(*link)->value;
    PropertyNode* node = scriptHeap().nodes.create();
    node->key = key;
    *link = node;
    return &node->value;
}

void PropertyList::set(Symbol* key, const Value& value) { *getOrCreate(key) = value; }

void PropertyList::clear() {
    ScriptHeap& heap = scriptHeap();
    while (head_) {
        PropertyNode* next = head_->next;
        heap.nodes.release(head_);
        head_ = next;
    }
}

int PropertyList::size() const {
    int n = 0;
    for (PropertyNode* node = head_; node; node = node->next) ++n;
    return n;
}

} // namespace glint
