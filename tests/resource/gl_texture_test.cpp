// Textures decoded and uploaded through a real GL context.
#include "support/gl_test_support.h"

#include "engine/render/texture.h"
#include "engine/resources/resource.h"
#include "resource/resource_manager.h"
#include "support/test_support.h"

namespace glint::test {
namespace {

class TextureLoadTest : public GlWindowTest {
protected:
    void SetUp() override {
        resourceInit();
        open(64, 48, 64, 48);
    }
    TempDir dir;
    MResourceManager manager;
};

TEST_F(TextureLoadTest, LoadsDecodesAndDropsTheImage) {
    std::string png = (dir / "door.png").string();
    ASSERT_EQ(runCommand("convert -size 24x10 xc:red " + shellQuote(png)).status, 0);
    MTexture* door = manager.texture(png.c_str(), true, true);
    ASSERT_NE(door->image, nullptr);
    EXPECT_GE(door->image->glName, 0);
    EXPECT_EQ(door->image->filter, GL_LINEAR);
    EXPECT_EQ(door->image->wrap, window.clampToEdge ? GL_CLAMP_TO_EDGE : GL_CLAMP);
    EXPECT_EQ(door->drawWidth(), 24);
    EXPECT_EQ(door->drawHeight(), 10);

    int live = KTexture::count();
    manager.release(door);
    EXPECT_EQ(door->image, nullptr);
    EXPECT_EQ(KTexture::count(), live - 1);
    EXPECT_EQ(door->drawWidth(), 0);
}

TEST_F(TextureLoadTest, BrokenOrMissingFilesLeaveNoImage) {
    writeFile(dir / "broken.png", "not a png");
    for (std::string name : {"broken.png", "missing.png"}) {
        int live = KTexture::count();
        MTexture* texture = manager.texture((dir / name).c_str(), true, true);
        EXPECT_TRUE(texture->isLoaded()) << name;
        EXPECT_EQ(texture->image, nullptr) << name;
        EXPECT_EQ(texture->drawWidth(), 0) << name;
        EXPECT_EQ(KTexture::count(), live) << name;
    }
}

} // namespace
} // namespace glint::test
