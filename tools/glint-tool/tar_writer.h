// Writes tar archives in the GNU form: ustar headers, "././@LongLink"
// headers for names the 100-byte name field cannot hold.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace glint::tool {

class TarWriter {
public:
    explicit TarWriter(std::FILE* out) : out_(out) {}
    // False once any write failed.
    bool addFile(const std::string& name, const std::string& data, int64_t mtime);
    // Writes the two zero blocks that end the archive.
    bool finish();

private:
    bool writeHeader(const std::string& name, uint64_t size, int64_t mtime, char typeflag);
    bool writePadded(const char* data, size_t size);

    std::FILE* out_;
    bool ok_ = true;
};

} // namespace glint::tool
