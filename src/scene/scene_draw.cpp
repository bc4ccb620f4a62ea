// A scene on screen, from the back of its draw list to the front: each
// visible element through its camera, clipped to its crop window, as its
// image or its render hook, then its text. View and clip change only when
// consecutive elements differ in them, so the batch stays whole.
#include <algorithm>
#include <cmath>

#include "engine/render/quad_batch.h"
#include "engine/window/game_window.h"
#include "resource/texture.h"
#include "scene/element.h"
#include "scene/element_geometry.h"
#include "scene/element_movie.h"
#include "scene/particle_effects.h"
#include "scene/scene.h"
#include "scene/scene_draw.h"
#include "scene/scene_engine_state.h"
#include "scene/scene_update_steps.h"
#include "script/interpreter.h"

namespace glint {

namespace {

void flush() {
    if (KQuadBatch* batch = KQuadBatch::current())
        batch->flush(false);
}

void viewThrough(KGameWindow& window, const SceneCamera& c) {
    window.setView(c.offsetX, c.offsetY, c.shiftX, c.shiftY, c.angle, c.scaleX, c.scaleY);
}

// A black veil over everything drawn before the scene.
void veil(float darkness) {
    KQuadBatch* batch = KQuadBatch::current();
    const SceneEngineState& state = sceneEngineState();
    if (!batch || !state.fillTexture)
        return;
    batch->setState(state.fillTexture, K_BLEND_ALPHA, K_PRIMITIVE_QUADS);
    const KQuadPoint texels[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    const KQuadPoint corners[4] = {{0, 0}, {state.screenW, 0}, {state.screenW, state.screenH}, {0, state.screenH}};
    batch->addQuad(texels, corners, packColor(0, 0, 0, darkness));
}

// The crop offset: an element without a crop window clips itself to its
// own rectangle moved by (crop_offset_x, crop_offset_y), when either is
// more than a rounding error.
bool cropOffsetOf(const MElement& e, PolygonPoint& offset) {
    const Value* x = e.members.get(sym::crop_offset_x());
    const Value* y = e.members.get(sym::crop_offset_y());
    bool shifted = (x && x->isNumber() && std::fabs(x->number) > 0.001) ||
                   (y && y->isNumber() && std::fabs(y->number) > 0.001);
    if (!shifted)
        return false;
    offset.x = x && x->isNumber() ? static_cast<float>(x->number) : 0;
    offset.y = y && y->isNumber() ? static_cast<float>(y->number) : 0;
    return true;
}

// The owner's rectangle on screen, without the camera's rotation.
void clipTo(KGameWindow& window, const MScene& scene, const MElement& owner, PolygonPoint offset) {
    const MScene* viewer = cameraSceneOf(owner);
    const SceneCamera& c = (viewer ? *viewer : scene).camera;
    float minX = 1e30f, minY = 1e30f, maxX = -1e30f, maxY = -1e30f;
    for (PolygonPoint corner : elementCorners(owner)) {
        float x = (corner.x + offset.x - c.halfW + c.offsetX) * c.scaleX + c.halfW + c.shiftX;
        float y = (corner.y + offset.y - c.halfH + c.offsetY) * c.scaleY + c.halfH + c.shiftY;
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
    flush();
    window.setClip(true, minX, minY, maxX, maxY);
}

// A script function in the element's "Renderer" variable draws it alone.
bool runRenderHook(const MElement& e, float opacity) {
    const Value* hook = e.members.get(sym::Renderer());
    if (!hook || !hook->is(ValueType::Function) || !hook->pointer)
        return false;
    Value argument = Value::fromNumber(opacity);
    return callDefinedFunction(hook->as<ScriptFunction>(), &argument, 1);
}

void drawImageOf(MElement& e, float opacity) {
    const MImageAnim& image = (e.imageSource && e.imageSource->visual ? e.imageSource->visual : e.visual)->image;
    if (!image.texture)
        return;
    Corners corners = elementCorners(e);
    if (image.movie) {
        drawMovieFrame(*image.movie, corners, elementColor(e, opacity), e.blendMode);
        return;
    }
    FrameRect rect = image.frameRect(static_cast<float>(roundToInteger(e.time)));
    drawElementImage(e, image, rect, corners, elementColor(e, opacity));
}

// The camera and clip of the element before, kept while they stay the same.
struct DrawState {
    KGameWindow& window;
    const MScene& scene;
    const MScene* cameraScene = nullptr;
    const MElement* clipOwner = nullptr;
};

void useCameraOf(DrawState& state, const MElement& e) {
    const MScene* viewer = cameraSceneOf(e);
    if (viewer == &state.scene)
        viewer = nullptr;
    if (viewer == state.cameraScene)
        return;
    flush();
    viewThrough(state.window, (viewer ? *viewer : state.scene).camera);
    state.cameraScene = viewer;
    state.clipOwner = nullptr;
    state.window.setClip(false);
}

void useClipOf(DrawState& state, MElement& e) {
    PolygonPoint offset;
    const MElement* owner = e.cropElement;
    if (!owner && cropOffsetOf(e, offset))
        owner = &e;
    if (owner == state.clipOwner)
        return;
    state.clipOwner = owner;
    if (owner) {
        clipTo(state.window, state.scene, *owner, owner == &e ? offset : PolygonPoint{});
    } else {
        flush();
        state.window.setClip(false);
    }
}

void drawElement(MElement& e, float drawOpacity) {
    float opacity = e.effectiveAlpha / 1024.0f * drawOpacity;
    if (runRenderHook(e, opacity))
        return;
    if (e.visual && e.visual->isParticleSystem()) {
        drawParticleElement(e, drawOpacity);
        return;
    }
    if (opacity < 0.001f)
        return;
    if (e.visual)
        drawImageOf(e, opacity);
    if (const char* text = e.text())
        drawTextOfElement(e, text, opacity);
}

} // namespace

void MScene::draw() {
    KGameWindow* window = KGameWindow::current();
    if (!window || !KQuadBatch::current())
        return;
    flush();
    window->setClip(false);
    if (drawDarkness > 0)
        veil(drawDarkness);
    flush();
    viewThrough(*window, camera);
    DrawState state{*window, *this};
    int32_t last = static_cast<int32_t>(drawList.size()) - 1;
    int32_t first = firstDrawIndex < 0 ? last : std::min(firstDrawIndex, last);
    for (int32_t i = first; i >= 0; --i) {
        MElement& e = *drawList[i];
        if (!e.hasFlag(kElementVisible))
            continue;
        useCameraOf(state, e);
        useClipOf(state, e);
        drawElement(e, drawOpacity);
    }
    flush();
    window->setClip(false);
    viewThrough(*window, camera);
    drawSceneEffects(*this);
    flush();
    window->setView(0, 0, 0, 0, 0, 1, 1);
}

} // namespace glint
