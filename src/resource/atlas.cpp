#include "resource/atlas.h"

#include "engine/resources/resource.h"
#include "engine/system/log.h"
#include "resource/configuration.h"
#include "resource/line_reader.h"
#include "resource/number.h"
#include "resource/resource_manager.h"
#include "resource/text_file.h"

#include <cstdio>
#include <cstring>

namespace glint {

namespace {

constexpr size_t kMaxExtensionLength = 15;

// Optional "-" and decimal digits; anything else ends the number.
int pageNumber(const char* token) {
    bool negative = *token == '-';
    if (negative)
        ++token;
    unsigned value = 0; // unsigned: an over-long number wraps instead of overflowing
    for (; *token >= '0' && *token <= '9'; ++token) value = value * 10u + static_cast<unsigned>(*token - '0');
    return static_cast<int>(negative ? 0u - value : value);
}

std::string imagePath(const char* sceneFolder, const char* token) {
    if (std::strncmp(token, "data/", 5) == 0)
        return token;
    return std::string(sceneFolder) + "/" + token;
}

// Whether making page the parent of texture would close a loop of parents,
// which would leave acquiring either of them walking forever.
bool wouldLoop(const MTexture* texture, const MTexture* page) {
    for (const MTexture* t = page; t; t = t->atlasParent)
        if (t == texture)
            return true;
    return false;
}

struct AtlasReader {
    MResourceManager& resources;
    const char* file;
    const char* sceneFolder;
    const char* extension;
    bool dynamic;
    MTexture* page = nullptr;
    int pageNumber = 0;
    bool first = true;

    void readLine(char* line) {
        MTokenReader tokens(line);
        if (!tokens.next())
            return;
        int number = glint::pageNumber(tokens.token);
        if (first || number != pageNumber) {
            page = resources.texture(atlasPagePath(file, number, extension).c_str(), false, false);
            pageNumber = number;
            first = false;
        }
        if (!page || !tokens.next())
            return;
        MTexture* texture = resources.texture(imagePath(sceneFolder, tokens.token).c_str(), false, false);
        if (!texture)
            return;
        if (wouldLoop(texture, page)) {
            debugTrace("WARNING: %s lists its own page as %s", file, texture->path);
            return;
        }
        texture->atlasParent = page;
        texture->dynamic = dynamic ? 1 : 0;
        texture->atlasX = tokens.nextFloat(0);
        texture->atlasY = tokens.nextFloat(0);
        texture->atlasWidth = tokens.nextFloat(0);
        texture->atlasHeight = tokens.nextFloat(0);
    }
};

} // namespace

std::string atlasPagePath(const char* atlasFile, int page, const char* extension) {
    std::string path(atlasFile);
    size_t dot = path.rfind('.');
    if (dot != std::string::npos)
        path.erase(dot);
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, "_%.2d.", page);
    return path + suffix + extension;
}

std::string atlasPageExtension(const MConfiguration& atlasConfig, const char* sceneFolder, bool dynamic,
                               const char* fallback) {
    Symbol* entry = atlasConfig.getString(intern(sceneFolder), nullptr);
    const char* marker = dynamic ? "dynamic_format:" : "nformat:";
    const char* found = entry ? std::strstr(entry->text, marker) : nullptr;
    if (!found)
        return fallback;
    found += std::strlen(marker);
    size_t length = std::strcspn(found, ",");
    return std::string(found, length < kMaxExtensionLength ? length : kMaxExtensionLength);
}

bool loadAtlas(MResourceManager& resources, const char* atlasFile, const char* sceneFolder,
               const char* pageExtension, bool dynamic) {
    MTextFile text;
    if (!text.loadText(resolveDataPath(atlasFile)))
        return false;
    addAtlasText(resources, text.data(), atlasFile, sceneFolder, pageExtension, dynamic);
    return true;
}

void addAtlasText(MResourceManager& resources, char* text, const char* atlasFile, const char* sceneFolder,
                  const char* pageExtension, bool dynamic) {
    AtlasReader reader{resources, atlasFile, sceneFolder, pageExtension, dynamic};
    MLineReader lines(text);
    while (lines.next()) reader.readLine(lines.line);
}

} // namespace glint
