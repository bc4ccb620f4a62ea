// Points against rotated rectangles and polygons, elements against
// elements, and the opaque full-screen test of the layer stack.
#include <functional>
#include <vector>

#include "resource/texture.h"
#include "update_fixture.h"

namespace glint::test {
namespace {

using HitFixture = UpdateFixture;

struct Probe {
    float x, y;
    bool hit;
};

void expectProbes(const MElement& e, const std::vector<Probe>& probes) {
    for (const Probe& p : probes) EXPECT_EQ(e.hitTest(p.x, p.y), p.hit) << "at " << p.x << ", " << p.y;
}

// A square of half-size r around (cx, cy), listed counter-clockwise as seen
// on screen (y points down).
std::vector<PolygonPoint> square(float cx, float cy, float r) {
    return {{cx - r, cy - r}, {cx - r, cy + r}, {cx + r, cy + r}, {cx + r, cy - r}};
}

std::vector<PolygonPoint> reversed(std::vector<PolygonPoint> points) { return {points.rbegin(), points.rend()}; }

TEST_F(HitFixture, RectanglesTurnedScaledAndPivoted) {
    struct Case {
        const char* what;
        std::function<void(MElement&)> setUp;
        std::vector<Probe> probes;
    };
    const Case cases[] = {
        {"upright, centred pivot", [](MElement&) {},
         {{200, 200, true}, {151, 176, true}, {249, 224, true}, {250, 200, false}, {200, 225, false}}},
        {"turned a quarter counter-clockwise",
         [](MElement& e) { e.channels[kChannelAngle] = 90; },
         {{200, 240, true}, {220, 160, true}, {240, 200, false}, {200, 255, false}}},
        {"top-left pivot: the near edges belong to it, the far edges do not",
         [](MElement& e) { e.pivotX = e.pivotY = 0; },
         {{200, 200, true}, {299, 249, true}, {300, 210, false}, {210, 250, false}, {199, 210, false}}},
        {"scaled by two", [](MElement& e) { e.channels[kChannelScaleX] = e.channels[kChannelScaleY] = 2; },
         {{295, 245, true}, {105, 155, true}, {305, 200, false}}},
        {"mirrored", [](MElement& e) { e.channels[kChannelScaleX] = -1; },
         {{160, 200, true}, {240, 220, true}, {260, 200, false}}},
        {"no size is never hit", [](MElement& e) { e.visual->width = 0; }, {{200, 200, false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        room.releaseElements();
        MElement* e = box("panel", 100, 50, 200, 200);
        c.setUp(*e);
        tick();
        expectProbes(*e, c.probes);
    }
}

TEST_F(HitFixture, PolygonsDecideBeforeTheRectangle) {
    struct Case {
        const char* what;
        std::vector<std::pair<PolygonKind, std::vector<PolygonPoint>>> polygons;
        std::vector<Probe> probes; // relative to the element's pivot
    };
    const Case cases[] = {
        {"hotspot polygon only: the rest of the rectangle misses",
         {{PolygonKind::Hotspot, square(0, 0, 20)}},
         {{0, 0, true}, {19, -19, true}, {30, 0, false}, {-90, 90, false}}},
        {"exclusion inside a hotspot wins",
         {{PolygonKind::Hotspot, square(0, 0, 20)}, {PolygonKind::Exclusion, square(0, 0, 5)}},
         {{0, 0, false}, {10, 10, true}}},
        {"exclusion polygons only: the rectangle decides",
         {{PolygonKind::Exclusion, square(0, 0, 5)}},
         {{0, 0, false}, {50, 50, true}, {99, 0, true}, {101, 0, false}}},
        {"a clockwise hotspot contains nothing, and the rectangle is not asked",
         {{PolygonKind::Hotspot, reversed(square(0, 0, 20))}},
         {{0, 0, false}, {50, 50, false}}},
        {"any of several hotspots",
         {{PolygonKind::Hotspot, square(-50, 0, 10)}, {PolygonKind::Hotspot, square(50, 0, 10)}},
         {{-50, 5, true}, {50, -5, true}, {0, 0, false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        room.releaseElements();
        MElement* e = box("shape", 200, 200, 320, 240);
        for (const auto& [kind, points] : c.polygons) ASSERT_TRUE(e->visual->addPolygon(kind, points));
        e->visual->finalizePolygons(0);
        tick();
        for (const Probe& p : c.probes)
            EXPECT_EQ(e->hitTest(320 + p.x, 240 + p.y), p.hit) << "at " << p.x << ", " << p.y;
    }
}

TEST_F(HitFixture, PolygonsTurnAndScaleWithTheElement) {
    MElement* e = box("bar", 10, 10, 320, 240);
    // x from 0 to 40 to the right of the pivot, 5 up and down
    e->visual->addPolygon(PolygonKind::Hotspot, {{0, -5}, {0, 5}, {40, 5}, {40, -5}});
    e->visual->finalizePolygons(0);
    e->channels[kChannelAngle] = 90;
    e->channels[kChannelScaleX] = e->channels[kChannelScaleY] = 2;
    tick();
    // turned to point up, twice as long
    expectProbes(*e, {{320, 180, true}, {328, 170, true}, {320, 161, true}, {320, 155, false}, {360, 240, false}});
}

TEST_F(HitFixture, CropElementAndHotspotElement) {
    MElement* window = box("window", 100, 100, 100, 100);
    MElement* picture = box("picture", 400, 400, 200, 200);
    picture->cropElement = window;
    tick();
    expectProbes(*picture, {{120, 120, true}, {300, 300, false}});

    MScene other{intern("other")};
    MElement* spot = other.createElement(nullptr, intern("spot"), false);
    spot->visual->width = spot->visual->height = 20;
    spot->channels[kChannelX] = 220;
    spot->channels[kChannelY] = 240;
    other.update(true);
    other.camera.offsetX = 100; // a point at x of the room shows where the other scene has x - 100
    MElement* door = box("door", 10, 10, 0, 0);
    door->hotspot = spot;
    tick();
    expectProbes(*door, {{320, 240, true}, {220, 240, false}, {0, 0, false}});
}

TEST_F(HitFixture, ElementAgainstElementCountsOutlinePoints) {
    MElement* table = box("table", 200, 200, 320, 240); // x 220..420, y 140..340
    MElement* inside = box("inside", 50, 50, 320, 240);
    MElement* straddling = box("straddling", 50, 50, 420, 240); // two corners out
    MElement* outside = box("outside", 10, 10, 600, 240);
    MElement* marked = box("marked", 10, 10, 0, 240); // three polygon points, two of them on the table
    marked->visual->addPolygon(PolygonKind::Hotspot, {{250, 0}, {250, 10}, {600, 0}});
    marked->visual->finalizePolygons(0);
    tick();
    struct Case {
        const MElement* other;
        int mode;
        bool hits;
    };
    const Case cases[] = {
        {inside, 0, true},      {straddling, 0, false}, {straddling, 2, true},  {straddling, 3, false},
        {straddling, -2, true}, {straddling, -1, false}, {outside, 1, false},   {outside, -4, true},
        {marked, 2, true},      {marked, 3, false},      {marked, 0, false},    {marked, -1, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(table->hitsElement(*c.other, c.mode), c.hits) << c.other->name->text << " mode " << c.mode;
}

TEST_F(HitFixture, OpaqueFullScreenElementHidesWhatIsBehind) {
    MTexture white("white.png"), other("other.png");
    sceneEngineState().plainWhite = &white;
    struct Case {
        const char* what;
        std::function<void(MElement& cover)> setUp;
        float opacity;
        int32_t firstDrawIndex;
    };
    const Case cases[] = {
        {"the clipping element", [](MElement&) {}, 1, 1},
        {"a layer drawn translucent hides nothing", [](MElement&) {}, 0.5f, -1},
        {"turned", [](MElement& e) { e.channels[kChannelAngle] = 0.6f; }, 1, -1},
        {"turned by less than half a degree", [](MElement& e) { e.channels[kChannelAngle] = 0.0005f; }, 1, 1},
        {"translucent", [](MElement& e) { e.channels[kChannelAlpha] = 0.99f; }, 1, -1},
        {"hidden", [](MElement& e) { e.flags &= ~kElementVisible; }, 1, -1},
        {"another blend mode", [](MElement& e) { e.blendMode = 1; }, 1, -1},
        {"short of the left edge", [](MElement& e) { e.channels[kChannelX] = 321; }, 1, -1},
        {"within half a pixel", [](MElement& e) { e.channels[kChannelX] = 320.4f; }, 1, 1},
        {"too narrow", [](MElement& e) { e.visual->width = 639; }, 1, -1},
        {"drawing the plain white texture", [&](MElement& e) {
             e.name = intern("fill");
             e.visual->image.texture = &white;
         }, 1, 1},
        {"drawing another texture", [&](MElement& e) {
             e.name = intern("fill");
             e.visual->image.texture = &other;
         }, 1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        room.releaseElements();
        box("button", 640, 480, 320, 240)->channels[kChannelZ] = -1; // in front, but not opaque
        MElement* cover = box("clipping", 640, 480, 320, 240);
        box("back", 640, 480, 320, 240)->channels[kChannelZ] = 5;
        c.setUp(*cover);
        tick();
        room.collectLayer(c.opacity, 0.25f);
        EXPECT_EQ(room.firstDrawIndex, c.firstDrawIndex);
        EXPECT_FLOAT_EQ(room.drawDarkness, 0.25f);
        tick();
        EXPECT_EQ(room.firstDrawIndex, -1);
    }
}

} // namespace
} // namespace glint::test
