// Renders the glyphs of an outline font through FreeType at one pixel size,
// optionally with a dark outline around a white fill.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace glint::tool {

struct RasterGlyph {
    int32_t code = 0;
    int width = 0, height = 0;    // of the bitmap; 0 for a glyph without ink
    int left = 0, top = 0;        // bitmap origin from the pen on the baseline, y up
    int advance = 0;              // pen advance in whole pixels
    std::vector<uint32_t> pixels; // 0xAARRGGBB, rows top to bottom
};

class FontRasterizer {
public:
    FontRasterizer();
    ~FontRasterizer();
    FontRasterizer(const FontRasterizer&) = delete;
    FontRasterizer& operator=(const FontRasterizer&) = delete;

    // False with error filled when the file is no font FreeType can read.
    bool open(const std::string& path, int pixels, int outline, std::string* error);
    bool hasChar(int32_t code) const;
    // False with error filled when FreeType cannot render the glyph.
    bool render(int32_t code, RasterGlyph* glyph, std::string* error) const;

    // Whole pixels above and below the baseline, outline included.
    int ascent() const { return ascent_; }
    int descent() const { return descent_; }

private:
    struct Library;
    std::unique_ptr<Library> ft_;
    int outline_ = 0;
    int ascent_ = 0, descent_ = 0;
};

} // namespace glint::tool
