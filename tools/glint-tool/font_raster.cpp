#include "font_raster.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H
#include FT_STROKER_H

namespace glint::tool {

struct FontRasterizer::Library {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    FT_Stroker stroker = nullptr;
    ~Library() {
        if (stroker)
            FT_Stroker_Done(stroker);
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }
};

namespace {

// An 8-bit coverage bitmap placed relative to the pen.
struct Coverage {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<uint8_t> alpha;
    uint8_t at(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height ? alpha[static_cast<size_t>(y) * width + x] : 0;
    }
};

// Renders a glyph copy (stroked to its outer border when a stroker is
// given) and takes its coverage.
bool coverageOf(FT_GlyphSlot slot, FT_Stroker stroker, Coverage* out) {
    FT_Glyph glyph = nullptr;
    if (FT_Get_Glyph(slot, &glyph))
        return false;
    if (stroker && glyph->format == FT_GLYPH_FORMAT_OUTLINE && FT_Glyph_StrokeBorder(&glyph, stroker, 0, 1)) {
        FT_Done_Glyph(glyph);
        return false;
    }
    if (FT_Glyph_To_Bitmap(&glyph, FT_RENDER_MODE_NORMAL, nullptr, 1)) {
        FT_Done_Glyph(glyph);
        return false;
    }
    auto* bitmapGlyph = reinterpret_cast<FT_BitmapGlyph>(glyph);
    const FT_Bitmap& bitmap = bitmapGlyph->bitmap;
    out->left = bitmapGlyph->left;
    out->top = bitmapGlyph->top;
    out->width = static_cast<int>(bitmap.width);
    out->height = static_cast<int>(bitmap.rows);
    out->alpha.assign(static_cast<size_t>(out->width) * out->height, 0);
    for (int y = 0; y < out->height; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
        for (int x = 0; x < out->width; ++x)
            out->alpha[static_cast<size_t>(y) * out->width + x] = row[x];
    }
    FT_Done_Glyph(glyph);
    return true;
}

uint32_t white(uint8_t alpha) { return static_cast<uint32_t>(alpha) << 24 | 0xFFFFFF; }

// White fill over a black outline, stored unpremultiplied.
uint32_t composite(uint8_t fill, uint8_t outline) {
    float f = fill / 255.0f, o = outline / 255.0f;
    float alpha = f + o * (1 - f);
    if (alpha <= 0)
        return 0;
    auto grey = static_cast<uint32_t>(f / alpha * 255 + 0.5f);
    auto a = static_cast<uint32_t>(alpha * 255 + 0.5f);
    return a << 24 | grey << 16 | grey << 8 | grey;
}

} // namespace

FontRasterizer::FontRasterizer() : ft_(std::make_unique<Library>()) {}

FontRasterizer::~FontRasterizer() = default;

bool FontRasterizer::open(const std::string& path, int pixels, int outline, std::string* error) {
    if (FT_Init_FreeType(&ft_->library)) {
        *error = "FreeType cannot start";
        return false;
    }
    if (FT_New_Face(ft_->library, path.c_str(), 0, &ft_->face)) {
        *error = "'" + path + "' is not a font FreeType can read";
        return false;
    }
    if (FT_Set_Pixel_Sizes(ft_->face, 0, static_cast<FT_UInt>(pixels))) {
        *error = "the font has no size of " + std::to_string(pixels) + " pixels";
        return false;
    }
    outline_ = outline;
    if (outline > 0) {
        if (FT_Stroker_New(ft_->library, &ft_->stroker)) {
            *error = "FreeType cannot create a stroker";
            return false;
        }
        FT_Stroker_Set(ft_->stroker, outline * 64, FT_STROKER_LINECAP_ROUND, FT_STROKER_LINEJOIN_ROUND, 0);
    }
    const FT_Size_Metrics& metrics = ft_->face->size->metrics;
    ascent_ = static_cast<int>((metrics.ascender + 63) >> 6) + outline;
    descent_ = static_cast<int>((-metrics.descender + 63) >> 6) + outline;
    return true;
}

bool FontRasterizer::hasChar(int32_t code) const {
    return FT_Get_Char_Index(ft_->face, static_cast<FT_ULong>(code)) != 0;
}

bool FontRasterizer::render(int32_t code, RasterGlyph* glyph, std::string* error) const {
    FT_UInt index = FT_Get_Char_Index(ft_->face, static_cast<FT_ULong>(code));
    if (FT_Load_Glyph(ft_->face, index, FT_LOAD_DEFAULT)) {
        *error = "FreeType cannot load the glyph";
        return false;
    }
    FT_GlyphSlot slot = ft_->face->glyph;
    Coverage fill, border;
    if (!coverageOf(slot, nullptr, &fill) || (ft_->stroker && !coverageOf(slot, ft_->stroker, &border))) {
        *error = "FreeType cannot render the glyph";
        return false;
    }
    glyph->code = code;
    glyph->advance = static_cast<int>((slot->advance.x + 32) >> 6);
    const Coverage& frame = ft_->stroker && border.width > 0 ? border : fill;
    glyph->left = frame.left;
    glyph->top = frame.top;
    glyph->width = frame.width;
    glyph->height = frame.height;
    glyph->pixels.assign(static_cast<size_t>(frame.width) * frame.height, 0);
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            uint8_t inside = fill.at(x + frame.left - fill.left, y + fill.top - frame.top);
            glyph->pixels[static_cast<size_t>(y) * frame.width + x] =
                ft_->stroker ? composite(inside, border.at(x, y)) : white(inside);
        }
    }
    return true;
}

} // namespace glint::tool
