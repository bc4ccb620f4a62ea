// Cursor files made by ImageMagick from a picture description, with the
// picture as raw RGBA bytes to compare against. ImageMagick writes
// icon directories, so the cursor type and hot spots are patched in.
#pragma once

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace glint::test {

struct CursorFixture {
    std::string file; // the cursor file's bytes
    std::string rgba; // the picture, 4 bytes per pixel, top row first
};

inline void mustRun(const std::string& command) {
    CommandResult result = runCommand(command);
    ASSERT_EQ(result.status, 0) << command << "\n" << result.err;
}

inline void putU16(std::string& bytes, size_t at, uint16_t value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

inline uint32_t getU32(const std::string& bytes, size_t at) {
    return static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8 |
           static_cast<uint8_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24;
}

inline void putU32(std::string& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
}

// Offset of directory entry i and of its image.
inline size_t entryAt(int i) { return 6 + 16 * static_cast<size_t>(i); }
inline size_t imageAt(const std::string& file, int i) { return getU32(file, entryAt(i) + 12); }

inline void setHotSpot(std::string& file, int entry, uint16_t x, uint16_t y) {
    putU16(file, entryAt(entry) + 4, x);
    putU16(file, entryAt(entry) + 6, y);
}

// The picture convert reads from source (a description with -size, or a file).
inline std::string rawPicture(const TempDir& dir, const std::string& source) {
    std::string raw = (dir / "picture.rgba").string();
    mustRun("convert " + source + " -depth 8 " + shellQuote("rgba:" + raw));
    return readFile(raw);
}

// sources: what convert reads, one frame per cursor image; the reference
// picture is reference's, by default ImageMagick's own reading of the file
// (palettes are quantised once, so it holds exactly the stored colours).
inline CursorFixture makeCursor(const TempDir& dir, const std::string& sources, std::string reference = "") {
    std::string ico = (dir / "cursor.ico").string();
    mustRun("convert " + sources + " " + shellQuote(ico));
    CursorFixture fixture{readFile(ico), rawPicture(dir, reference.empty() ? shellQuote(ico) : reference)};
    if (fixture.file.size() >= 6)
        putU16(fixture.file, 2, 2);
    return fixture;
}

} // namespace glint::test
