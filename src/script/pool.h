// Block pools with free lists. Objects never move; released slots are
// reused first. Each slot carries the collector's mark.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "script/value.h"

namespace glint {

template <typename T, size_t BlockSize>
class ObjectPool {
public:
    ObjectPool() = default;
    ObjectPool(const ObjectPool&) = delete;
    ObjectPool& operator=(const ObjectPool&) = delete;
    ~ObjectPool() {
        forEachLive([](T* object) { object->~T(); });
    }

    template <typename... Args> T* create(Args&&... args) {
        Slot* slot = takeSlot();
        slot->live = true;
        slot->marked = false;
        ++live_;
        return new (slot->storage) T(std::forward<Args>(args)...);
    }

    void release(T* object) {
        Slot* slot = slotOf(object);
        if (!slot->live) return;
        object->~T();
        slot->live = false;
        slot->nextFree = freeList_;
        freeList_ = slot;
        --live_;
    }

    // True when the object was not marked before.
    static bool mark(T* object) {
        Slot* slot = slotOf(object);
        if (slot->marked) return false;
        slot->marked = true;
        return true;
    }
    static bool isMarked(const T* object) { return slotOf(const_cast<T*>(object))->marked; }

    void clearMarks() {
        forEachSlot([](Slot& slot) { slot.marked = false; });
    }

    // Releases every live object that is not marked; returns how many.
    size_t releaseUnmarked() {
        size_t released = 0;
        forEachSlot([&](Slot& slot) {
            if (slot.live && !slot.marked) {
                release(reinterpret_cast<T*>(slot.storage));
                ++released;
            }
        });
        return released;
    }

    template <typename F> void forEachLive(F&& f) {
        forEachSlot([&](Slot& slot) {
            if (slot.live) f(reinterpret_cast<T*>(slot.storage));
        });
    }

    size_t liveCount() const { return live_; }
    size_t capacity() const { return blocks_.size() * BlockSize; }

private:
    // storage comes first, so a T* is also the address of its slot.
    struct Slot {
        alignas(T) unsigned char storage[sizeof(T)];
        Slot* nextFree;
        bool live;
        bool marked;
    };

    static Slot* slotOf(T* object) { return reinterpret_cast<Slot*>(object); }

    // Released slots first, then the next untouched slot of the last block.
    // A block is left as allocated until its slots are handed out, so a
    // large block costs no more than the slots in use.
    Slot* takeSlot() {
        if (Slot* slot = freeList_) {
            freeList_ = slot->nextFree;
            return slot;
        }
        if (blocks_.empty() || used_ == BlockSize) {
            blocks_.push_back(std::make_unique_for_overwrite<Slot[]>(BlockSize));
            used_ = 0;
        }
        return &blocks_.back()[used_++];
    }

    // Every slot handed out so far, live or released.
    template <typename F> void forEachSlot(F&& f) {
        for (size_t b = 0; b < blocks_.size(); ++b) {
            size_t count = b + 1 == blocks_.size() ? used_ : BlockSize;
            for (size_t i = 0; i < count; ++i) f(blocks_[b][i]);
        }
    }

    std::vector<std::unique_ptr<Slot[]>> blocks_;
    size_t used_ = 0; // slots handed out from the last block
    Slot* freeList_ = nullptr;
    size_t live_ = 0;
};

// The pool of Value cells. A free cell has the type code kFreeCell and
// links the free list through its payload; the collector's mark is the
// Marked flag of the type word.
class ValuePool {
public:
    static constexpr uint32_t kFreeCell = kValueTypeMask;
    static constexpr size_t kBlockSize = 4096;

    ValuePool() = default;
    ValuePool(const ValuePool&) = delete;
    ValuePool& operator=(const ValuePool&) = delete;

    Value* create() {
        if (!freeList_) grow();
        Value* cell = freeList_;
        freeList_ = static_cast<Value*>(cell->pointer);
        cell->typeWord = 0;
        cell->bits = 0;
        ++live_;
        return cell;
    }
    Value* create(const Value& initial) {
        Value* cell = create();
        *cell = initial;
        return cell;
    }

    void release(Value* cell) {
        if ((cell->typeWord & kValueTypeMask) == kFreeCell) return;
        cell->typeWord = kFreeCell;
        cell->pointer = freeList_;
        freeList_ = cell;
        --live_;
    }

    void clearMarks() {
        for (auto& block : blocks_)
            for (size_t i = 0; i < kBlockSize; ++i) block[i].typeWord &= ~kValueMarked;
    }

    size_t releaseUnmarked() {
        size_t released = 0;
        for (auto& block : blocks_) {
            for (size_t i = 0; i < kBlockSize; ++i) {
                Value& cell = block[i];
                if ((cell.typeWord & kValueTypeMask) != kFreeCell && !(cell.typeWord & kValueMarked)) {
                    release(&cell);
                    ++released;
                }
            }
        }
        return released;
    }

    // The savegame baseline: every live cell counts as unchanged from now.
    void setAllUnchanged() {
        for (auto& block : blocks_)
            for (size_t i = 0; i < kBlockSize; ++i)
                if ((block[i].typeWord & kValueTypeMask) != kFreeCell) block[i].typeWord |= kValueUnchanged;
    }

    size_t liveCount() const { return live_; }

    bool owns(const Value* cell) const {
        for (const auto& block : blocks_)
            if (cell >= block.get() && cell < block.get() + kBlockSize) return true;
        return false;
    }

private:
    void grow() {
        blocks_.push_back(std::make_unique<Value[]>(kBlockSize));
        Value* block = blocks_.back().get();
        for (size_t i = kBlockSize; i-- > 0;) {
            block[i].typeWord = kFreeCell;
            block[i].pointer = freeList_;
            freeList_ = &block[i];
        }
    }

    std::vector<std::unique_ptr<Value[]>> blocks_;
    Value* freeList_ = nullptr;
    size_t live_ = 0;
};

} // namespace glint
