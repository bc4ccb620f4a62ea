// Hotspot and exclusion polygons of an element's visual. A point inside a
// hotspot polygon hits the element, a point inside an exclusion polygon
// never does.
#pragma once

#include <cstdint>
#include <vector>

namespace glint {

struct PolygonPoint {
    float x = 0, y = 0;
};

constexpr int kMinPolygonPoints = 3;
constexpr int kMaxPolygonPoints = 100;

enum class PolygonKind : uint8_t { Hotspot = 0, Exclusion = 1 };

struct MHotspotPolygon {
    PolygonKind kind = PolygonKind::Hotspot;
    // count + 1 points, as stored (y negated by the loader); the last
    // repeats the first so that edge loops need no wrap-around.
    std::vector<PolygonPoint> points;
    PolygonPoint centroid;
    float area = 0;
    // The area of the triangle each edge forms with the centroid; particle
    // emitters pick a triangle by these weights.
    std::vector<float> edgeAreas;

    int count() const { return points.empty() ? 0 : static_cast<int>(points.size()) - 1; }
};

// Mean of the polygon's own points (the closing copy not counted).
PolygonPoint polygonCentroid(const MHotspotPolygon& polygon);
// Moves every point increment pixels further from the centroid; points on
// the centroid stay where they are.
void growPolygon(MHotspotPolygon& polygon, PolygonPoint centroid, float increment);
// Fills centroid, edgeAreas and area from the points.
void measurePolygon(MHotspotPolygon& polygon);

} // namespace glint
