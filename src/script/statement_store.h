// Compiled statements: runs of Value cells carved from chunks of 1024 cells
// and addressed by (chunk, offset) pairs.
//
// A statement node is [block cell] header cell, argument cells. The block
// cell exists only for commands that own a block; a NodeRef addresses the
// header cell.
#pragma once

#include <deque>
#include <memory>
#include <vector>

#include "script/objects.h"

namespace glint {

constexpr int kStatementChunkCells = 1024;

// A local variable visible in a root block: "%name" and its slot.
struct LocalSlot {
    Symbol* name;
    int slot;
};

struct Block {
    NodeRef first;
    bool hasLocals = false;       // a block with locals (the root of a numbering)
    int localCount = 0;           // slots of the root block's frame
    std::vector<LocalSlot> locals; // every local declared inside, in order
};

// The header cell's payload.
struct StatementHeader {
    uint8_t command = 0;  // keyword index (1 to 255)
    uint8_t written = 0;  // arguments written in the source
    uint8_t cells = 0;    // argument cells (written raised to the minimum)
    uint8_t hasBlock = 0; // a block cell precedes the header
    NodeRef next;
};
static_assert(sizeof(StatementHeader) == 8);

// Packed as bytes 0 to 3 (command, written, cells, block flag) and bytes 4
// to 7 (the next link's chunk and offset).
inline StatementHeader headerOf(const Value* cell) {
    uint64_t b = cell->bits;
    StatementHeader h;
    h.command = static_cast<uint8_t>(b);
    h.written = static_cast<uint8_t>(b >> 8);
    h.cells = static_cast<uint8_t>(b >> 16);
    h.hasBlock = static_cast<uint8_t>(b >> 24);
    h.next.chunk = static_cast<uint16_t>(b >> 32);
    h.next.offset = static_cast<uint16_t>(b >> 48);
    return h;
}
inline void setHeader(Value* cell, const StatementHeader& h) {
    cell->bits = static_cast<uint64_t>(h.command) | static_cast<uint64_t>(h.written) << 8 |
                 static_cast<uint64_t>(h.cells) << 16 | static_cast<uint64_t>(h.hasBlock) << 24 |
                 static_cast<uint64_t>(h.next.chunk) << 32 | static_cast<uint64_t>(h.next.offset) << 48;
}

// A view of one statement node.
struct Statement {
    Value* header = nullptr;

    explicit operator bool() const { return header != nullptr; }
    // An absent statement reads as an empty header (command 0, no block).
    StatementHeader info() const { return header ? headerOf(header) : StatementHeader{}; }
    int command() const { return info().command; }
    int written() const { return info().written; }
    int cells() const { return info().cells; }
    Value* args() const { return header + 1; }
    Value* arg(int i) const { return header + 1 + i; }
    // The block cell, or null for commands without one.
    Value* blockCell() const { return info().hasBlock ? header - 1 : nullptr; }
    Block* block() const {
        Value* cell = blockCell();
        return cell && (cell->is(ValueType::Block) || cell->is(ValueType::BlockWithLocals)) ? cell->as<Block>()
                                                                                           : nullptr;
    }
};

class StatementStore {
public:
    StatementStore();
    StatementStore(const StatementStore&) = delete;
    StatementStore& operator=(const StatementStore&) = delete;

    // count consecutive cells holding none; (0, 0) when the request is too
    // large ("Request for too much objects!").
    NodeRef allocate(int count);
    Value* cell(NodeRef ref) { return ref.empty() ? nullptr : &chunks_[ref.chunk][ref.offset]; }
    Statement statement(NodeRef ref) { return Statement{cell(ref)}; }
    Block* newBlock();
    int chunkCount() const { return static_cast<int>(chunks_.size()); }

private:
    std::vector<std::unique_ptr<Value[]>> chunks_;
    int used_ = 1; // cell (0, 0) stands for none
    std::deque<Block> blocks_;
};

} // namespace glint
