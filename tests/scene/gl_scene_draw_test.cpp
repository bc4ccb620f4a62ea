// Scenes drawn on the headless display: the darkness veil, nine-part
// frames, waving strips, shared crop windows, text alignment, render hooks
// and nearly transparent elements.
#include "element_fixture.h"

#include "engine/render/quad_batch.h"
#include "engine/render/texture.h"
#include "engine/resources/resource.h"
#include "engine/system/system.h"
#include "engine/text/text.h"
#include "resource/texture.h"
#include "scene/scene_engine_state.h"
#include "scene/render_commands.h"
#include "support/gl_test_support.h"
#include "support/test_support.h"
#include "text/font_list.h"

#include <functional>
#include <memory>

namespace glint::test {
namespace {

constexpr int kW = 160, kH = 120;

std::string expected(const char* name) { return (sourceDir() / "tests/scene/expected" / name).string(); }

class SceneDrawTest : public GlWindowTest, public ElementWorld {
protected:
    void SetUp() override {
        open(kW, kH, kW, kH);
        registerRenderCommands();
        room.camera.halfW = kW / 2.0f, room.camera.halfH = kH / 2.0f;
        room.viewCenterX = kW / 2.0f, room.viewCenterY = kH / 2.0f;
        SceneEngineState& state = sceneEngineState();
        state.screenW = kW, state.screenH = kH;
        white = texture(1, 1, [](int, int) { return 0xFFFFFFFFu; });
        state.fillTexture = white->image;
    }
    void TearDown() override {
        sceneEngineState() = saved;
        GlWindowTest::TearDown();
    }

    // A texture of w x h pixels (0xAARRGGBB) given by colour(x, y).
    MTexture* texture(int w, int h, const std::function<uint32_t(int, int)>& colour) {
        std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                pixels[static_cast<size_t>(y) * w + x] = colour(x, y);
        auto made = std::make_unique<MTexture>("test.png");
        made->image = new KTexture();
        EXPECT_TRUE(made->image->createFromPixels(pixels.data(), w, h, 0, 0, true));
        textures.push_back(std::move(made));
        return textures.back().get();
    }
    MElement* box(const char* name, MTexture* image, float w, float h, float x, float y) {
        MElement* e = make(name);
        e->visual->image.texture = image;
        e->visual->width = w, e->visual->height = h;
        e->channels[kChannelX] = x, e->channels[kChannelY] = y;
        return e;
    }
    Readback draw(float darkness = 0) {
        room.update(true);
        return drawFrame([this, darkness] {
            room.collectLayer(1, darkness);
            room.draw();
        });
    }
    // Draw calls and quads one frame sends to the batch (nothing reaches
    // the screen meanwhile).
    struct Calls {
        int draws = 0, quads = 0;
    };
    Calls countCalls() {
        Calls calls;
        room.update(true);
        drawFrame([this, &calls] {
            KQuadBatch* batch = KQuadBatch::current();
            batch->setDrawer(
                [](const KQuadRun& run, void* user) {
                    auto* c = static_cast<Calls*>(user);
                    c->draws += 1;
                    c->quads += run.count / 4;
                },
                &calls);
            room.collectLayer(1, 0);
            room.draw();
            batch->setDrawer(nullptr, nullptr);
        });
        return calls;
    }
    // Font 0 of the sample game as the scenes' only font.
    void useDemoFont() {
        systemResetForTests();
        ASSERT_TRUE(systemInit((sourceDir() / "games" / "demo").string().c_str()));
        resourceInit();
        ASSERT_GE(loadFonts(fonts, "png"), 1);
        sceneEngineState().fonts = &fonts;
    }

