// glint-tool image decode FILE OUT.png: what the engine makes of an image
// file. Prints the decoded size and flags, writes the pixels as an RGBA PNG
// through the engine's own encoder, and on failure shows what the decoder
// logged.
#include "command.h"

#include "engine/images/image_buffer.h"
#include "engine/images/image_handler.h"
#include "engine/system/log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace glint::tool {

namespace {

constexpr const char* kUsage = "glint-tool image decode FILE OUT.png";
constexpr size_t kLogPrefixLength = 10; // "HH:MM:SS: "

int usage() {
    std::fprintf(stderr, "usage: %s\n", kUsage);
    return 2;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "glint-tool image: %s\n", message.c_str());
    return 1;
}

bool readWhole(const char* path, std::vector<uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// The memory log's lines since it was last cleared, without their times.
// Returns whether there was any.
bool printLoggedLines() {
    std::string log = memoryLog();
    size_t start = 0;
    bool any = false;
    while (start < log.size()) {
        size_t end = log.find('\n', start);
        if (end == std::string::npos)
            end = log.size();
        std::string line = log.substr(start, end - start);
        if (line.size() >= kLogPrefixLength && line[8] == ':' && line[9] == ' ')
            line.erase(0, kLogPrefixLength);
        std::fprintf(stderr, "%s\n", line.c_str());
        any = true;
        start = end + 1;
    }
    return any;
}

bool writeWhole(const char* path, const uint8_t* bytes, size_t size) {
    std::FILE* out = std::fopen(path, "wb");
    if (!out)
        return false;
    bool ok = std::fwrite(bytes, 1, size, out) == size;
    return std::fclose(out) == 0 && ok;
}

// Writes the decoded pixels as 8-bit RGBA. Without alpha the fourth bytes
// mean nothing (some decoders leave palette padding there), so they are
// made opaque first.
int writePng(const KImageInfo& decoded, const char* path) {
    KImageInfo rgba = decoded;
    rgba.hasAlpha = 1;
    if (!decoded.hasAlpha) {
        size_t count = size_t{decoded.width} * decoded.height;
        for (size_t i = 0; i < count; ++i)
            imagePixelBuffer[i] |= 0xFF000000u;
    }
    clearMemoryLog();
    uint8_t* png = nullptr;
    size_t size = 0;
    if (!imageHandlerForFormat(K_IMAGE_PNG)->encode(&png, &size, &rgba, 0)) {
        printLoggedLines();
        return fail(std::string("cannot encode '") + path + "'");
    }
    std::unique_ptr<uint8_t[]> owned(png);
    if (!writeWhole(path, png, size))
        return fail(std::string("cannot write '") + path + "': " + std::strerror(errno));
    return 0;
}

int decodeFile(const char* file, const char* out) {
    int format = imageFormatForPath(file);
    if (format < 0)
        return fail(std::string("'") + file + "' has no image extension the engine reads");
    std::vector<uint8_t> bytes;
    if (!readWhole(file, bytes))
        return fail(std::string("cannot read '") + file + "': " + std::strerror(errno));
    clearMemoryLog();
    KImageInfo info;
    if (!imageHandlerForFormat(format)->decode(bytes.data(), bytes.size(), &info, true)) {
        // Some decoders (DDS, DDZ) refuse without a word.
        if (!printLoggedLines())
            fail(std::string("cannot decode '") + file + "'");
        return 1;
    }
    std::printf("%ux%u alpha=%d uncompressed=%d\n", info.width, info.height, info.hasAlpha ? 1 : 0,
                info.isUncompressed ? 1 : 0);
    std::fflush(stdout);
    // DXT5 blocks are no pixels to write.
    return info.isUncompressed ? writePng(info, out) : 0;
}

int runImage(int argc, char** argv) {
    if (argc != 4 || std::strcmp(argv[1], "decode") != 0)
        return usage();
    return decodeFile(argv[2], argv[3]);
}

} // namespace

GLINT_TOOL_COMMAND("image", kUsage, runImage);

} // namespace glint::tool
