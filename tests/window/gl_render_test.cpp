// Textures and the quad batch drawn for real and read back.
#include "support/gl_test_support.h"

#include "engine/render/quad_batch.h"
#include "engine/render/render_state.h"
#include "engine/render/texture.h"
#include "engine/resources/resource.h"
#include "engine/system/log.h"
#include "support/test_support.h"

#include <vector>

namespace glint::test {
namespace {

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF, kBlack = 0;

// Game and window of 64 x 48, drawn 1:1.
class RenderTest : public GlWindowTest {
protected:
    void SetUp() override { open(64, 48, 64, 48); }

    // A texture of one colour (0xAARRGGBB pixels).
    void solid(KTexture& texture, uint32_t argb, uint32_t size = 4) {
        std::vector<uint32_t> pixels(size * size, argb);
        ASSERT_TRUE(texture.createFromPixels(pixels.data(), size, size, 0, 0, true));
    }

    static void fill(KTexture& texture, int blend, uint32_t color, float x = 0, float y = 0, float w = 64,
                     float h = 48) {
        KQuadBatch* batch = KQuadBatch::current();
        batch->setState(&texture, blend, K_PRIMITIVE_QUADS);
        batch->addRect(0, 0, 1, 1, x, y, w, h, color);
    }
};

TEST_F(RenderTest, TexelsLandOnTheirPixels) {
    // Four columns, four rows: every texel its own colour.
    std::vector<uint32_t> pixels(16);
    for (uint32_t i = 0; i < 16; ++i)
        pixels[i] = 0xFF000000 | (i * 16) << 16 | (255 - i * 16) << 8 | (i % 4) * 60;
    for (GLint filter : {GL_NEAREST, GL_LINEAR}) {
        KTexture texture;
        texture.filter = filter;
        ASSERT_TRUE(texture.createFromPixels(pixels.data(), 4, 4, 0, 0, false));
        Readback frame = drawFrame([&] {
            KQuadBatch::current()->setState(&texture, K_BLEND_ALPHA, K_PRIMITIVE_QUADS);
            KQuadBatch::current()->addRect(0, 0, 4, 4, 10, 20, 1, 1, rgba(255, 255, 255));
        });
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x)
                EXPECT_EQ(frame.at(10 + x, 20 + y), pixels[y * 4 + x] & 0xFFFFFF)
                    << "texel " << x << "," << y << " filter " << filter;
        }
        EXPECT_EQ(frame.at(9, 20), kBlack);
        EXPECT_EQ(frame.at(14, 23), kBlack);
    }
}

TEST_F(RenderTest, ColourModulatesTheTexture) {
    KTexture white;
    solid(white, 0xFFFFFFFF);
    Readback frame = drawFrame([&] { fill(white, K_BLEND_ALPHA, rgba(255, 0, 0)); });
    EXPECT_EQ(frame.at(0, 0), kRed);
    EXPECT_EQ(frame.at(63, 47), kRed);
}

TEST_F(RenderTest, BlendModes) {
    KTexture white, halfGreen;
    solid(white, 0xFFFFFFFF);
    solid(halfGreen, 0xFF00FF00);
    Readback frame = drawFrame([&] {
        fill(white, K_BLEND_ALPHA, rgba(0, 0, 255));                          // blue everywhere
        fill(white, K_BLEND_ALPHA, rgba(255, 0, 0, 128), 0, 0, 16, 48);       // half red over it
        fill(white, K_BLEND_ADD, rgba(255, 0, 0), 16, 0, 16, 48);             // plus red
        fill(white, K_BLEND_ALPHA, rgba(255, 255, 255), 32, 0, 32, 48);       // white
        fill(halfGreen, K_BLEND_MULTIPLY, rgba(255, 255, 255), 32, 0, 16, 48); // times green
    });
    uint32_t mixed = frame.at(0, 0);
    EXPECT_NEAR(static_cast<int>(mixed >> 16), 128, 2);
    EXPECT_EQ(mixed & 0xFF00, 0u);
    EXPECT_NEAR(static_cast<int>(mixed & 0xFF), 127, 2);
    EXPECT_EQ(frame.at(20, 10), 0xFF00FFu);
    EXPECT_EQ(frame.at(40, 10), kGreen);
    EXPECT_EQ(frame.at(50, 10), kWhite);
}

