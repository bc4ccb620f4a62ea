#include "scene/element_visual.h"

#include <algorithm>
#include <string_view>

#include "script/symbol.h"
#include "script/value.h"

namespace glint {

namespace {

int16_t hintOffset(float pixels) {
    int64_t sixteenths = roundToInteger(pixels * 16.0);
    return static_cast<int16_t>(std::clamp<int64_t>(sixteenths, -32767, 32767));
}

} // namespace

uint16_t visualKindForName(const Symbol* name) {
    uint16_t kind = kVisualInheritAll;
    if (!name)
        return kind;
    std::string_view text = name->view();
    size_t dollar = text.rfind('$');
    if (dollar != std::string_view::npos)
        text = text.substr(dollar + 1);
    if (text.starts_with("portal_"))
        kind |= kVisualPortal;
    else if (text.starts_with("ps_"))
        kind |= kVisualParticleSystem;
    else if (text.starts_with("movie_"))
        kind |= kVisualMovie;
    else if (text.starts_with("crop_"))
        kind |= kVisualCropWindow;
    return kind;
}

MKeyTrack& MElementVisual::track(int channel) {
    if (!tracks)
        tracks = std::make_unique<MKeyTrackTable>();
    return (*tracks)[static_cast<size_t>(channel)];
}

bool MElementVisual::addPolygon(PolygonKind kind, const std::vector<PolygonPoint>& points) {
    int count = static_cast<int>(points.size());
    if (count < kMinPolygonPoints || count > kMaxPolygonPoints || polygons.size() >= kMaxVisualPolygons)
        return false;
    MHotspotPolygon& polygon = polygons.emplace_back();
    polygon.kind = kind;
    polygon.points = points;
    polygon.points.push_back(points.front());
    return true;
}

void MElementVisual::finalizePolygons(float increment) {
    hotspotArea = 0;
    areaPolygonCount = 0;
    float left = 0, top = 0, right = 0, bottom = 0;
    bool anyHotspot = false;
    for (MHotspotPolygon& polygon : polygons) {
        if (!isParticleSystem())
            growPolygon(polygon, polygonCentroid(polygon), increment);
        measurePolygon(polygon);
        if (polygon.kind == PolygonKind::Exclusion) {
            ++areaPolygonCount;
            continue;
        }
        hotspotArea += polygon.area;
        for (const PolygonPoint& p : polygon.points) {
            if (!anyHotspot) {
                left = right = p.x;
                top = bottom = p.y;
                anyHotspot = true;
            }
            left = std::min(left, p.x);
            right = std::max(right, p.x);
            top = std::min(top, p.y);
            bottom = std::max(bottom, p.y);
        }
    }
    if (!anyHotspot)
        return;
    hintOffsetX = hintOffset((left + right) * 0.5f);
    hintOffsetY = hintOffset((top + bottom) * 0.5f);
}

} // namespace glint
