#include "script/array_object.h"

#include "script/heap.h"

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

Value* ArrayObject::slot(int index) {
    if (index < 0) index = count() + index + 1;
    if (index < 1) return nullptr;
    if (index > count()) items.resize(index, nullptr);
    Value*& cell = items[index - 1];
    if (!cell) cell = scriptHeap().newCell();
    return cell;
}

void ArrayObject::put(int index, Value* cell) {
    if (index < 1) return;
    if (index > count()) items.resize(index, nullptr);
    items[index - 1] = cell;
}

void ArrayObject::resize(int size) { items.resize(size < 0 ? 0 : size, nullptr); }

} // namespace glint