TEST_F(RenderTest, ClipRectangleCutsTheDrawing) {
    KTexture white;
    solid(white, 0xFFFFFFFF);
    Readback frame = drawFrame([&] {
        window.setClip(true, 8, 4, 24, 12);
        fill(white, K_BLEND_ALPHA, rgba(0, 255, 0));
        KQuadBatch::current()->flush(true);
        window.setClip(false);
        fill(white, K_BLEND_ALPHA, rgba(0, 0, 255), 0, 40, 64, 8);
    });
    EXPECT_EQ(frame.at(8, 4), kGreen);
    EXPECT_EQ(frame.at(23, 11), kGreen);
    EXPECT_EQ(frame.at(7, 4), kBlack);
    EXPECT_EQ(frame.at(24, 11), kBlack);
    EXPECT_EQ(frame.at(8, 3), kBlack);
    EXPECT_EQ(frame.at(8, 12), kBlack);
    EXPECT_EQ(frame.at(0, 47), kBlue) << "clip off draws everywhere again";
    EXPECT_FALSE(window.customClip);
}

TEST_F(RenderTest, ViewTransformMovesAndRotates) {
    KTexture white;
    solid(white, 0xFFFFFFFF);
    Readback moved = drawFrame([&] {
        window.setView(5, 7, 0, 0, 0, 1, 1);
        fill(white, K_BLEND_ALPHA, rgba(255, 0, 0), 0, 0, 2, 2);
    });
    EXPECT_EQ(moved.at(5, 7), kRed);
    EXPECT_EQ(moved.at(6, 8), kRed);
    EXPECT_EQ(moved.at(4, 7), kBlack);

    Readback turned = drawFrame([&] {
        window.setView(0, 0, 0, 0, 180, 1, 1);
        fill(white, K_BLEND_ALPHA, rgba(255, 0, 0), 0, 0, 2, 2);
    });
    EXPECT_EQ(turned.at(63, 47), kRed) << "half a turn about the centre";
    EXPECT_EQ(turned.at(0, 0), kBlack);
}

TEST_F(RenderTest, ImagesArePaddedToSquarePowersOfTwo) {
    std::vector<uint32_t> pixels(5 * 3, 0xFF00FF00);
    KTexture texture;
    ASSERT_TRUE(texture.createFromPixels(pixels.data(), 5, 3, 0, 0, false));
    EXPECT_EQ(texture.textureWidth, 8u);
    EXPECT_EQ(texture.textureHeight, 8u);
    Readback frame = drawFrame([&] {
        KQuadBatch::current()->setState(&texture, K_BLEND_ALPHA, K_PRIMITIVE_QUADS);
        KQuadBatch::current()->addRect(0, 0, 6, 4, 0, 0, 1, 1, rgba(255, 255, 255));
    });
    EXPECT_EQ(frame.at(4, 2), kGreen);
    EXPECT_EQ(frame.at(5, 0), kBlack) << "the zero column next to the image";
    EXPECT_EQ(frame.at(0, 3), kBlack) << "the zero row below it";
}

TEST_F(RenderTest, SameSizeUploadsReuseTheTexture) {
    std::vector<uint32_t> red(16 * 16, 0xFFFF0000), blue(16 * 16, 0xFF0000FF);
    KTexture texture;
    ASSERT_TRUE(texture.createFromPixels(red.data(), 16, 16, 0, 0, false));
    int64_t name = texture.glName;
    ASSERT_TRUE(texture.upload(blue.data(), 16, 16, 16, 16));
    EXPECT_EQ(texture.glName, name);
    Readback frame = drawFrame([&] { fill(texture, K_BLEND_ALPHA, rgba(255, 255, 255)); });
    EXPECT_EQ(frame.at(3, 3), kBlue);

    ASSERT_TRUE(texture.upload(red.data(), 16, 16, 32, 32));
    EXPECT_NE(texture.glName, name);
    EXPECT_EQ(texture.textureWidth, 32u);
}

