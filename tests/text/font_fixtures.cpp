#include "text/font_fixtures.h"

#include "engine/render/quad_batch.h"
#include "engine/render/render_state.h"
#include "engine/render/texture.h"
#include "engine/resources/resource.h"

#include <gtest/gtest.h>

#include <cmath>

namespace glint::test {

namespace {

constexpr float kFlip = 1000; // the batch stores y as flip height - y

// Fonts are read through the resource layer.
class ResourceLayer : public testing::Environment {
public:
    void SetUp() override { resourceInit(); }
};

const auto* resourceLayer = testing::AddGlobalTestEnvironment(new ResourceLayer);

} // namespace

const FontFiles& bakedDejaVu() {
    static TempDir dir;
    static FontFiles files;
    if (files.descriptor.empty()) {
        std::string prefix = (dir / "font_0").string();
        CommandResult result =
            runCommand(shellQuote(toolPath()) + " font bake " + shellQuote(kDejaVuSans) + " 16 " + shellQuote(prefix));
        if (result.status != 0) {
            ADD_FAILURE() << "glint-tool font bake failed: " << result.err;
            static const FontFiles none;
            return none;
        }
        files = {prefix + ".font", (dir / "_font_0_0.png").string()};
    }
    return files;
}

std::string fixtureDescriptor(const std::vector<FixtureGlyph>& glyphs, int pages) {
    std::string text = "FONT 1 " + std::to_string(pages) + " " + std::to_string(glyphs.size()) + "\r\n";
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const FixtureGlyph& g = glyphs[i];
        int x1 = static_cast<int>(i % 32) * 8, y1 = static_cast<int>(i / 32) * 16;
        text += std::to_string(g.code) + " " + std::to_string(x1) + " " + std::to_string(y1) + " " +
                std::to_string(x1 + 7) + " " + std::to_string(y1 + 15) + " " + std::to_string(g.advance) + " " +
                std::to_string(g.height) + " " + std::to_string(g.page) + " " + std::to_string(g.xOffset) + " " +
                std::to_string(g.yOffset) + "\r\n";
    }
    return text;
}

FontFiles writeFixtureFont(const std::filesystem::path& dir, const std::string& name,
                           const std::vector<FixtureGlyph>& glyphs, int pages) {
    writeFile(dir / (name + ".font"), fixtureDescriptor(glyphs, pages));
    for (int page = 0; page < pages; ++page) {
        std::string path = (dir / ("_" + name + "_" + std::to_string(page) + ".png")).string();
        CommandResult made = runCommand("convert -size 256x256 xc:white PNG32:" + shellQuote(path));
        EXPECT_EQ(made.status, 0) << made.err;
    }
    return {(dir / (name + ".font")).string(), (dir / ("_" + name + "_0.png")).string()};
}

std::vector<FixtureGlyph> plainGlyphs() {
    std::vector<FixtureGlyph> glyphs{{' '}};
    for (char32_t c = 'A'; c <= 'Z'; ++c)
        glyphs.push_back({static_cast<int32_t>(c)});
    for (char32_t c = 'a'; c <= 'z'; ++c)
        glyphs.push_back({static_cast<int32_t>(c)});
    for (char32_t c : U"日本語の文章ですは")
        if (c)
            glyphs.push_back({static_cast<int32_t>(c)});
    return glyphs;
}

QuadRecorder::QuadRecorder() {
    if (!KQuadBatch::current()) {
        KQuadBatch::setup(); // without a GL context every GL call is a no-op
        created_ = true;
    }
    KQuadBatch::current()->flush(true);
    KQuadBatch::current()->setDrawer(record, this);
    renderState.flipHeight = static_cast<int>(kFlip);
}

QuadRecorder::~QuadRecorder() {
    KQuadBatch::current()->flush(true);
    KQuadBatch::current()->setDrawer(nullptr, nullptr);
    if (created_)
        KQuadBatch::destroy();
}

const std::vector<DrawnQuad>& QuadRecorder::finish() {
    KQuadBatch::current()->flush(true);
    return quads_;
}

void QuadRecorder::record(const KQuadRun& run, void* user) {
    auto* self = static_cast<QuadRecorder*>(user);
    ++self->drawCalls_;
    const KTexture* texture = run.texture;
    for (int q = 0; q < run.count / 4; ++q) {
        const KQuadVertex* v = run.vertices + q * 4;
        self->quads_.push_back({texture, v[0].x, kFlip - v[0].y, v[1].x, kFlip - v[2].y,
                                v[0].u * static_cast<float>(texture->textureWidth),
                                v[0].v * static_cast<float>(texture->textureHeight)});
    }
}

const KGlyph* glyphOf(const KText& font, const DrawnQuad& quad) {
    for (const KGlyph* g = font.glyphs(); g->code != 0; ++g) {
        if (std::fabs(g->x1 - quad.u) < 0.01f && std::fabs(g->y1 - quad.v) < 0.01f &&
            font.page(g->page) == quad.texture)
            return g;
    }
    return nullptr;
}

std::vector<DrawnLine> linesOf(const KText& font, const std::vector<DrawnQuad>& quads) {
    std::vector<DrawnLine> lines;
    for (const DrawnQuad& quad : quads) {
        const KGlyph* glyph = glyphOf(font, quad);
        if (!glyph) {
            ADD_FAILURE() << "a quad shows no glyph of the font";
            continue;
        }
        float y = quad.top - static_cast<float>(glyph->yOffset);
        if (lines.empty() || std::fabs(lines.back().y - y) > 0.01f)
            lines.push_back({y, {}, {}});
        lines.back().text += static_cast<char32_t>(glyph->code);
        lines.back().x.push_back(quad.left);
    }
    return lines;
}

} // namespace glint::test
