// The scene camera: the camera element framed onto the root (or the game
// area), then the scene's camera variables, the global camera scale and
// the view the layer slots set.
#include <algorithm>

#include "scene/element.h"
#include "scene/scene.h"
#include "scene/scene_engine_state.h"
#include "scene/scene_update_steps.h"
#include "script/script_system.h"

namespace glint {

namespace {

constexpr float kMinScale = 0.001f;

struct Frame {
    float offsetX = 0, offsetY = 0, scaleX = 1, scaleY = 1, angle = 0;
};

// Portrait and landscape swap the reference width and height.
bool sameAxes() {
    int fallback = sceneEngineState().defaultOrientation;
    const Value* current = globalValue(sym::ORIENTATION());
    int64_t orientation = !current ? fallback : current->isNumber() ? roundToInteger(current->number) : 0;
    auto upright = [](int64_t o) { return o == 0 || o == 2; };
    return upright(orientation) == upright(fallback);
}

// The camera element's rectangle fills the reference area: the root's, or
// the game area's without a root (or with a root of no size).
Frame frameOfCameraElement(const MScene& scene, const MElement& camera) {
    const SceneCamera& c = scene.camera;
    float rw = 2 * c.halfW, rh = 2 * c.halfH, rx = c.halfW, ry = c.halfH;
    if (const MElement* root = scene.rootElement; root && root->absW > 0 && root->absH > 0) {
        rw = root->absW;
        rh = root->absH;
        rx = root->absX;
        ry = root->absY;
    }
    bool same = sameAxes();
    float kx = std::max(camera.absW / (same ? rw : rh), kMinScale);
    float ky = std::max(camera.absH / (same ? rh : rw), kMinScale);
    return {rx - camera.absX, ry - camera.absY, 1 / kx, 1 / ky, camera.absAngle};
}

// 1 when the variable is missing; at least kMinScale otherwise.
double scaleVariable(const Value* cell) {
    if (!cell)
        return 1;
    return cell->isNumber() && cell->number >= kMinScale ? cell->number : kMinScale;
}

double numberOr(const Value* cell, double absent, double other) {
    if (!cell)
        return absent;
    return cell->isNumber() ? cell->number : other;
}

} // namespace

void deriveCamera(MScene& scene) {
    Frame frame;
    if (scene.cameraElement)
        frame = frameOfCameraElement(scene, *scene.cameraElement);
    const SceneReadBack& vars = scene.readBack;
    double cs = scaleVariable(vars.cameraScale);
    double kx = scaleVariable(vars.cameraScaleX) * cs;
    double ky = scaleVariable(vars.cameraScaleY) * cs;
    double globalX = numberOr(globalValue(sym::Global_camera_scale_x()), 1, 0);
    double globalY = numberOr(globalValue(sym::Global_camera_scale_y()), 1, 0);
    double view = std::max(scene.viewScale, kMinScale);
    SceneCamera& c = scene.camera;
    c.offsetX = static_cast<float>(kx * frame.offsetX - numberOr(vars.cameraX, 0, 0));
    c.offsetY = static_cast<float>(ky * frame.offsetY - numberOr(vars.cameraY, 0, 0));
    c.scaleX = static_cast<float>(kx * frame.scaleX * globalX * view);
    c.scaleY = static_cast<float>(ky * frame.scaleY * globalY * view);
    c.angle = frame.angle;
    c.shiftX = scene.viewCenterX - c.halfW;
    c.shiftY = scene.viewCenterY - c.halfH;
}

MScene* cameraSceneOf(const MElement& element) {
    if (element.cameraScene <= 0 || !globalScope())
        return nullptr;
    for (ScriptScene* s : script().scenes) {
        auto* scene = dynamic_cast<MScene*>(s);
        if (scene && scene->index == element.cameraScene - 1)
            return scene;
    }
    return nullptr;
}

} // namespace glint
