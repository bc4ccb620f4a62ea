#include "engine/render/gl.h"
#include "engine/render/quad_batch.h"
#include "engine/render/render_state.h"
#include "engine/render/texture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace glint {
namespace {

struct Draw {
    KTexture* texture;
    int blendMode, primitive, count;
    std::vector<float> positions, texCoords;
    std::vector<uint32_t> colors;
};

// Watches the batching without a GL context: the batch is set up with no
// GL calls when only its data is used.
class QuadBatchTest : public testing::Test {
protected:
    void SetUp() override {
        batch = KQuadBatch::current();
        if (!batch) {
            // setup() touches GL; without a context every GL call is a no-op
            // of the dispatch library, so only the data is exercised.
            batch = KQuadBatch::setup();
            created = true;
        }
        batch->flush(true);
        batch->setDrawer(record, &draws);
        renderState.flipHeight = 768;
        first.textureWidth = 256;
        first.textureHeight = 128;
        second.textureWidth = 64;
        second.textureHeight = 64;
    }
    void TearDown() override {
        batch->flush(true);
        batch->setDrawer(nullptr, nullptr);
        if (created)
            KQuadBatch::destroy();
    }

    static void record(const KQuadRun& run, void* user) {
        auto* draws = static_cast<std::vector<Draw>*>(user);
        Draw draw{run.texture, run.blendMode, run.primitive, run.count, {}, {}, {}};
        for (int i = 0; i < run.count; ++i) {
            const KQuadVertex& v = run.vertices[i];
            draw.positions.insert(draw.positions.end(), {v.x, v.y});
            draw.texCoords.insert(draw.texCoords.end(), {v.u, v.v});
            draw.colors.push_back(v.color);
        }
        draws->push_back(draw);
    }

    void quad(float x = 0, float y = 0) { batch->addRect(0, 0, 16, 16, x, y, 1, 1, 0xFFFFFFFF); }

    KQuadBatch* batch = nullptr;
    bool created = false;
    std::vector<Draw> draws;
    KTexture first, second;
};

TEST_F(QuadBatchTest, OneDrawPerRunOfEqualState) {
    batch->setState(&first, K_BLEND_ALPHA, K_PRIMITIVE_QUADS);
    quad();
    batch->setState(&first, K_BLEND_ALPHA, K_PRIMITIVE_QUADS);
    quad();
    EXPECT_TRUE(draws.empty());
    batch->setState(&second, K_BLEND_ALPHA, K_PRIMITIVE_QUADS);
    quad();
    batch->setState(&second, K_BLEND_ADD, K_PRIMITIVE_QUADS);
    quad();
    batch->flush(false);
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[0].texture, &first);
    EXPECT_EQ(draws[0].count, 8);
    EXPECT_EQ(draws[1].texture, &second);
    EXPECT_EQ(draws[1].blendMode, K_BLEND_ALPHA);
    EXPECT_EQ(draws[2].blendMode, K_BLEND_ADD);
    EXPECT_EQ(batch->blendMode(), K_BLEND_ADD) << "a flush without reset keeps the state";
}

TEST_F(QuadBatchTest, FullBatchFlushesBeforeTheNextQuad) {
    batch->setState(&first, K_BLEND_ALPHA, K_PRIMITIVE_QUADS);
    for (int i = 0; i < KQuadBatch::kCapacity / 4; ++i)
        quad();
    EXPECT_TRUE(draws.empty());
    quad();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].count, KQuadBatch::kCapacity);
    EXPECT_EQ(batch->count(), 4);
    EXPECT_EQ(batch->texture(), &first);
}

TEST_F(QuadBatchTest, LinesAreNeverKeptAcrossStateCalls) {
    batch->setState(&first, K_BLEND_ALPHA, K_PRIMITIVE_LINES);
    quad();
    batch->setState(&first, K_BLEND_ALPHA, K_PRIMITIVE_LINES);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].primitive, K_PRIMITIVE_LINES);
}

TEST_F(QuadBatchTest, NoTextureDrawsNothing) {
    batch->setState(nullptr, K_BLEND_ALPHA, K_PRIMITIVE_QUADS);
    quad();
    EXPECT_EQ(batch->count(), 0);
    batch->flush(true);
    EXPECT_TRUE(draws.empty());
    EXPECT_EQ(batch->primitive(), -1);
}

TEST_F(QuadBatchTest, VerticesFlipYAndNormaliseTexels) {
    batch->setState(&first, K_BLEND_ALPHA, K_PRIMITIVE_QUADS);
    batch->addRect(16, 8, 48, 24, 100, 0, 2, 0.5f, 0x80FF0000);
    batch->flush(false);
    ASSERT_EQ(draws.size(), 1u);
    const Draw& d = draws[0];
    // Corners: top-left, top-right, bottom-right, bottom-left; y up from 768.
    const float positions[] = {100, 768, 164, 768, 164, 760, 100, 760};
    const float texels[] = {16, 8, 48, 8, 48, 24, 16, 24};
    for (int i = 0; i < 8; i += 2) {
        EXPECT_FLOAT_EQ(d.positions[i], positions[i]) << i;
        EXPECT_FLOAT_EQ(d.positions[i + 1], positions[i + 1]) << i;
        EXPECT_FLOAT_EQ(d.texCoords[i], texels[i] / 256) << i;
        EXPECT_FLOAT_EQ(d.texCoords[i + 1], texels[i + 1] / 128) << i;
    }
    for (uint32_t color : d.colors)
        EXPECT_EQ(color, 0x80FF0000u);
}

