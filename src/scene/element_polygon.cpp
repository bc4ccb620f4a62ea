#include "scene/element_polygon.h"

#include <cmath>

namespace glint {

namespace {

// Points closer than this (squared) to the centroid have no direction to
// be pushed in.
constexpr float kMinSquaredDistance = 0.001f;

float triangleArea(PolygonPoint a, PolygonPoint b, PolygonPoint c) {
    return std::fabs((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y)) * 0.5f;
}

} // namespace

PolygonPoint polygonCentroid(const MHotspotPolygon& polygon) {
    int count = polygon.count();
    PolygonPoint sum;
    for (int i = 0; i < count; ++i) {
        sum.x += polygon.points[i].x;
        sum.y += polygon.points[i].y;
    }
    return count > 0 ? PolygonPoint{sum.x / count, sum.y / count} : sum;
}

void growPolygon(MHotspotPolygon& polygon, PolygonPoint centroid, float increment) {
    for (PolygonPoint& p : polygon.points) {
        float dx = p.x - centroid.x, dy = p.y - centroid.y;
        float squared = dx * dx + dy * dy;
        if (squared <= kMinSquaredDistance)
            continue;
        float distance = std::sqrt(squared);
        float factor = (distance + increment) / distance;
        p.x = centroid.x + factor * dx;
        p.y = centroid.y + factor * dy;
    }
}

void measurePolygon(MHotspotPolygon& polygon) {
    polygon.centroid = polygonCentroid(polygon);
    int count = polygon.count();
    polygon.edgeAreas.assign(static_cast<size_t>(count), 0.0f);
    polygon.area = 0;
    for (int i = 0; i < count; ++i) {
        float area = triangleArea(polygon.points[i], polygon.points[i + 1], polygon.centroid);
        polygon.edgeAreas[i] = area;
        polygon.area += area;
    }
}

} // namespace glint
