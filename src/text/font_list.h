// The game's fonts by number, as scripts and scenes refer to them, found at
// start-up in "data/_interface/fonts": font n is "font_n.font" with the pages
// "_font_n_0.EXT", "_font_n_1.EXT" and so on.
#pragma once

#include "engine/text/text.h"

#include <memory>
#include <vector>

namespace glint {

constexpr const char* kFontsFolder = "data/_interface/fonts";

class MFontList {
public:
    // The font of a number, or null when there is none.
    KText* font(int number) const;
    // The font an element or the tooltip of that number draws with: a
    // number past the last font, or 0 when font 0 is missing and others
    // exist, gives font 1; negative numbers have none.
    KText* drawingFont(int number) const;
    // Numbers 0 to count() - 1 may hold fonts.
    int count() const { return static_cast<int>(fonts_.size()); }
    void set(int number, std::unique_ptr<KText> font);
    void clear() { fonts_.clear(); }

private:
    std::vector<std::unique_ptr<KText>> fonts_;
};

// Fills the list with fonts 0, 1, 2, ... up to the first missing one (a
// missing font 0 is passed over); textureExtension is the build's font
// texture extension (BuildFontsTexturesExtensions). Each font's extra line
// spacing is the key "font_NN_line_spacing" of "fonts.cfg". A font whose
// descriptor or pages fail to load is still listed. Returns the fonts found.
int loadFonts(MFontList& list, const char* textureExtension);

} // namespace glint
