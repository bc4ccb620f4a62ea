#include "text/font_list.h"

#include "engine/resources/resource.h"
#include "engine/system/log.h"
#include "resource/cfg_value.h"
#include "resource/number.h"

#include <cstdio>
#include <string>

namespace glint {

namespace {

std::string resolved(const std::string& path) { return resolveDataPath(path.c_str()); }

bool fileExists(const std::string& path) {
    KResourceEntryInfo info;
    return resourceGetInfo(path.c_str(), &info) && info.modificationTime != 0;
}

float lineSpacingOf(int number) {
    char key[48];
    std::snprintf(key, sizeof key, "font_%.2d_line_spacing", number);
    char value[kCfgValueSize];
    readCfgValue(resolved(std::string(kFontsFolder) + "/fonts.cfg").c_str(), key, value);
    return value[0] ? parseNumber(value) : 0;
}

} // namespace

KText* MFontList::font(int number) const {
    return number >= 0 && number < count() ? fonts_[static_cast<size_t>(number)].get() : nullptr;
}

KText* MFontList::drawingFont(int number) const {
    if (number < 0)
        return nullptr;
    if (number >= count() || (number == 0 && count() > 1 && !font(0)))
        number = 1;
    return font(number);
}

void MFontList::set(int number, std::unique_ptr<KText> font) {
    if (number < 0)
        return;
    if (number >= count())
        fonts_.resize(static_cast<size_t>(number) + 1);
    fonts_[static_cast<size_t>(number)] = std::move(font);
}

int loadFonts(MFontList& list, const char* textureExtension) {
    int found = 0;
    for (int number = 0;; ++number) {
        const std::string folder = kFontsFolder;
        const std::string page0 =
            resolved(folder + "/_font_" + std::to_string(number) + "_0." + (textureExtension ? textureExtension : ""));
        const std::string descriptor = resolved(folder + "/font_" + std::to_string(number) + ".font");
        if (!fileExists(page0) || !fileExists(descriptor)) {
            if (number == 0)
                continue;
            return found;
        }
        auto font = std::make_unique<KText>();
        if (!font->loadFont(descriptor.c_str(), page0.c_str()))
            debugTrace("WARNING: font %d did not load completely", number);
        for (float& spacing : font->pageSpacing)
            spacing = 0;
        font->lineSpacing = lineSpacingOf(number);
        list.set(number, std::move(font));
        ++found;
    }
}

} // namespace glint
