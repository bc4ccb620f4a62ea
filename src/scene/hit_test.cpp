// What the pointer is over: points against an element's polygons or
// rectangle, elements against elements, and the full-screen test.
#include <cmath>

#include "engine/system/numbers.h"
#include "scene/element.h"
#include "scene/element_geometry.h"
#include "scene/scene.h"

namespace glint {

namespace {

constexpr double kTableStepsPerDegree = 182.04445; // 65536 / 360

// Left of or on every edge in the stored point order; polygons listed the
// other way round contain nothing.
bool insidePolygon(const MHotspotPolygon& polygon, PolygonPoint q) {
    if (polygon.count() == 0)
        return false;
    for (size_t i = 0; i + 1 < polygon.points.size(); ++i) {
        PolygonPoint a = polygon.points[i], b = polygon.points[i + 1];
        if ((b.y - a.y) * (q.x - a.x) - (q.y - a.y) * (b.x - a.x) < 0)
            return false;
    }
    return true;
}

// Within [0, size) from the rectangle's first edge; a mirrored element
// (negative size) spans (size, 0].
bool withinSpan(float fromPivot, float pivot, float size) {
    float u = fromPivot + pivot * size;
    if (size > 0)
        return u >= 0 && u < size;
    return size < 0 && u <= 0 && u > size;
}

float unscaled(float v, float scale) { return scale == 0 ? 0.0f : v / scale; }

// The element's own shape, without its crop element and hotspot.
bool shapeContains(const MElement& e, PolygonPoint point) {
    float dx = point.x - e.absX, dy = point.y - e.absY;
    SinCos back = tableSinCos(-e.absAngle);
    float lx = dx * back.cos + dy * back.sin;
    float ly = dy * back.cos - dx * back.sin;
    if (e.visual && !e.visual->polygons.empty()) {
        PolygonPoint q{unscaled(lx, e.absScaleX), unscaled(ly, e.absScaleY)};
        bool inHotspot = false;
        for (const MHotspotPolygon& polygon : e.visual->polygons) {
            if (!insidePolygon(polygon, q))
                continue;
            if (polygon.kind == PolygonKind::Exclusion)
                return false;
            inHotspot = true;
        }
        if (inHotspot)
            return true;
        if (e.visual->hasHotspot())
            return false;
    }
    return withinSpan(lx, e.pivotX, e.absW) && withinSpan(ly, e.pivotY, e.absH);
}

PolygonPoint between(const MElement& from, const MElement& to, PolygonPoint point) {
    const MScene* a = from.owner();
    const MScene* b = to.owner();
    return a && b && a != b ? carryPoint(*a, *b, point) : point;
}

// Calls visit with the outline points of other (its hotspot's polygon
// points when it has them, else its corners) until visit returns true.
template <class Visit> void forEachOutlinePoint(const MElement& other, Visit visit) {
    const MElement& shape = other.hotspot ? *other.hotspot : other;
    if (shape.visual && shape.visual->hasHotspot()) {
        SinCos turn = tableSinCos(shape.absAngle);
        for (const MHotspotPolygon& polygon : shape.visual->polygons) {
            if (polygon.kind != PolygonKind::Hotspot)
                continue;
            for (int i = 0; i < polygon.count(); ++i) {
                float px = polygon.points[i].x * shape.absScaleX, py = polygon.points[i].y * shape.absScaleY;
                PolygonPoint placed{shape.absX + px * turn.cos + py * turn.sin,
                                    shape.absY + py * turn.cos - px * turn.sin};
                if (visit(shape, placed))
                    return;
            }
        }
        return;
    }
    for (PolygonPoint corner : elementCorners(other))
        if (visit(other, corner))
            return;
}

} // namespace

SinCos tableSinCos(float degrees) {
    double steps = std::trunc(degrees * kTableStepsPerDegree);
    if (!std::isfinite(steps))
        return {};
    int index = static_cast<int>(static_cast<int64_t>(std::fmod(steps, 65536.0)) & (kTrigTableSize - 1));
    return {sinTable[index], cosTable[index]};
}

std::array<PolygonPoint, 4> elementCorners(const MElement& e) {
    return rectangleCorners(e.absX, e.absY, e.absW, e.absH, e.absAngle, e.pivotX, e.pivotY);
}

std::array<PolygonPoint, 4> rectangleCorners(float x, float y, float w, float h, float angle, float pivotX,
                                             float pivotY) {
    SinCos t = tableSinCos(angle);
    PolygonPoint c0{x - pivotX * w * t.cos - pivotY * h * t.sin, y - pivotY * h * t.cos + pivotX * w * t.sin};
    return {c0,
            {c0.x + w * t.cos, c0.y - w * t.sin},
            {c0.x + w * t.cos + h * t.sin, c0.y + h * t.cos - w * t.sin},
            {c0.x + h * t.sin, c0.y + h * t.cos}};
}

PolygonPoint carryPoint(const MScene& from, const MScene& to, PolygonPoint point) {
    const SceneCamera& a = from.camera;
    const SceneCamera& b = to.camera;
    float screenX = (point.x - a.halfW + a.offsetX) * a.scaleX + a.halfW + a.shiftX;
    float screenY = (point.y - a.halfH + a.offsetY) * a.scaleY + a.halfH + a.shiftY;
    return {(screenX - b.halfW - b.shiftX) / b.scaleX + b.halfW - b.offsetX,
            (screenY - b.halfH - b.shiftY) / b.scaleY + b.halfH - b.offsetY};
}

bool MElement::hitTest(float x, float y) const {
    PolygonPoint point{x, y};
    if (cropElement && !shapeContains(*cropElement, point))
        return false;
    if (hotspot)
        return shapeContains(*hotspot, between(*this, *hotspot, point));
    return shapeContains(*this, point);
}

// mode > 0: true once mode points hit; 0: false once one misses; -k:
// false once k + 1 miss.
bool MElement::hitsElement(const MElement& other, int mode) const {
    int hits = 0, misses = 0;
    bool result = mode <= 0;
    forEachOutlinePoint(other, [&](const MElement& from, PolygonPoint point) {
        PolygonPoint here = between(from, *this, point);
        if (hitTest(here.x, here.y))
            ++hits;
        else
            ++misses;
        if (mode > 0 && hits >= mode)
            result = true;
        else if (mode <= 0 && misses > -mode)
            result = false;
        else
            return false;
        return true;
    });
    return result;
}

bool MElement::coversScreen() const {
    const SceneCamera fallback;
    const SceneCamera& area = owner() ? owner()->camera : fallback;
    return std::fabs(absAngle) < 0.001f && absX - pivotX * absW <= 0.5f && absY - pivotY * absH <= 0.5f &&
           absW >= 2 * area.halfW - 0.5f && absH >= 2 * area.halfH - 0.5f;
}

} // namespace glint
