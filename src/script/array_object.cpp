#include "script/array_object.h"

#include "script/heap.h"
#include "script/script_error.h"

namespace glint {

int ArrayObject::position(int index) const {
    if (index < 0) index = count() + index + 1;
    if (index < 1 || index > count()) return -1;
    return index - 1;
}

Value* ArrayObject::at(int index) const {
    int p = position(index);
    return p < 0 ? nullptr : items[p];
}

namespace {

bool withinLimit(const ArrayObject& array, int size) {
    if (size <= ArrayObject::kMaxSlots) return true;
    scriptError("Array %s cannot hold %d items (at most %d)", array.name ? array.name->text : "", size,
                ArrayObject::kMaxSlots);
    return false;
}

} // namespace

Value* ArrayObject::slot(int index) {
    if (index < 0) index = count() + index + 1;
    if (index < 1 || !withinLimit(*this, index)) return nullptr;
    if (index > count()) items.resize(index, nullptr);
    Value*& cell = items[index - 1];
    if (!cell) cell = scriptHeap().newCell();
    return cell;
}

bool ArrayObject::put(int index, Value* cell) {
    if (index < 1 || !withinLimit(*this, index)) return false;
    if (index > count()) items.resize(index, nullptr);
    items[index - 1] = cell;
    return true;
}

void ArrayObject::resize(int size) {
    if (withinLimit(*this, size)) items.resize(size < 0 ? 0 : size, nullptr);
}

} // namespace glint