    SceneEngineState saved = sceneEngineState();
    std::vector<std::unique_ptr<MTexture>> textures;
    MTexture* white = nullptr;
    MFontList fonts;
};

// Nine cells of 10 x 10 pixels, each its own colour.
uint32_t cellColour(int column, int row) {
    static const uint32_t colours[9] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFFFFFF,
                                        0x00FFFF, 0xFF00FF, 0x808080, 0xFF8000};
    return colours[row * 3 + column];
}

TEST_F(SceneDrawTest, DarknessVeilsWhatIsDrawnBelow) {
    Readback frame = drawFrame([this] {
        KQuadBatch* batch = KQuadBatch::current();
        batch->setState(white->image, K_BLEND_ALPHA, K_PRIMITIVE_QUADS);
        batch->addRect(0, 0, 1, 1, 0, 0, kW, kH, rgba(200, 100, 0));
        room.collectLayer(1, 0.5f);
        room.draw();
    });
    EXPECT_EQ(frame.at(80, 60), 0x643200u) << std::hex << frame.at(80, 60);
}

TEST_F(SceneDrawTest, NinePartFramesKeepTheirCornersAroundOrInside) {
    MTexture* cells = texture(30, 30, [](int x, int y) { return 0xFF000000u | cellColour(x / 10, y / 10); });
    MElement* frame = box("frame", cells, 60, 40, 80, 60);
    struct Probe {
        int x, y;
        int column, row; // -1: the background
    };
    struct Case {
        int stretch;
        const char* image;
        std::vector<Probe> probes;
    } cases[] = {
        // Around: the border lies 10 units outside the 60 x 40 rectangle.
        {1, "frame_around.png", {{45, 35, 0, 0}, {80, 60, 1, 1}, {115, 85, 2, 2}, {45, 60, 0, 1}, {35, 60, -1, -1}}},
        // Inside: the whole frame stays within it.
        {-1, "frame_inside.png", {{55, 45, 0, 0}, {80, 60, 1, 1}, {105, 75, 2, 2}, {45, 35, -1, -1}}},
    };
    for (const Case& c : cases) {
        frame->stretch = static_cast<int8_t>(c.stretch);
        Readback shot = draw();
        for (const Probe& p : c.probes) {
            uint32_t want = p.column < 0 ? 0 : cellColour(p.column, p.row);
            EXPECT_EQ(shot.at(p.x, p.y), want) << "stretch " << c.stretch << " at " << p.x << "," << p.y;
        }
        expectFrameMatches(shot, expected(c.image));
    }
}

TEST_F(SceneDrawTest, WaveStripsSwayBetweenPinnedEdges) {
    // Each texel column has its own red level, so a pixel shows where the
    // strips took it from.
    MTexture* ramp = texture(40, 10, [](int x, int) { return 0xFF000000u | static_cast<uint32_t>(x * 6) << 16; });
    MElement* cloth = box("cloth", ramp, 80, 20, 80, 60);
    cloth->visual->waveColumns = 4;
    cloth->visual->waveAmountX = 50;
    cloth->visual->kindFlags |= kVisualWavePinFirstColumn | kVisualWavePinLastColumn;
    room.tickCounter = 0;
    Readback early = draw();
    room.tickCounter = 90;
    Readback late = drawFrame([this] { room.draw(); });
    EXPECT_EQ(early.at(40, 60), late.at(40, 60)) << "the pinned left edge stays";
    EXPECT_EQ(early.at(119, 60), late.at(119, 60)) << "the pinned right edge stays";
    EXPECT_EQ(early.at(39, 60), 0u) << "nothing left of the rectangle";
    int moved = 0;
    for (int x = 41; x < 119; ++x)
        moved += early.at(x, 60) != late.at(x, 60);
    EXPECT_GT(moved, 0) << "the inner edges sway";
    expectFrameMatches(early, expected("wave_pinned.png"));
}

TEST_F(SceneDrawTest, AdjacentElementsInOneCropWindowShareOneClip) {
    MTexture* red = texture(4, 4, [](int, int) { return 0xFFFF0000u; });
    MElement* window = box("crop_window", red, 40, 40, 80, 60);
    window->flags &= ~kElementVisible;
    MElement* a = box("a", red, 100, 10, 80, 50);
    MElement* b = box("b", red, 100, 10, 80, 70);
    a->cropElement = b->cropElement = window;
    Calls calls = countCalls();
    EXPECT_EQ(calls.draws, 1) << "no flush between the two";
    EXPECT_EQ(calls.quads, 2);

    Readback shot = draw();
    EXPECT_EQ(shot.at(80, 50), 0xFF0000u);
    EXPECT_EQ(shot.at(45, 50), 0u) << "clipped to the crop window";

    // An element between them in draw order with a clip of its own.
    MElement* loose = box("loose", red, 10, 10, 10, 10);
    loose->channels[kChannelZ] = 0.5f;
    a->channels[kChannelZ] = 0, b->channels[kChannelZ] = 1;
    a->markTransformDirty(), b->markTransformDirty();
    room.drawOrderDirty = true;
    EXPECT_EQ(countCalls().draws, 3);
}

TEST_F(SceneDrawTest, AlignmentCodesPlaceTheTextInTheBox) {
    useDemoFont();
    MElement* label = box("label", nullptr, 100, 60, 80, 60);
    label->members.set(sym::text(), Value::fromSymbol(intern("Ab")));
    struct Ink {
        int left = kW, top = kH, right = -1, bottom = -1;
    };
    auto inkOf = [](const Readback& shot) {
        Ink ink;
        for (int y = 0; y < shot.height; ++y)
            for (int x = 0; x < shot.width; ++x)
                if ((shot.at(x, y) & 0xFF) > 128)
                    ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x), std::max(ink.bottom, y)};
        return ink;
    };
    // The box spans 30..130 x 30..90; the anchor is its centre.
    label->textAlign = 17;
    Readback topLeft = draw();
    Ink ink = inkOf(topLeft);
    EXPECT_NEAR(ink.left, 31, 3);
    EXPECT_NEAR(ink.top, 34, 6);
    expectFrameMatches(topLeft, expected("text_17.png"));

    label->textAlign = 22;
    Readback centred = draw();
    ink = inkOf(centred);
    EXPECT_NEAR((ink.left + ink.right) / 2.0, 80, 3);
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 60, 6);
    expectFrameMatches(centred, expected("text_22.png"));

    label->textAlign = 31;
    Readback bottom = draw();
    ink = inkOf(bottom);
    EXPECT_NEAR(ink.left, 31, 3);
    EXPECT_NEAR(ink.bottom, 86, 6);
    expectFrameMatches(bottom, expected("text_31.png"));
}

