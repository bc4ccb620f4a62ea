// A whole file in memory, ended by four zero bytes so that any text in it,
// 8-bit or 16-bit, is terminated.
#pragma once

#include <cstdint>
#include <memory>

namespace glint {

class MTextFile {
public:
    // Loads a text through the resource layer: a UTF-8 byte-order mark is
    // dropped, UTF-16 (either byte order) is converted to UTF-8 with a
    // warning trace, anything else is kept as it is. False when the file
    // cannot be opened; an empty file loads as the empty text.
    bool loadText(const char* path);
    // The same without any byte-order-mark handling.
    bool loadBinary(const char* path);
    // Takes a copy of bytes and treats it as loadText treats a file; name
    // only appears in the warning trace.
    void assignText(const char* bytes, int32_t size, const char* name);
    void clear();

    // Never null: the empty text before anything is loaded.
    char* data() { return data_ ? data_.get() : empty_; }
    const char* data() const { return data_ ? data_.get() : empty_; }
    int32_t size() const { return size_; }

private:
    bool read(const char* path);
    void allocate(int32_t size);
    void decodeMarks(const char* name);
    void decodeUtf16(bool bigEndian, const char* name);

    std::unique_ptr<char[]> data_;
    int32_t size_ = 0;
    char empty_[4] = {0, 0, 0, 0};
};

} // namespace glint
