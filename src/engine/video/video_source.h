// The bytes of a video file for its decoder: a copy of the whole file in
// memory, or the open file read piece by piece.
#pragma once

#include "engine/resources/resource.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace glint {

class KVideoSource {
public:
    // Opens path through the resource layer and measures it. With preload
    // the whole file is read into memory and the file is closed again. An
    // archive entry is always copied: the decoding thread must not share
    // the archive's file with the main thread. False when the file cannot
    // be opened or read.
    bool open(const char* path, bool preload);
    // A copy of bytes already in memory.
    void openMemory(const void* data, size_t size);
    void close();

    // Up to length bytes from the read position; how many were read (0 at
    // the end of the file or when the file fails).
    uint32_t read(void* buffer, uint32_t length);
    void rewind() { position_ = 0; }
    int32_t size() const { return size_; }

private:
    bool readAll();

    KResourceStream stream_;
    std::unique_ptr<char[]> memory_;
    int32_t size_ = 0;
    int32_t position_ = 0;
};

} // namespace glint
