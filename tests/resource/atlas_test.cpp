// Atlas descriptions, page names and extensions, image specs and the frames
// of sprite sheets.
#include "engine/resources/resource.h"
#include "engine/system/log.h"
#include "engine/system/system.h"
#include "resource/atlas.h"
#include "resource/image_anim.h"
#include "resource/image_line.h"
#include "resource/resource_manager.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

using namespace glint;
using glint::test::TempDir;
using glint::test::writeFile;

namespace {

// A data folder for atlas files and a manager to register into.
class AtlasTest : public ::testing::Test {
protected:
    void SetUp() override {
        systemResetForTests();
        ASSERT_TRUE(systemInit(game.str().c_str()));
        resourceInit();
    }

    void atlas(const std::string& path, const std::string& text) { writeFile(game / path, text); }
    MTexture* tex(const char* path) { return manager.texture(path, false, false); }

    struct Rect {
        float x, y, w, h;
        bool operator==(const Rect&) const = default;
    };
    static Rect rectOf(const MTexture* t) { return {t->atlasX, t->atlasY, t->atlasWidth, t->atlasHeight}; }

    TempDir game;
    MResourceManager manager;
};

TEST_F(AtlasTest, LinesBecomeRectanglesOfNumberedPages) {
    atlas("data/s/hall/_hall.atlas", "0 door.png 10 20 64 32\r\n"
                                     "\r\n"
                                     "0 data/_interface/key.png 1 2 3 4\n"
                                     "1 lamp.png 5 6\n"
                                     "-1 rug.png 7 8 9 10\n");
    ASSERT_TRUE(loadAtlas(manager, "data/s/hall/_hall.atlas", "data/s/hall", "dds", false));

    MTexture* page0 = manager.texture("data/s/hall/_hall_00.dds", false, false);
    MTexture* door = tex("data/s/hall/door.png");
    EXPECT_EQ(door->atlasParent, page0);
    EXPECT_EQ(rectOf(door), (Rect{10, 20, 64, 32}));
    EXPECT_EQ(door->dynamic, 0);
    EXPECT_EQ(door->drawWidth(), 64);
    EXPECT_EQ(door->drawHeight(), 32);

    EXPECT_EQ(tex("data/_interface/key.png")->atlasParent, page0) << "paths under data/ are taken as they are";
    MTexture* lamp = tex("data/s/hall/lamp.png");
    EXPECT_STREQ(lamp->atlasParent->path, "data/s/hall/_hall_01.dds");
    EXPECT_EQ(rectOf(lamp), (Rect{5, 6, 0, 0})) << "missing numbers stay 0";
    EXPECT_STREQ(tex("data/s/hall/rug.png")->atlasParent->path, "data/s/hall/_hall_-01.dds");
}

TEST_F(AtlasTest, DynamicAtlasMarksItsTexturesAndMissingFileIsQuiet) {
    atlas("data/s/hall/_hall_dynamic.atlas", "0 fire.png 0 0 8 8\n");
    ASSERT_TRUE(loadAtlas(manager, "data/s/hall/_hall_dynamic.atlas", "data/s/hall", "jpg", true));
    MTexture* fire = tex("data/s/hall/fire.png");
    EXPECT_EQ(fire->dynamic, 1);
    EXPECT_STREQ(fire->atlasParent->path, "data/s/hall/_hall_dynamic_00.jpg");

    EXPECT_FALSE(loadAtlas(manager, "data/s/none/_none.atlas", "data/s/none", "dds", false));
    EXPECT_EQ(manager.first(), static_cast<MResource*>(fire->atlasParent)) << "nothing registered for a missing file";
}

// A page listed as a sub-texture of itself (or of a page of its own) would
// make acquiring it walk the parent chain forever.
TEST_F(AtlasTest, LinesThatWouldLoopTheParentChainAreSkipped) {
    atlas("data/s/a/_a.atlas", "0 data/s/a/_a_00.dds 0 0 1 1\n"
                              "0 inner.png 0 0 4 4\n"
                              "1 data/s/a/_a_00.dds 0 0 4 4\n"
                              "0 data/s/a/_a_01.dds 0 0 4 4\n");
    ASSERT_TRUE(loadAtlas(manager, "data/s/a/_a.atlas", "data/s/a", "dds", false));
    MTexture* page0 = tex("data/s/a/_a_00.dds");
    MTexture* page1 = tex("data/s/a/_a_01.dds");
    EXPECT_EQ(page0->atlasParent, page1) << "a page may lie on another page";
    EXPECT_EQ(page1->atlasParent, nullptr) << "but not on a page that lies on it";

    MTexture* inner = tex("data/s/a/inner.png");
    manager.acquire(inner, true);
    EXPECT_TRUE(page1->isLoaded());
    manager.release(inner);
    EXPECT_FALSE(page1->isLoaded());
}

TEST(AtlasPages, PagePathsAndExtensions) {
    EXPECT_EQ(atlasPagePath("data/s/hall/_hall.atlas", 0, "dds"), "data/s/hall/_hall_00.dds");
    EXPECT_EQ(atlasPagePath("data/s/hall/_hall.atlas", 12, "png"), "data/s/hall/_hall_12.png");
    EXPECT_EQ(atlasPagePath("atlas", 3, "dds"), "atlas_03.dds");

    MConfiguration config("data/atlases.cfg");
    std::string text = "data/s/hall=nformat:png,dynamic_format:jpg\n"
                       "data/s/cellar=dynamic_format:png\n"
                       "data/s/attic=nformat:abcdefghijklmnopqrst\n";
    MTextFile file;
    file.assignText(text.data(), static_cast<int32_t>(text.size()), "atlases.cfg");
    config.addMainText(std::move(file));

    struct Case {
        const char* folder;
        bool dynamic;
        const char* extension;
    } cases[] = {
        {"data/s/hall", false, "png"},   {"data/s/hall", true, "jpg"},
        {"data/s/cellar", false, "dds"}, {"data/s/cellar", true, "png"},
        {"data/s/none", false, "dds"},   {"data/s/attic", false, "abcdefghijklmno"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(atlasPageExtension(config, c.folder, c.dynamic, "dds"), c.extension) << c.folder << c.dynamic;
}

// ---- image specs ----

class ImageSpecTest : public ::testing::Test {
protected:
    void SetUp() override {
        setTraceSink([](const char* line, void* user) { static_cast<std::vector<std::string>*>(user)->push_back(line); },
                     &traces);
    }
    void TearDown() override { setTraceSink(nullptr, nullptr); }

    MResourceManager manager;
    std::vector<std::string> traces;
    MImageAnim image;
    uint8_t blend = 0;
};

TEST_F(ImageSpecTest, TokensFillTheImageRecord) {
    ImageSpecContext context{"data/particles", false, true, "smoke", &blend};
    parseImageSpec(manager, image, "smoke.png 1 12 3 0.5 0.25 0.5", context);
    ASSERT_NE(image.texture, nullptr);
    EXPECT_STREQ(image.texture->path, "data/particles/smoke.png");
    EXPECT_EQ(image.texture->refCount, 0) << "registered, not acquired";
    EXPECT_EQ(image.texture->lazy, 1);
    EXPECT_EQ(blend, 1);
    EXPECT_EQ(image.fps, 12);
    EXPECT_EQ(image.firstFrame, 3);
    EXPECT_EQ(image.delay, 50);
    EXPECT_EQ(image.columns, 4);
    EXPECT_EQ(image.rows, 2);
    EXPECT_TRUE(traces.empty());
}

TEST_F(ImageSpecTest, FrameFractionsAndDelaysAreBounded) {
    struct Case {
        const char* spec;
        int columns, rows, delay;
    } cases[] = {
        {"a.png 0 10 0 -1.5 0 -2", 1, 1, -150},
        {"a.png 0 10 0 999 0.001 0.3", 255, 3, 32767},
        {"a.png 0 10 0 -999 1 0.6", 1, 2, -32767},
    };
    for (const Case& c : cases) {
        MImageAnim fresh;
        parseImageSpec(manager, fresh, c.spec, {"f", false, false, "x", nullptr});
        EXPECT_EQ(fresh.columns, c.columns) << c.spec;
        EXPECT_EQ(fresh.rows, c.rows) << c.spec;
        EXPECT_EQ(fresh.delay, c.delay) << c.spec;
    }
}

TEST_F(ImageSpecTest, MissingTokensKeepWhatWasThere) {
    image.fps = 7;
    image.columns = 3;
    image.delay = 20;
    blend = 4;
    parseImageSpec(manager, image, "glow.png 2", {"data/s/a", false, false, "glow", &blend});
    EXPECT_EQ(blend, 2);
    EXPECT_EQ(image.fps, 7);
    EXPECT_EQ(image.columns, 3);
    EXPECT_EQ(image.delay, 20);
    EXPECT_EQ(image.texture->lazy, 0);
}

TEST_F(ImageSpecTest, PathsWithFoldersNeedPermission) {
    parseImageSpec(manager, image, "data/s/b/spark.png", {"data/s/a", true, false, "anim", nullptr});
    EXPECT_STREQ(image.texture->path, "data/s/b/spark.png");
    EXPECT_TRUE(traces.empty());

    parseImageSpec(manager, image, "data/s/b/spark.png", {"data/s/a", false, false, "fire.particles", nullptr});
    EXPECT_STREQ(image.texture->path, "data/s/a/spark.png");
    EXPECT_EQ(traces, std::vector<std::string>{"[fire.particles] Image filename cannot be absolute: data/s/b/spark.png"});
}

// ---- sprite-sheet frames ----

struct FrameCase {
    int columns, rows, firstFrame;
    float fps;
    int delay;
    float time;
    int frame;
};

TEST(ImageFrames, FramesFollowTheClock) {
    // 4 frames at 10 fps: a cycle of 40 ticks, plus the delay.
    const FrameCase cases[] = {
        {2, 2, 0, 10, 0, 0, 0},     {2, 2, 0, 10, 0, 10, 1},   {2, 2, 0, 10, 0, 39, 3},
        {2, 2, 0, 10, 0, 40, 0},    {2, 2, 0, 10, 0, -1, 3},   {2, 2, 1, 10, 0, 35, 0},
        {2, 2, 0, 10, 20, 19, 0},   {2, 2, 0, 10, 20, 30, 1},  {2, 2, 0, 10, 20, 59, 3},
        {2, 2, 0, 10, -20, 39, 3},  {2, 2, 0, 10, -20, 59, 3}, {2, 2, 0, 10, -20, 60, 0},
        {2, 2, 0, 0, 0, 25, 0},     {2, 2, 0, 0, -30, 25, 0},  {1, 1, 0, 10, 0, 25, 0},
    };
    for (const FrameCase& c : cases) {
        MImageAnim image;
        image.columns = static_cast<uint8_t>(c.columns);
        image.rows = static_cast<uint8_t>(c.rows);
        image.firstFrame = static_cast<uint8_t>(c.firstFrame);
        image.fps = c.fps;
        image.delay = c.delay;
        EXPECT_EQ(image.frameAt(c.time), c.frame) << "fps " << c.fps << " delay " << c.delay << " t " << c.time;
    }
}

// Timings from hostile files: any fps, delay and clock give a frame of
// the sheet, without overflow on the way.
TEST(ImageFrames, ExtremeTimingsStayWithinTheSheet) {
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    const FrameCase cases[] = {
        {255, 255, 0, 1e-12f, 0, 1e18f, -1},         {255, 255, 0, 1e-12f, INT32_MAX, 3e18f, -1},
        {255, 255, 7, 1e-12f, INT32_MIN, -1e30f, -1}, {255, 255, 0, 1e-30f, -5, 3e38f, -1},
        {16, 16, 0, inf, 5, 7, 0},                    {16, 16, 0, nan, 0, nan, 0},
        {16, 16, 0, 1e30f, 0, inf, 0},                {255, 255, 0, 1e-12f, 0, 0, 0},
    };
    for (const FrameCase& c : cases) {
        MImageAnim image;
        image.columns = static_cast<uint8_t>(c.columns);
        image.rows = static_cast<uint8_t>(c.rows);
        image.firstFrame = static_cast<uint8_t>(c.firstFrame);
        image.fps = c.fps;
        image.delay = c.delay;
        int frame = image.frameAt(c.time);
        if (c.frame >= 0) {
            EXPECT_EQ(frame, c.frame) << "fps " << c.fps << " delay " << c.delay << " t " << c.time;
        }
        EXPECT_TRUE(frame >= 0 && frame < image.frameCount()) << "fps " << c.fps << " delay " << c.delay;
    }
}

TEST(ImageFrames, FrameCellsLieInTheAtlasRectangle) {
    MTexture page("page.dds"), strip("strip.png");
    strip.atlasParent = &page;
    strip.atlasX = 100;
    strip.atlasY = 50;
    strip.atlasWidth = 64;
    strip.atlasHeight = 32;
    MImageAnim image;
    image.texture = &strip;
    FrameRect whole = image.frameRect(0);
    EXPECT_EQ((std::vector<float>{whole.x0, whole.y0, whole.x1, whole.y1}), (std::vector<float>{100, 50, 164, 82}));

    image.columns = 4;
    image.rows = 2;
    image.fps = 8; // 8 frames: 100 ticks a cycle
    FrameRect sixth = image.frameRect(5 * 12.5f + 1);
    EXPECT_EQ((std::vector<float>{sixth.x0, sixth.y0, sixth.x1, sixth.y1}), (std::vector<float>{116, 66, 132, 82}));

    image.texture = nullptr;
    FrameRect none = image.frameRect(0);
    EXPECT_EQ(none.x1, 0);
}

} // namespace
