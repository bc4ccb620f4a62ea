// The ".font" descriptor over arbitrary bytes: the glyphs it gives are
// looked up and a text is laid out with them (without pages, as nothing is
// drawn), and the page names that follow the input as a page path are made.
#include "engine/text/text.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace glint;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    KText font;
    int pages = font.parseDescriptor(reinterpret_cast<const char*>(data), static_cast<int32_t>(size));
    // One past the limit stands for "too many", for the page loader to report.
    if (pages > kFontMaxPages + 1)
        std::abort();
    for (const KGlyph* glyph = font.glyphs(); glyph->code; ++glyph) {
        if (font.findGlyph(glyph->code) == nullptr)
            std::abort();
    }
    font.findGlyph(-1);
    font.measureTextBox("Ab c\n\xc3\xa9 long words wrap\xe2\x80\xa6 here", 40, -1, 1, 1);
    font.textWidth("x y", 1, 1, 0);

    std::string path(reinterpret_cast<const char*>(data), size < kFontPathLimit ? size : kFontPathLimit);
    path = path.c_str(); // up to the first zero byte, as a C path
    char next[kFontPathLimit + 1];
    for (int page = 0; page < 3 && nextFontPagePath(path.c_str(), next); ++page)
        path = next;
    return 0;
}
