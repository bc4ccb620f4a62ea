// Fonts for the text tests: DejaVu Sans baked by glint-tool once per test
// program, small hand-made fonts with exact metrics, and a recorder of what
// the quad batch is given.
#pragma once

#include "engine/render/quad_batch.h"
#include "engine/text/text.h"
#include "support/test_support.h"

#include <cstdint>
#include <string>
#include <vector>

namespace glint::test {

constexpr const char* kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

struct FontFiles {
    std::string descriptor, page0;
};

// DejaVu Sans at 16 pixels, baked with the default character set; empty
// paths (and a test failure) when the tool fails.
const FontFiles& bakedDejaVu();

// A glyph of a hand-made font: an 8 x 16 texel cell on a white page.
struct FixtureGlyph {
    int32_t code;
    int advance = 10;
    int xOffset = 0;
    int yOffset = 0;
    int page = 0;
    int height = 20;
};

// The descriptor text of a hand-made font (cells laid out in a grid).
std::string fixtureDescriptor(const std::vector<FixtureGlyph>& glyphs, int pages);
// Writes dir/NAME.font and white 256 x 256 pages dir/_NAME_0.png, ... made
// by ImageMagick.
FontFiles writeFixtureFont(const std::filesystem::path& dir, const std::string& name,
                           const std::vector<FixtureGlyph>& glyphs, int pages = 1);
// Glyphs a-z, A-Z, space and a few CJK characters, all advance 10.
std::vector<FixtureGlyph> plainGlyphs();

struct DrawnQuad {
    const KTexture* texture;
    float left, top, right, bottom; // game units, y down
    float u, v;                     // top-left texel
};

// Installs itself as the batch's drawer while it lives (no GL needed).
class QuadRecorder {
public:
    QuadRecorder();
    ~QuadRecorder();
    QuadRecorder(const QuadRecorder&) = delete;
    QuadRecorder& operator=(const QuadRecorder&) = delete;

    // Flushes the batch and returns everything drawn so far.
    const std::vector<DrawnQuad>& finish();
    int drawCalls() const { return drawCalls_; }

private:
    static void record(const KQuadRun& run, void* user);
    std::vector<DrawnQuad> quads_;
    int drawCalls_ = 0;
    bool created_ = false;
};

// The glyph a quad shows, found by its texels; null when none matches.
const KGlyph* glyphOf(const KText& font, const DrawnQuad& quad);

// Drawn characters grouped into lines by their pen y (top - yOffset).
struct DrawnLine {
    float y = 0;
    std::u32string text;
    std::vector<float> x; // left edge of each glyph
};
std::vector<DrawnLine> linesOf(const KText& font, const std::vector<DrawnQuad>& quads);

} // namespace glint::test
