#include "engine/images/png_cgbi.h"

#include "engine/system/log.h"

#include <zlib.h>

#include <cstring>

namespace glint {

namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint32_t readBigEndian(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 | p[3];
}

void putBigEndian(std::vector<uint8_t>& out, uint32_t value) {
    out.insert(out.end(), {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
                           static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)});
}

void putChunk(std::vector<uint8_t>& out, const char* type, const uint8_t* data, size_t length) {
    putBigEndian(out, static_cast<uint32_t>(length));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data, data + length);
    uLong crc = crc32(0, out.data() + start, static_cast<uInt>(length + 4));
    putBigEndian(out, static_cast<uint32_t>(crc));
}

struct Chunk {
    const uint8_t* type;
    const uint8_t* data;
    uint32_t length;
};

bool isType(const Chunk& chunk, const char* type) {
    return std::memcmp(chunk.type, type, 4) == 0;
}

// The Adler-32 of what a raw deflate stream inflates to, reading at most
// limit output bytes; false when the stream is broken or too long.
bool inflatedAdler(const std::vector<uint8_t>& deflated, size_t limit, uint32_t& adler) {
    z_stream stream{};
    if (inflateInit2(&stream, -15) != Z_OK)
        return false;
    stream.next_in = const_cast<Bytef*>(deflated.data());
    stream.avail_in = static_cast<uInt>(deflated.size());
    uLong sum = adler32(0, nullptr, 0);
    uint8_t scratch[16384];
    int status = Z_OK;
    size_t total = 0;
    while (status == Z_OK && total <= limit) {
        stream.next_out = scratch;
        stream.avail_out = sizeof scratch;
        status = inflate(&stream, Z_NO_FLUSH);
        size_t produced = sizeof scratch - stream.avail_out;
        sum = adler32(sum, scratch, static_cast<uInt>(produced));
        total += produced;
    }
    inflateEnd(&stream);
    adler = static_cast<uint32_t>(sum);
    return status == Z_STREAM_END && total <= limit;
}

// Filtered image data cannot be longer than this: a filter byte and the
// samples of every row, with room for the seven interlaced passes.
size_t rawDataLimit(const Chunk& header) {
    uint64_t width = readBigEndian(header.data), height = readBigEndian(header.data + 4);
    uint64_t samplesPerPixel = 4, bitDepth = header.data[8] > 16 ? 16 : header.data[8];
    uint64_t rowBytes = (width * samplesPerPixel * bitDepth + 7) / 8;
    return static_cast<size_t>(2 * (rowBytes + 1) * height + 4096);
}

bool damaged(const char* reason) {
    logMessage("PNG: damaged CgBI image (%s), ERROR", reason);
    return false;
}

bool rewrite(const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
    std::vector<uint8_t> deflated;
    const uint8_t* header = nullptr;
    size_t idatPosition = 0;
    out.assign(kSignature, kSignature + 8);
    for (size_t pos = 8; pos < size;) {
        if (size - pos < 12 || readBigEndian(data + pos) > size - pos - 12)
            return damaged("chunk runs past the end");
        Chunk chunk{data + pos + 4, data + pos + 8, readBigEndian(data + pos)};
        pos += size_t{12} + chunk.length;
        if (isType(chunk, "IHDR") && chunk.length == 13)
            header = chunk.data;
        if (isType(chunk, "IDAT")) {
            if (deflated.empty())
                idatPosition = out.size();
            deflated.insert(deflated.end(), chunk.data, chunk.data + chunk.length);
        } else if (!isType(chunk, "CgBI")) {
            putChunk(out, reinterpret_cast<const char*>(chunk.type), chunk.data, chunk.length);
        }
        if (isType(chunk, "IEND"))
            break;
    }
    if (!header || deflated.empty())
        return damaged("no header or no image data");
    uint32_t adler = 0;
    if (!inflatedAdler(deflated, rawDataLimit(Chunk{nullptr, header, 13}), adler))
        return damaged("broken image data");
    std::vector<uint8_t> wrapped = {0x78, 0x9C}; // deflate, 32 KiB window
    wrapped.insert(wrapped.end(), deflated.begin(), deflated.end());
    putBigEndian(wrapped, adler);
    std::vector<uint8_t> idat;
    putChunk(idat, "IDAT", wrapped.data(), wrapped.size());
    out.insert(out.begin() + static_cast<std::ptrdiff_t>(idatPosition), idat.begin(), idat.end());
    return true;
}

} // namespace

CgbiStream rewriteCgbiPng(const uint8_t* data, size_t size, std::vector<uint8_t>& standard) {
    if (!data || size < 16 || std::memcmp(data, kSignature, 8) != 0 || std::memcmp(data + 12, "CgBI", 4) != 0)
        return CgbiStream::Standard;
    return rewrite(data, size, standard) ? CgbiStream::Rewritten : CgbiStream::Damaged;
}

void convertCgbiRow(const uint8_t* row, uint32_t width, int channels, uint32_t* out) {
    for (uint32_t x = 0; x < width; ++x, row += channels) {
        uint32_t blue = row[0], green = row[1], red = row[2], alpha = channels == 4 ? row[3] : 255;
        if (alpha != 0 && alpha != 255) {
            // Damaged data can hold colour above alpha; clamp rather than wrap.
            auto unmultiply = [alpha](uint32_t c) { return c >= alpha ? 255u : c * 255 / alpha; };
            red = unmultiply(red);
            green = unmultiply(green);
            blue = unmultiply(blue);
        }
        out[x] = alpha << 24 | red << 16 | green << 8 | blue;
    }
}

} // namespace glint
