// The absolute transform of the elements whose base values were refreshed:
// parent, carried object, size, parallax, particles and movies.
#include <algorithm>
#include <limits>

#include "scene/element.h"
#include "scene/element_geometry.h"
#include "scene/element_media.h"
#include "scene/element_movie.h"
#include "scene/scene.h"
#include "scene/scene_engine_state.h"
#include "scene/scene_update_steps.h"
#include "script/value.h"

namespace glint {

namespace {

constexpr float kSelectedGrowth = 1.2f; // a selected carried object shows larger

struct Bounds {
    bool set = false;
    float minX = 0, minY = 0, maxX = 0, maxY = 0;
};

void inheritFromParent(MElement& e, const MElement& parent) {
    float x = e.absX * parent.absScaleX;
    float y = e.absY * parent.absScaleY;
    SinCos turn = tableSinCos(parent.absAngle);
    float turnedX = x * turn.cos + y * turn.sin;
    float turnedY = y * turn.cos - x * turn.sin;
    uint16_t kind = e.visual ? e.visual->kindFlags : kVisualInheritAll;
    // A mirrored parent mirrors the rotation.
    if (parent.absScaleX * parent.absScaleY < 0)
        e.absAngle = -e.absAngle;
    if (kind & kVisualInheritAngle)
        e.absAngle += parent.absAngle;
    e.absX = parent.absX + turnedX;
    e.absY = parent.absY + turnedY;
    if (kind & kVisualInheritScaleX)
        e.absScaleX *= parent.absScaleX;
    if (kind & kVisualInheritScaleY)
        e.absScaleY *= parent.absScaleY;
    e.absZ += parent.absZ;
}

// An own variable's number; 0 for another kind, fallback when absent.
float memberNumber(const MElement& e, Symbol* name, float fallback) {
    const Value* cell = e.members.get(name);
    if (!cell)
        return fallback;
    return cell->isNumber() ? static_cast<float>(cell->number) : 0.0f;
}

// The rectangle the carried object may move in (its move_area element),
// taken before this pass moves anything.
Bounds moveAreaOf(const MElement& carried) {
    const Value* area = carried.members.get(sym::move_area());
    if (!area || !area->is(ValueType::Element) || !area->pointer)
        return {};
    auto* element = dynamic_cast<MElement*>(area->as<ScriptElement>());
    if (!element)
        return {};
    Bounds bounds{true, std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                  std::numeric_limits<float>::lowest(), std::numeric_limits<float>::lowest()};
    for (PolygonPoint corner : elementCorners(*element)) {
        bounds.minX = std::min(bounds.minX, corner.x);
        bounds.maxX = std::max(bounds.maxX, corner.x);
        bounds.minY = std::min(bounds.minY, corner.y);
        bounds.maxY = std::max(bounds.maxY, corner.y);
    }
    return bounds;
}

float clampTo(float v, float low, float high) { return v < low ? low : v > high ? high : v; }

// The object follows the pointer: the pointer (with the drag offset and the
// configured offsets) carried back through the camera that shows it.
void followPointer(MScene& scene, MElement& e, const Bounds& area) {
    const SceneEngineState& state = sceneEngineState();
    const MScene* viewer = cameraSceneOf(e);
    const SceneCamera& view = (viewer ? *viewer : scene).camera;
    const float halfW = scene.camera.halfW, halfH = scene.camera.halfH;
    float ox = state.takenOffsetX + memberNumber(e, sym::Taken_offset_x(), 0);
    float oy = state.takenOffsetY + memberNumber(e, sym::Taken_offset_y(), 0);
    if (e.members.get(sym::taken_scale())) {
        float factor = memberNumber(e, sym::taken_scale(), 1);
        e.absScaleX *= factor;
        e.absScaleY *= factor;
    }
    e.absX = (state.pointerX + state.dragOffsetX + ox - halfW - view.shiftX) / view.scaleX + halfW - view.offsetX;
    e.absY = (state.pointerY + state.dragOffsetY + oy - halfH - view.shiftY) / view.scaleY + halfH - view.offsetY;
    if (area.set) {
        e.absX = clampTo(e.absX, area.minX, area.maxX);
        e.absY = clampTo(e.absY, area.minY, area.maxY);
    }
}

void placeCarried(MScene& scene, MElement& e, const Bounds& area) {
    const SceneEngineState& state = sceneEngineState();
    e.absZ -= state.takenOffsetZ;
    if (state.takeMode == 3 || state.takeMode == 5) {
        followPointer(scene, e, area);
    } else if (state.takeMode == 2) {
        e.absScaleX *= kSelectedGrowth;
        e.absScaleY *= kSelectedGrowth;
    }
}

void applySize(MElement& e) {
    float w = e.sizeOverride ? e.sizeOverride->w : e.visual ? e.visual->width : 0;
    float h = e.sizeOverride ? e.sizeOverride->h : e.visual ? e.visual->height : 0;
    e.absW = e.absScaleX * w;
    e.absH = e.absScaleY * h;
}

// Uses last tick's camera (it is derived after the transforms), so a
// parallax element stays marked to follow it.
void applyParallax(const MScene& scene, MElement& e) {
    const SceneCamera& camera = scene.camera;
    if (e.parallaxX != 0) {
        e.absX += (camera.offsetX - camera.halfW) * e.parallaxX / 256.0f;
        e.markTransformDirty();
    }
    if (e.parallaxY != 0) {
        e.absY += (camera.offsetY - camera.halfH) * e.parallaxY / 256.0f;
        e.markTransformDirty();
    }
}

void driveMedia(MScene& scene, MElement& e) {
    if (!e.visual)
        return;
    if (e.visual->isParticleSystem() && (scene.paused || driveParticleElement(scene, e)))
        e.markTransformDirty();
    if (e.visual->image.movie) {
        e.markTransformDirty();
        if (!scene.paused)
            driveMovieElement(scene, e);
    }
}

} // namespace

void computeTransforms(MScene& scene) {
    MElement* carried = carriedElement();
    if (carried && carried->scene != &scene)
        carried = nullptr;
    const Bounds area = carried ? moveAreaOf(*carried) : Bounds{};
    for (MElement* e : scene.recomputed) {
        if (!e->transformDirty)
            continue;
        e->transformDirty = 0;
        if (e->parent)
            inheritFromParent(*e, *e->parent);
        if (e == carried)
            placeCarried(scene, *e, area);
        applySize(*e);
        applyParallax(scene, *e);
        driveMedia(scene, *e);
    }
}

} // namespace glint