TEST_F(SceneDrawTest, RendererHookDrawsInsteadOfTheElement) {
    MTexture* red = texture(4, 4, [](int, int) { return 0xFFFF0000u; });
    MTexture* green = texture(4, 4, [](int, int) { return 0xFF00FF00u; });
    run("fun paint %opacity {\n  set #seen %opacity\n  render_image $stamp 20 20 10 10\n}\n");
    MElement* owner = box("owner", red, 40, 40, 80, 60);
    owner->alpha = 512;
    MElement* stamp = box("stamp", green, 10, 10, 0, 0);
    stamp->flags &= ~kElementVisible;
    Value* paint = findVariable(room.scope, KindFunction, intern("paint"), nullptr, false);
    ASSERT_TRUE(paint && paint->is(ValueType::Function));
    owner->members.set(sym::Renderer(), *paint);
    Readback shot = draw();
    EXPECT_EQ(shot.at(80, 60), 0u) << "the element's own image is not drawn";
    EXPECT_EQ(shot.at(20, 20), 0x00FF00u) << "what the hook draws is";
    EXPECT_DOUBLE_EQ(number("seen"), 0.5);
}

TEST_F(SceneDrawTest, NearlyTransparentElementsAreSkipped) {
    MTexture* red = texture(4, 4, [](int, int) { return 0xFFFF0000u; });
    MElement* faint = box("faint", red, 20, 20, 80, 60);
    struct Case {
        int16_t alpha;
        int quads;
    } cases[] = {{1, 0}, {2, 1}, {1024, 1}};
    for (const Case& c : cases) {
        faint->alpha = c.alpha;
        faint->markTransformDirty();
        EXPECT_EQ(countCalls().quads, c.quads) << "alpha " << c.alpha;
    }
}

} // namespace
} // namespace glint::test
