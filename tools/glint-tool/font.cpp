// glint-tool font bake FONTFILE PIXELS OUT_PREFIX [--chars FILE] [--outline N] [--page SIZE]:
// renders an outline font into the engine's bitmap font format.
#include "command.h"
#include "font_pages.h"
#include "font_raster.h"

#include "engine/text/text_encoding.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace glint::tool {

namespace {

constexpr const char* kUsage =
    "glint-tool font bake FONTFILE PIXELS OUT_PREFIX [--chars FILE] [--outline N] [--page SIZE]";

struct BakeOptions {
    std::string fontFile, outPrefix, charsFile;
    int pixels = 0;
    int outline = 0;
    int pageSize = 512;
};

int fail(int status, const std::string& message) {
    std::fprintf(stderr, "glint-tool font: %s\n", message.c_str());
    return status;
}

// A whole decimal number within [low, high].
bool parseNumberArgument(const char* text, int low, int high, int* value) {
    errno = 0;
    char* end = nullptr;
    long number = std::strtol(text, &end, 10);
    if (errno || end == text || *end || number < low || number > high)
        return false;
    *value = static_cast<int>(number);
    return true;
}

std::string rangeMessage(const char* what, int low, int high, const char* text) {
    return std::string(what) + " must be a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
           ", not '" + text + "'";
}

// 0 when the arguments are sound, else the exit status (message printed).
int parseOptions(int argc, char** argv, BakeOptions* options) {
    if (argc < 5 || std::strcmp(argv[1], "bake") != 0)
        return fail(2, std::string("usage: ") + kUsage);
    options->fontFile = argv[2];
    options->outPrefix = argv[4];
    if (!parseNumberArgument(argv[3], 1, 1024, &options->pixels))
        return fail(2, rangeMessage("PIXELS", 1, 1024, argv[3]));
    for (int i = 5; i < argc; i += 2) {
        const char* option = argv[i];
        if (i + 1 >= argc)
            return fail(2, std::string(option) + " needs a value");
        const char* value = argv[i + 1];
        if (!std::strcmp(option, "--chars"))
            options->charsFile = value;
        else if (!std::strcmp(option, "--outline")) {
            if (!parseNumberArgument(value, 0, 64, &options->outline))
                return fail(2, rangeMessage("--outline", 0, 64, value));
        } else if (!std::strcmp(option, "--page")) {
            if (!parseNumberArgument(value, 16, 2048, &options->pageSize))
                return fail(2, rangeMessage("--page", 16, 2048, value));
        } else {
            return fail(2, std::string("unknown option '") + option + "'\nusage: " + kUsage);
        }
    }
    return 0;
}

// Printable ASCII and Latin-1, then every character of the chars file.
bool collectCharacters(const BakeOptions& options, std::set<int32_t>* codes, std::string* error) {
    for (int32_t code = 0x20; code <= 0x7E; ++code)
        codes->insert(code);
    for (int32_t code = 0xA0; code <= 0xFF; ++code)
        codes->insert(code);
    if (options.charsFile.empty())
        return true;
    std::ifstream in(options.charsFile, std::ios::binary);
    if (!in) {
        *error = "cannot read the characters file '" + options.charsFile + "'";
        return false;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t offset = 0;
    // The text ends at its first zero byte, as every engine text does.
    for (int32_t code; (code = textNextChar(text.c_str(), &offset, K_TEXT_UTF8)) != 0;) {
        if (code >= 0x20 && code != 0xFEFF)
            codes->insert(code);
    }
    return true;
}

int bake(const BakeOptions& options) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(options.fontFile, ec))
        return fail(1, "cannot open font file '" + options.fontFile + "'");
    std::string error;
    std::set<int32_t> codes;
    if (!collectCharacters(options, &codes, &error))
        return fail(1, error);
    FontRasterizer rasterizer;
    if (!rasterizer.open(options.fontFile, options.pixels, options.outline, &error))
        return fail(1, error);

    std::vector<RasterGlyph> glyphs; // ascending, so grouped by block as the engine needs
    glyphs.reserve(codes.size());
    for (int32_t code : codes) {
        if (!rasterizer.hasChar(code)) {
            std::fprintf(stderr, "glint-tool font: the font has no glyph for U+%04X, skipped\n",
                         static_cast<unsigned>(code));
            continue;
        }
        RasterGlyph glyph;
        if (!rasterizer.render(code, &glyph, &error))
            return fail(1, error);
        glyphs.push_back(std::move(glyph));
    }
    FontPages pages;
    if (!packGlyphs(glyphs, options.pageSize, &pages, &error))
        return fail(1, error);
    const int cellHeight = rasterizer.ascent() + rasterizer.descent();
    if (!writeFont(options.outPrefix, pages, rasterizer.ascent(), cellHeight, &error))
        return fail(1, error);
    std::printf("%s: %zu glyphs on %d page%s of %d pixels\n", descriptorPathFor(options.outPrefix).c_str(),
                pages.placed.size(), pages.pageCount, pages.pageCount == 1 ? "" : "s", options.pageSize);
    return 0;
}

int runFont(int argc, char** argv) {
    BakeOptions options;
    if (int status = parseOptions(argc, argv, &options))
        return status;
    return bake(options);
}

} // namespace

GLINT_TOOL_COMMAND("font", kUsage, runFont);

} // namespace glint::tool
