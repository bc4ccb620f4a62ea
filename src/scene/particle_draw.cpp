// Drawing the particles of an instance: each is a turned quad of the
// system's image (or the owner's), placed by its speed, direction and the
// wind over its age, sized, turned and coloured along its life.
#include <cmath>

#include "engine/render/quad_batch.h"
#include "engine/system/numbers.h"
#include "resource/particle_system.h"
#include "resource/texture.h"
#include "scene/element.h"
#include "scene/element_geometry.h"
#include "scene/particle_instance.h"

namespace glint {

namespace {

float lerp(float a, float b, float t) { return a + (b - a) * t; }

float lerpPair(const float (&pair)[2], float t) { return lerp(pair[0], pair[1], t); }

// The range's start and end picked by seed, then between them by life.
float lerpRange(const ParticleRange& range, float seed, float life) {
    return lerp(lerp(range[0], range[1], seed), lerp(range[2], range[3], seed), life);
}

// The owner's tint and colour channels, once per draw.
struct OwnerLook {
    float red = 1, green = 1, blue = 1;
    float opacity = 1;
    float scaleX = 1, scaleY = 1;
    float angle = 0;
};

OwnerLook lookOf(const MElement* owner, const ParticleDescription& d) {
    OwnerLook look;
    if (!owner)
        return look;
    float tint[3] = {1, 1, 1};
    if (owner->hasFlag(kElementTinted))
        for (int i = 0; i < 3; ++i)
            tint[i] = owner->tint[i] / 255.0f;
    look.red = tint[0] * owner->channels[kChannelRed];
    look.green = tint[1] * owner->channels[kChannelGreen];
    look.blue = tint[2] * owner->channels[kChannelBlue];
    if (!d.option('I'))
        look.opacity = owner->effectiveAlpha / 1024.0f;
    if (d.option('S')) {
        look.scaleX = owner->absScaleX;
        look.scaleY = owner->absScaleY;
    }
    if (d.option('G'))
        look.angle = owner->absAngle;
    return look;
}

// The image the particles show: the system's, else that of the element
// the instance belongs to.
const MImageAnim* imageOf(const MParticleSystem& system, const MElement* owner, const MElement* source) {
    if (system.image.texture)
        return &system.image;
    for (const MElement* element : {owner, source})
        if (element && element->visual && element->visual->image.texture)
            return &element->visual->image;
    return nullptr;
}

// The cell of the image's first frame (the whole image without cells).
FrameRect firstCell(const MImageAnim& image) {
    FrameRect whole = image.frameRect(0);
    if (image.frameCount() <= 1)
        return whole;
    const MTexture* texture = image.texture;
    float x = texture->isSubTexture() ? texture->atlasX : 0;
    float y = texture->isSubTexture() ? texture->atlasY : 0;
    return {x, y, x + texture->drawWidth() / image.columns, y + texture->drawHeight() / image.rows};
}

} // namespace

void MParticleInstance::draw(float opacity) const {
    KQuadBatch* batch = KQuadBatch::current();
    if (!batch || !particles || !system)
        return;
    const MImageAnim* image = imageOf(*system, owner, source);
    KTexture* texture = image ? image->texture->page()->image : nullptr;
    if (!texture)
        return;
    batch->setState(texture, system->blend, K_PRIMITIVE_QUADS);
    const ParticleDescription& d = *system;
    const OwnerLook look = lookOf(owner, d);
    const bool absolute = d.option('B'), square = d.option('A');
    const float emitterX = absolute ? 0 : offsetX + ownerCentreX();
    const float emitterY = absolute ? 0 : offsetY + ownerCentreY();
    const FrameRect still = firstCell(*image);
    const bool animated = image->columns > 1;
    const float red = colorR * look.red, green = colorG * look.green, blue = colorB * look.blue;
    const MParticle* p = particles;
    for (int32_t n = count; n > 0; --n, p = p->next) {
        const float l = static_cast<float>(p->age) / static_cast<float>(p->life);
        float a = lerpPair(d.alpha, l);
        if (l < d.fadeIn)
            a *= l / d.fadeIn;
        if (l > 1 - d.fadeOut)
            a *= (1 - l) / d.fadeOut;
        a *= look.opacity;
        if (!(a * opacity > 0.001f))
            continue;
        const auto t = static_cast<float>(p->age);
        const SinCos heading = tableSinCos(p->direction - look.angle);
        const float x = baseX + p->originX + emitterX +
                        look.scaleX * (p->spawnX + p->speed * heading.cos * t + 0.5f * d.windX * t * t);
        const float y = baseY + p->originY + emitterY +
                        look.scaleY * (p->spawnY + p->speed * heading.sin * t + 0.5f * d.windY * t * t);
        const float halfWidth = lerpRange(d.sizeX, p->seedX, l) * 0.5f;
        const float halfHeight = square ? halfWidth : lerpRange(d.sizeY, p->seedY, l) * 0.5f;
        const float w = 2 * halfWidth * look.scaleX, h = 2 * halfHeight * look.scaleY;
        const auto corners = rectangleCorners(x, y, w, h, lerpRange(d.angle, p->seedAngle, l), 0.5f, 0.5f);
        const FrameRect r = animated ? image->frameRect(t) : still;
        const KQuadPoint texels[4] = {{r.x0, r.y0}, {r.x1, r.y0}, {r.x1, r.y1}, {r.x0, r.y1}};
        const KQuadPoint positions[4] = {{corners[0].x, corners[0].y},
                                         {corners[1].x, corners[1].y},
                                         {corners[2].x, corners[2].y},
                                         {corners[3].x, corners[3].y}};
        const uint32_t color = packColor(lerpPair(d.red, l) * red, lerpPair(d.green, l) * green,
                                         lerpPair(d.blue, l) * blue, a * opacity);
        batch->addQuad(texels, positions, color);
    }
}

} // namespace glint
