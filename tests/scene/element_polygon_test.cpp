// Hotspot polygons grown by the configured increment, measured, counted and
// summed into the hint offset.
#include <gtest/gtest.h>

#include <cmath>

#include "scene/element_visual.h"

using namespace glint;

namespace {

std::vector<PolygonPoint> square(float x, float y, float size) {
    return {{x, y}, {x + size, y}, {x + size, y + size}, {x, y + size}};
}

} // namespace

TEST(ElementPolygons, FinalizingGrowsMeasuresAndPlacesTheHint) {
    MElementVisual visual;
    ASSERT_TRUE(visual.addPolygon(PolygonKind::Hotspot, square(0, -10, 10)));
    ASSERT_TRUE(visual.addPolygon(PolygonKind::Exclusion, square(2, -8, 2)));
    visual.finalizePolygons(std::sqrt(2.0f));

    const MHotspotPolygon& hotspot = visual.polygons[0];
    ASSERT_EQ(hotspot.count(), 4);
    ASSERT_EQ(hotspot.points.size(), 5u);
    // Each corner moves one unit further along both axes, away from (5, -5).
    EXPECT_NEAR(hotspot.points[0].x, -1, 1e-4);
    EXPECT_NEAR(hotspot.points[0].y, -11, 1e-4);
    EXPECT_NEAR(hotspot.points[2].x, 11, 1e-4);
    EXPECT_NEAR(hotspot.points[2].y, 1, 1e-4);
    EXPECT_NEAR(hotspot.points[4].x, hotspot.points[0].x, 1e-6) << "the closing point moves with the first";
    EXPECT_NEAR(hotspot.centroid.x, 5, 1e-4);
    EXPECT_NEAR(hotspot.area, 144, 1e-2);
    ASSERT_EQ(hotspot.edgeAreas.size(), 4u);
    EXPECT_NEAR(hotspot.edgeAreas[1], 36, 1e-2);
    EXPECT_NEAR(visual.hotspotArea, 144, 1e-2) << "exclusion polygons do not count";

    EXPECT_EQ(visual.polygonCount(), 2);
    EXPECT_EQ(visual.areaPolygonCount, 1);
    EXPECT_TRUE(visual.hasHotspot());
    EXPECT_EQ(visual.hintOffsetX, 80);
    EXPECT_EQ(visual.hintOffsetY, -80);
}

TEST(ElementPolygons, ParticleAreasStayAndExclusionsAloneGiveNoHotspot) {
    MElementVisual particles;
    particles.kindFlags |= kVisualParticleSystem;
    particles.addPolygon(PolygonKind::Hotspot, square(0, 0, 4));
    particles.finalizePolygons(3);
    EXPECT_EQ(particles.polygons[0].points[2].x, 4) << "emission areas keep their size";
    EXPECT_NEAR(particles.hotspotArea, 16, 1e-4);

    MElementVisual excluded;
    excluded.hintOffsetX = 7;
    excluded.addPolygon(PolygonKind::Exclusion, square(0, 0, 4));
    excluded.finalizePolygons(1);
    EXPECT_FALSE(excluded.hasHotspot());
    EXPECT_EQ(excluded.hintOffsetX, 7) << "no hotspot polygon, no hint offset";
}

TEST(ElementPolygons, PointCountsAndHintRangeAreBounded) {
    MElementVisual visual;
    EXPECT_FALSE(visual.addPolygon(PolygonKind::Hotspot, {{0, 0}, {1, 1}}));
    EXPECT_FALSE(visual.addPolygon(PolygonKind::Hotspot, std::vector<PolygonPoint>(101)));
    EXPECT_TRUE(visual.addPolygon(PolygonKind::Hotspot, std::vector<PolygonPoint>(100, {3000, -3000})));
    visual.finalizePolygons(5);
    EXPECT_EQ(visual.polygons[0].points[0].x, 3000) << "points on the centroid stay where they are";
    EXPECT_EQ(visual.hintOffsetX, 32767);
    EXPECT_EQ(visual.hintOffsetY, -32767);
    for (int i = 1; i < kMaxVisualPolygons; ++i) visual.addPolygon(PolygonKind::Hotspot, square(0, 0, 1));
    EXPECT_FALSE(visual.addPolygon(PolygonKind::Hotspot, square(0, 0, 1)));
    EXPECT_EQ(visual.polygonCount(), kMaxVisualPolygons);
}