// Quads in the order they are added, and the draws they must become: each
// draw is its texture (with "+" for additive blending) and the x of its
// quads in drawing order.
struct Placed {
    int texture; // 0 = first, 1 = second, 2 = third
    int blendMode;
    float x, y;
};

struct ReorderCase {
    const char* name;
    std::vector<Placed> quads;
    const char* draws;
};

class QuadReorderTest : public QuadBatchTest, public testing::WithParamInterface<ReorderCase> {
protected:
    std::string drawn() const {
        std::string text;
        for (const Draw& d : draws) {
            text += text.empty() ? "" : " ";
            text += d.texture == &first ? "A" : d.texture == &second ? "B" : "C";
            text += d.blendMode == K_BLEND_ADD ? "+:" : ":";
            for (int v = 0; v < d.count; v += 4)
                text += (v ? "," : "") + number(d.positions[v * 2]);
        }
        return text;
    }
    static std::string number(float x) { return std::isnan(x) ? "nan" : std::to_string(static_cast<int>(x)); }
    KTexture third;
};

TEST_P(QuadReorderTest, QuadsJoinTheirStateUnlessAnOverlapForbids) {
    KTexture* textures[3] = {&first, &second, &third};
    for (const Placed& q : GetParam().quads) {
        batch->setState(textures[q.texture], q.blendMode, K_PRIMITIVE_QUADS);
        quad(q.x, q.y);
    }
    batch->flush(false);
    EXPECT_EQ(drawn(), GetParam().draws);
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Cases, QuadReorderTest,
    testing::Values(
        ReorderCase{"ApartQuadsJoin", {{0, 0, 0, 0}, {1, 0, 100, 0}, {0, 0, 200, 0}}, "A:0,200 B:100"},
        ReorderCase{"OverlapKeepsTheOrder", {{0, 0, 0, 0}, {1, 0, 100, 0}, {0, 0, 110, 8}}, "A:0 B:100 A:110"},
        ReorderCase{"OverlapWithItsOwnRunJoins", {{0, 0, 0, 0}, {1, 0, 100, 0}, {0, 0, 8, 8}}, "A:0,8 B:100"},
        ReorderCase{"BlendModeIsPartOfTheState",
                    {{0, 0, 0, 0}, {0, K_BLEND_ADD, 100, 0}, {0, 0, 200, 0}},
                    "A:0,200 A+:100"},
        ReorderCase{"SeveralStatesInterleave",
                    {{0, 0, 0, 0}, {1, 0, 100, 0}, {2, 0, 200, 0}, {0, 0, 300, 0}, {1, 0, 400, 0}},
                    "A:0,300 B:100,400 C:200"},
        ReorderCase{"OnlyTheNewestRunOfAStateIsJoined",
                    {{0, 0, 0, 0}, {1, 0, 8, 0}, {0, 0, 16, 0}, {1, 0, 600, 0}, {0, 0, 300, 0}},
                    "A:0 B:8,600 A:16,300"},
        ReorderCase{"OverlapInAnotherCellRowStillCounts",
                    {{0, 0, 0, 28}, {1, 0, 0, 40}, {0, 0, 4, 36}},
                    "A:0 B:0 A:4"},
        ReorderCase{"QuadWithoutNumbersOverlapsEverything",
                    {{0, 0, 0, 0}, {1, 0, kNaN, kNaN}, {0, 0, 1000, 1000}},
                    "A:0 B:nan A:1000"},
        ReorderCase{"FarAwayQuadsKeepTheirOrder",
                    {{0, 0, -5e8f, 0}, {1, 0, 3000, 3000}, {0, 0, 3008, 3008}},
                    "A:-500000000 B:3000 A:3008"}),
    [](const testing::TestParamInfo<ReorderCase>& info) { return std::string(info.param.name); });

TEST_F(QuadBatchTest, WithoutReorderingEveryChangeOfStateIsADraw) {
    batch->setReordering(false);
    for (float x : {0.0f, 100.0f, 200.0f}) {
        batch->setState(x == 100 ? &second : &first, K_BLEND_ALPHA, K_PRIMITIVE_QUADS);
        quad(x);
    }
    batch->flush(false);
    batch->setReordering(true);
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[2].texture, &first);
}

TEST_F(QuadBatchTest, WaitingQuadsAreDrawnBeforeTheirTextureChanges) {
    batch->setState(&first, K_BLEND_ALPHA, K_PRIMITIVE_QUADS);
    quad();
    batch->setState(&second, K_BLEND_ALPHA, K_PRIMITIVE_QUADS);
    quad(100);
    KTexture unused;
    batch->flushIfUses(&unused);
    EXPECT_TRUE(draws.empty());
    batch->flushIfUses(&first);
    EXPECT_EQ(draws.size(), 2u);
    EXPECT_EQ(batch->texture(), &second) << "the state stays for the quads to come";
}

TEST(BlendFactors, PerMode) {
    EXPECT_EQ(blendFactorsFor(K_BLEND_ALPHA).source, GL_SRC_ALPHA);
    EXPECT_EQ(blendFactorsFor(K_BLEND_ALPHA).destination, GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(blendFactorsFor(K_BLEND_ADD).destination, GL_ONE);
    EXPECT_EQ(blendFactorsFor(K_BLEND_MULTIPLY).source, GL_ZERO);
    EXPECT_EQ(blendFactorsFor(K_BLEND_MULTIPLY).destination, GL_SRC_COLOR);
    EXPECT_EQ(blendFactorsFor(7).destination, GL_ONE_MINUS_SRC_ALPHA);
}

} // namespace
} // namespace glint
