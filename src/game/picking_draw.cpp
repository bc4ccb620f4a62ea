// Drawing the flights: the trails, then the picture swelling in place or
// on its arc, growing in the middle of the way.
#include "game/picking.h"

#include <algorithm>

#include "engine/render/quad_batch.h"
#include "engine/system/numbers.h"
#include "game/pulse_curve.h"
#include "resource/image_anim.h"
#include "resource/texture.h"
#include "scene/element_geometry.h"
#include "scene/particle_instance.h"

namespace glint {

namespace {

float lerp(float a, float b, float t) { return a + (b - a) * t; }

// The whole picture over the pose's rectangle, its pivot point at the
// pose's point and turned about it, white with the opacity.
void drawPicture(const MTexture* texture, const PickingPose& pose, float opacity) {
    KQuadBatch* batch = KQuadBatch::current();
    if (!batch || !texture || !texture->page()->image)
        return;
    MImageAnim whole;
    whole.texture = const_cast<MTexture*>(texture);
    const FrameRect r = whole.frameRect(0);
    const auto corners =
        rectangleCorners(pose.x, pose.y, pose.width, pose.height, pose.angle, pose.pivotX, pose.pivotY);
    const KQuadPoint texels[4] = {{r.x0, r.y0}, {r.x1, r.y0}, {r.x1, r.y1}, {r.x0, r.y1}};
    KQuadPoint positions[4];
    for (int i = 0; i < 4; ++i)
        positions[i] = {corners[static_cast<size_t>(i)].x, corners[static_cast<size_t>(i)].y};
    batch->setState(texture->page()->image, K_BLEND_ALPHA, K_PRIMITIVE_QUADS);
    batch->addQuad(texels, positions, packColor(1, 1, 1, opacity));
}

} // namespace

void MPicking::draw() {
    for (size_t i = running_.size(); i-- > 0;)
        drawRecord(*running_[i]);
}

void MPicking::drawRecord(PickingAnimation& a) {
    for (const MParticleInstance* trail : a.trails)
        if (trail && trail->alive)
            trail->draw(1);
    if (a.finished)
        return;
    if (a.phase == kPickingPulse) {
        const int32_t fadeTicks = ticksOf("hud_pre_picking_fade_time", 0.5f);
        const float opacity =
            fadeTicks >= 1 ? std::clamp(static_cast<float>(a.ticks) / static_cast<float>(fadeTicks), 0.0f, 1.0f) : 1;
        const float scale =
            a.ticks < ticksOf("hud_pre_picking_anim_time", 1) ? pulse_.value(static_cast<float>(a.ticks)) : 1;
        PickingPose pose = a.start;
        pose.width *= scale;
        pose.height *= scale;
        drawPicture(a.texture, pose, opacity);
    } else if (a.phase == kPickingFlight) {
        drawFlight(a);
    }
}

// Along the arc, arc / 4 above the straight way half-way, and growth / 4
// bigger there.
void MPicking::drawFlight(PickingAnimation& a) {
    const int32_t length = std::max(ticksOf("hud_picking_anim_time", 1.5f), 1);
    const float p = static_cast<float>(a.ticks) / static_cast<float>(length);
    const float rise = p - p * p;
    const float bulge = a.growth * rise + 1;
    const PickingPose &from = a.start, &to = a.target;
    PickingPose pose;
    pose.x = lerp(from.x, to.x, p);
    pose.y = lerp(from.y, to.y, p) - a.arc * rise;
    if (from.width > from.height) {
        pose.width = lerp(from.width, to.width, p);
        pose.height = from.height * pose.width / from.width;
    } else {
        pose.height = lerp(from.height, to.height, p);
        pose.width = from.height > 0 ? from.width * pose.height / from.height : 0;
    }
    pose.width *= bulge;
    pose.height *= bulge;
    pose.pivotX = lerp(from.pivotX, to.pivotX, p);
    pose.pivotY = lerp(from.pivotY, to.pivotY, p);
    pose.angle = lerp(from.angle, to.angle, p);
    const float opacity = a.item ? 1 : std::clamp((1 - p) / std::max(a.fade, 0.001f), 0.0f, 1.0f);
    drawPicture(a.texture, pose, opacity);
    for (MParticleInstance* trail : a.trails) {
        if (trail) {
            trail->offsetX = pose.x;
            trail->offsetY = pose.y;
        }
    }
    a.trailMode = 2;
}

} // namespace glint
