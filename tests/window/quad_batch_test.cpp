#include "engine/render/gl.h"
#include "engine/render/quad_batch.h"
#include "engine/render/render_state.h"
#include "engine/render/texture.h"

#include <gtest/gtest.h>

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

    static void record(const KQuadBatch& b, void* user) {
        auto* draws = static_cast<std::vector<Draw>*>(user);
        int n = b.count();
        draws->push_back({b.texture(), b.blendMode(), b.primitive(), n,
                          std::vector<float>(b.positions(), b.positions() + n * 2),
                          std::vector<float>(b.texCoords(), b.texCoords() + n * 2),
                          std::vector<uint32_t>(b.colors(), b.colors() + n)});
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
    for (int i = 0; i < 1024; ++i)
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