TEST_F(RenderTest, OversizedTexturesAreRefused) {
    std::vector<uint32_t> pixels(64 * 64, 0xFFFFFFFF);
    KTexture texture;
    clearMemoryLog();
    EXPECT_FALSE(texture.createFromPixels(pixels.data(), 64, 64, 4096, 2048, false)) << "padding past the staging buffer";
    EXPECT_FALSE(texture.createFromPixels(pixels.data(), 64, 64, 32, 32, false)) << "texture smaller than the image";
    int tooLarge = window.maxTextureSize * 2;
    EXPECT_FALSE(texture.createFromPixels(pixels.data(), 64, 64, static_cast<uint32_t>(tooLarge), 64, false));
    EXPECT_EQ(texture.glName, -1);
    EXPECT_NE(memoryLog().find("cannot be created, ERROR"), std::string::npos);
    // The largest padded texture the staging buffer holds is fine.
    EXPECT_TRUE(texture.createFromPixels(pixels.data(), 64, 64, 2048, 2048, false));
}

// Many half-transparent quads from three textures in three blend modes,
// overlapping or not: the picture may not depend on how the batch groups
// them into draws, nor on where the driver reads the vertices from.
TEST_F(RenderTest, ReorderedRunsAndClientArraysDrawTheSamePicture) {
    KTexture red, green, blue;
    solid(red, 0xC0FF4020);
    solid(green, 0x8020FF40);
    solid(blue, 0xA04020FF);
    KTexture* textures[3] = {&red, &green, &blue};
    auto scene = [&] {
        uint32_t random = 7;
        auto next = [&random](uint32_t range) {
            random = random * 1664525u + 1013904223u;
            return (random >> 8) % range;
        };
        for (int i = 0; i < 400; ++i) {
            KTexture& texture = *textures[next(3)];
            int blend = next(5) == 0 ? K_BLEND_ADD : next(6) == 0 ? K_BLEND_MULTIPLY : K_BLEND_ALPHA;
            float size = static_cast<float>(2 + next(9));
            fill(texture, blend, rgba(255, 255, 255, 128 + next(128)), static_cast<float>(next(64)) - 4,
                 static_cast<float>(next(48)) - 4, size, size);
        }
    };
    ASSERT_TRUE(renderState.buffers.available()) << "Mesa has buffer objects";
    Readback reordered = drawFrame(scene);

    KQuadBatch::current()->setReordering(false);
    Readback inOrder = drawFrame(scene);
    KQuadBatch::current()->setReordering(true);
    EXPECT_TRUE(reordered.pixels == inOrder.pixels) << "reordering changed the picture";

    // The batch again, as on a driver without buffer objects.
    BufferFunctions buffers = renderState.buffers;
    KQuadBatch::destroy();
    renderState.buffers = {};
    KQuadBatch::setup();
    Readback fromMemory = drawFrame(scene);
    KQuadBatch::destroy();
    renderState.buffers = buffers;
    KQuadBatch::setup();
    EXPECT_TRUE(fromMemory.pixels == inOrder.pixels) << "client arrays drew another picture";
}

TEST_F(RenderTest, QuadsShowTheirTextureAsItWasWhenAdded) {
    std::vector<uint32_t> red(16 * 16, 0xFFFF0000), blue(16 * 16, 0xFF0000FF);
    KTexture frame, other;
    solid(other, 0xFFFFFFFF);
    ASSERT_TRUE(frame.createFromPixels(red.data(), 16, 16, 0, 0, false));
    Readback shot = drawFrame([&] {
        fill(frame, K_BLEND_ALPHA, rgba(255, 255, 255), 0, 0, 8, 8);
        fill(other, K_BLEND_ALPHA, rgba(0, 255, 0), 20, 0, 8, 8);
        // As a video shows its next frame while the scene is drawn.
        ASSERT_TRUE(frame.upload(blue.data(), 16, 16, 16, 16));
        fill(frame, K_BLEND_ALPHA, rgba(255, 255, 255), 40, 0, 8, 8);
    });
    EXPECT_EQ(shot.at(2, 2), kRed);
    EXPECT_EQ(shot.at(22, 2), kGreen);
    EXPECT_EQ(shot.at(42, 2), kBlue);
}

