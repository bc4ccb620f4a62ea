#include "script/statement_store.h"

#include "script/script_error.h"

namespace glint {

StatementStore::StatementStore() { chunks_.push_back(std::make_unique<Value[]>(kStatementChunkCells)); }

NodeRef StatementStore::allocate(int count) {
    if (count > kStatementChunkCells || count <= 0) {
        scriptError("Request for too much objects!");
        return {};
    }
    if (used_ + count > kStatementChunkCells) {
        if (chunks_.size() >= 0xFFFF) {
            scriptError("Request for too much objects!");
            return {};
        }
        chunks_.push_back(std::make_unique<Value[]>(kStatementChunkCells));
        used_ = 0;
    }
    NodeRef ref{static_cast<uint16_t>(chunks_.size() - 1), static_cast<uint16_t>(used_)};
    used_ += count;
    return ref;
}

Block* StatementStore::newBlock() {
    blocks_.emplace_back();
    return &blocks_.back();
}

} // namespace glint
