// Packs rendered glyphs onto square pages and writes them in the engine's
// bitmap font format: a ".font" descriptor and one PNG per page.
#pragma once

#include "font_raster.h"

#include <string>
#include <vector>

namespace glint::tool {

struct PlacedGlyph {
    const RasterGlyph* glyph;
    int page, x, y; // top left of its cell on the page
};

struct FontPages {
    int pageSize = 512;
    std::vector<PlacedGlyph> placed; // in the order of the glyphs given
    int pageCount = 0;
};

// Places glyphs row by row with a pixel of space between them. False with
// error filled when a glyph is larger than a page or more than eight pages
// would be needed.
bool packGlyphs(const std::vector<RasterGlyph>& glyphs, int pageSize, FontPages* pages, std::string* error);

// Paths of the output: prefix "dir/font_3" gives "dir/font_3.font" and the
// pages "dir/_font_3_0.png", "dir/_font_3_1.png", ...
std::string descriptorPathFor(const std::string& prefix);
std::string pagePathFor(const std::string& prefix, int page);

// The descriptor text; glyphs must be in ascending code order. ascent is the
// baseline's distance from the cell top, cellHeight the line height.
std::string describeFont(const FontPages& pages, int ascent, int cellHeight);

// Writes the descriptor and the pages; false with error filled on failure.
bool writeFont(const std::string& prefix, const FontPages& pages, int ascent, int cellHeight, std::string* error);

} // namespace glint::tool
