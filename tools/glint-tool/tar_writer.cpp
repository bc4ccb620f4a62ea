#include "tar_writer.h"

#include <cstring>

namespace glint::tool {

namespace {

constexpr size_t kBlock = 512;
constexpr size_t kNameField = 100;
constexpr const char* kLongNameHeader = "././@LongLink";

// width - 1 zero-padded octal digits and a terminating 0; the engine reads
// 32-bit sizes, so every value the tool writes fits.
void putOctal(char* field, size_t width, uint64_t value) {
    field[width - 1] = 0;
    for (size_t i = width - 1; i-- > 0; value >>= 3)
        field[i] = static_cast<char>('0' + (value & 7));
}

} // namespace

bool TarWriter::writePadded(const char* data, size_t size) {
    static const char zeros[kBlock] = {};
    if (size && std::fwrite(data, 1, size, out_) != size)
        ok_ = false;
    size_t tail = (kBlock - size % kBlock) % kBlock;
    if (tail && std::fwrite(zeros, 1, tail, out_) != tail)
        ok_ = false;
    return ok_;
}

bool TarWriter::writeHeader(const std::string& name, uint64_t size, int64_t mtime, char typeflag) {
    char header[kBlock] = {};
    std::memcpy(header, name.data(), name.size() < kNameField ? name.size() : kNameField);
    putOctal(header + 100, 8, 0644);
    putOctal(header + 108, 8, 0);
    putOctal(header + 116, 8, 0);
    putOctal(header + 124, 12, size);
    putOctal(header + 136, 12, static_cast<uint64_t>(mtime < 0 ? 0 : mtime));
    header[156] = typeflag;
    std::memcpy(header + 257, "ustar  ", 8); // GNU magic and version
    std::memset(header + 148, ' ', 8);
    unsigned sum = 0;
    for (unsigned char byte : header)
        sum += byte;
    std::snprintf(header + 148, 8, "%06o", sum);
    return writePadded(header, kBlock);
}

bool TarWriter::addFile(const std::string& name, const std::string& data, int64_t mtime) {
    // A name of exactly 100 characters also gets a long-name header, for
    // readers that keep the field's last byte for a terminator.
    if (name.size() >= kNameField) {
        writeHeader(kLongNameHeader, name.size() + 1, 0, 'L');
        writePadded(name.c_str(), name.size() + 1);
    }
    writeHeader(name, data.size(), mtime, '0');
    return writePadded(data.data(), data.size());
}

bool TarWriter::finish() {
    static const char zeros[2 * kBlock] = {};
    if (std::fwrite(zeros, 1, sizeof zeros, out_) != sizeof zeros)
        ok_ = false;
    return ok_;
}

} // namespace glint::tool
