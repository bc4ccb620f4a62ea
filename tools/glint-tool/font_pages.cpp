#include "font_pages.h"

#include "engine/images/image_buffer.h"
#include "engine/images/image_handler.h"
#include "engine/text/text.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

namespace glint::tool {

namespace {

constexpr int kPadding = 1; // keeps linear filtering from bleeding between glyphs

// A glyph without ink still gets one transparent texel.
int cellWidth(const RasterGlyph& glyph) { return std::max(glyph.width, 1); }
int cellHeight(const RasterGlyph& glyph) { return std::max(glyph.height, 1); }

bool writeBytes(const std::string& path, const void* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    return static_cast<bool>(out.flush());
}

bool writePage(const std::string& path, const FontPages& pages, int page, std::string* error) {
    const int size = pages.pageSize;
    std::fill_n(imagePixelBuffer, static_cast<size_t>(size) * size, 0u);
    for (const PlacedGlyph& placed : pages.placed) {
        if (placed.page != page)
            continue;
        const RasterGlyph& glyph = *placed.glyph;
        for (int y = 0; y < glyph.height; ++y) {
            std::copy_n(&glyph.pixels[static_cast<size_t>(y) * glyph.width], glyph.width,
                        &imagePixelBuffer[static_cast<size_t>(placed.y + y) * size + placed.x]);
        }
    }
    KImageInfo info{static_cast<uint32_t>(size), static_cast<uint32_t>(size), 1, 1};
    uint8_t* png = nullptr;
    size_t pngSize = 0;
    if (!imageHandlerForFormat(K_IMAGE_PNG)->encode(&png, &pngSize, &info, 0)) {
        *error = "cannot encode page " + std::to_string(page) + " as PNG";
        return false;
    }
    std::unique_ptr<uint8_t[]> owned(png);
    if (!writeBytes(path, png, pngSize)) {
        *error = "cannot write '" + path + "'";
        return false;
    }
    return true;
}

} // namespace

bool packGlyphs(const std::vector<RasterGlyph>& glyphs, int pageSize, FontPages* pages, std::string* error) {
    pages->pageSize = pageSize;
    pages->placed.clear();
    pages->pageCount = glyphs.empty() ? 0 : 1;
    int x = 0, y = 0, rowHeight = 0, page = 0;
    for (const RasterGlyph& glyph : glyphs) {
        int w = cellWidth(glyph), h = cellHeight(glyph);
        if (w > pageSize || h > pageSize) {
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(glyph.code));
            *error = std::string("glyph ") + code + " is larger than a page of " + std::to_string(pageSize) +
                     " pixels";
            return false;
        }
        if (x + w > pageSize) {
            x = 0;
            y += rowHeight + kPadding;
            rowHeight = 0;
        }
        if (y + h > pageSize) {
            x = y = rowHeight = 0;
            if (++page >= kFontMaxPages) {
                *error = "the glyphs need more than " + std::to_string(kFontMaxPages) + " pages of " +
                         std::to_string(pageSize) + " pixels; use a larger --page";
                return false;
            }
            pages->pageCount = page + 1;
        }
        pages->placed.push_back({&glyph, page, x, y});
        x += w + kPadding;
        rowHeight = std::max(rowHeight, h);
    }
    return true;
}

std::string descriptorPathFor(const std::string& prefix) { return prefix + ".font"; }

std::string pagePathFor(const std::string& prefix, int page) {
    std::filesystem::path path(prefix);
    std::string name = "_";
    name += path.filename().string();
    name += "_";
    name += std::to_string(page);
    name += ".png";
    return (path.parent_path() / name).string();
}

// The engine moves the pen by xOffset before a glyph (except a text's
// first) and by advance after it: the bearing becomes xOffset and the
// rest of the font's advance stays in advance.
std::string describeFont(const FontPages& pages, int ascent, int cellHeight) {
    std::string text = "FONT 1 " + std::to_string(pages.pageCount) + " " + std::to_string(pages.placed.size()) + "\n";
    char line[160];
    for (const PlacedGlyph& placed : pages.placed) {
        const RasterGlyph& glyph = *placed.glyph;
        std::snprintf(line, sizeof line, "%d %d %d %d %d %d %d %d %d %d\n", glyph.code, placed.x, placed.y,
                      placed.x + cellWidth(glyph) - 1, placed.y + tool::cellHeight(glyph) - 1,
                      glyph.advance - glyph.left, cellHeight, placed.page, glyph.left, ascent - glyph.top);
        text += line;
    }
    return text;
}

bool writeFont(const std::string& prefix, const FontPages& pages, int ascent, int cellHeight, std::string* error) {
    std::string descriptor = describeFont(pages, ascent, cellHeight);
    std::string path = descriptorPathFor(prefix);
    if (!writeBytes(path, descriptor.data(), descriptor.size())) {
        *error = "cannot write '" + path + "'";
        return false;
    }
    for (int page = 0; page < pages.pageCount; ++page) {
        if (!writePage(pagePathFor(prefix, page), pages, page, error))
            return false;
    }
    return true;
}

} // namespace glint::tool