TEST_F(RenderTest, ReleaseAllKeepsTheImageFacts) {
    KTexture a, b;
    solid(a, 0xFFFFFFFF);
    solid(b, 0xFFFFFFFF, 16);
    int before = KTexture::count();
    KTexture::releaseAll();
    EXPECT_EQ(a.glName, -1);
    EXPECT_EQ(b.glName, -1);
    EXPECT_EQ(b.info.width, 16u);
    EXPECT_EQ(KTexture::count(), before);
    Readback frame = drawFrame([&] { fill(a, K_BLEND_ALPHA, rgba(255, 0, 0)); });
    EXPECT_EQ(frame.at(1, 1), kRed) << "a texture without a GL name draws plain colour";
}

// Image files made by ImageMagick, decoded and uploaded by the texture.
class ImageFileTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        resourceInit();
    }
    std::string make(const std::string& name, const std::string& arguments) {
        std::string path = (folder / name).string();
        CommandResult made = runCommand("convert " + arguments + " " + shellQuote(path));
        EXPECT_EQ(made.status, 0) << made.err;
        return path;
    }
    TempDir folder;
};

TEST_F(ImageFileTest, PngWithAlpha) {
    std::string path = make("half.png", "-size 8x8 xc:'rgba(0,0,255,0.5)'");
    KTexture texture;
    ASSERT_TRUE(texture.loadFile(path.c_str()));
    EXPECT_TRUE(texture.info.hasAlpha);
    EXPECT_EQ(texture.textureWidth, 8u);
    Readback frame = drawFrame([&] {
        KTexture white;
        solid(white, 0xFFFFFFFF);
        fill(white, K_BLEND_ALPHA, rgba(255, 0, 0));
        KQuadBatch::current()->flush(true);
        KQuadBatch::current()->setState(&texture, K_BLEND_ALPHA, K_PRIMITIVE_QUADS);
        KQuadBatch::current()->addRect(0, 0, 8, 8, 0, 0, 1, 1, rgba(255, 255, 255));
        KQuadBatch::current()->flush(true);
    });
    uint32_t mixed = frame.at(2, 2);
    EXPECT_NEAR(static_cast<int>(mixed >> 16), 127, 2);
    EXPECT_NEAR(static_cast<int>(mixed & 0xFF), 128, 2);
    EXPECT_EQ(frame.at(9, 9), kRed);
}

TEST_F(ImageFileTest, Dxt5DdsIsUploadedCompressed) {
    // 12 x 12 pixels are 3 x 3 blocks, padded to the 4 x 4 blocks of 16 x 16.
    std::string path =
        make("green.dds", "-size 12x12 xc:lime -alpha on -define dds:compression=dxt5 -define dds:mipmaps=0");
    KTexture texture;
    ASSERT_TRUE(texture.loadFile(path.c_str()));
    EXPECT_FALSE(texture.info.isUncompressed);
    EXPECT_EQ(texture.glFormat, GL_COMPRESSED_RGBA_S3TC_DXT5_EXT);
    EXPECT_EQ(texture.textureWidth, 16u);
    Readback frame = drawFrame([&] {
        KQuadBatch::current()->setState(&texture, K_BLEND_ALPHA, K_PRIMITIVE_QUADS);
        KQuadBatch::current()->addRect(0, 0, 16, 16, 0, 0, 1, 1, rgba(255, 255, 255));
    });
    EXPECT_EQ(frame.at(0, 0), kGreen);
    EXPECT_EQ(frame.at(11, 11), kGreen);
    EXPECT_EQ(frame.at(12, 5), kBlack) << "the zero block is transparent";
    EXPECT_EQ(frame.at(5, 12), kBlack);
}

TEST_F(ImageFileTest, MissingAndUndecodableFilesFail) {
    KTexture texture;
    EXPECT_FALSE(texture.loadFile((folder / "missing.png").c_str()));
    std::string text = (folder / "notes.txt").string();
    writeFile(text, "not an image");
    EXPECT_FALSE(texture.loadFile(text.c_str()));
    std::string broken = (folder / "broken.png").string();
    writeFile(broken, "\x89PNG but not really");
    EXPECT_FALSE(texture.loadFile(broken.c_str()));
    EXPECT_FALSE(texture.loadFile(make("ok.png", "-size 2x2 xc:red").c_str(), 2)) << "mode 2 loads no data";
    EXPECT_EQ(texture.glName, -1);
}

} // namespace
} // namespace glint::test
