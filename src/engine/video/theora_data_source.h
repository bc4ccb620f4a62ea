// The bytes a clip decodes from. Clips are handed whole files already in
// memory, so the only source is a memory one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace glint {

class TheoraDataSource {
public:
    virtual ~TheoraDataSource() = default;
    // Copies up to count bytes from the read position and moves past them;
    // the number copied (0 at the end).
    virtual uint32_t read(void* buffer, uint32_t count) = 0;
    virtual std::string describe() const = 0;
    // Clamped to the data, so that a later read never leaves it.
    virtual void seek(uint64_t position) = 0;
    virtual uint64_t size() const = 0;
    virtual uint64_t tell() const = 0;
};

class TheoraMemoryFileDataSource : public TheoraDataSource {
public:
    explicit TheoraMemoryFileDataSource(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}

    uint32_t read(void* buffer, uint32_t count) override;
    // Every clip of the game is named "MEM:memory".
    std::string describe() const override { return "MEM:memory"; }
    void seek(uint64_t position) override;
    uint64_t size() const override { return bytes_.size(); }
    uint64_t tell() const override { return position_; }

private:
    std::vector<unsigned char> bytes_;
    uint64_t position_ = 0;
};

} // namespace glint
