// An element's image on screen: one quad, a nine-part frame whose corners
// keep their size, or strips that sway like cloth or water.
#include <cmath>

#include "engine/render/quad_batch.h"
#include "engine/system/numbers.h"
#include "resource/texture.h"
#include "scene/element.h"
#include "scene/element_geometry.h"
#include "scene/scene.h"
#include "scene/scene_draw.h"
#include "script/symbol.h"

namespace glint {

namespace {

PolygonPoint operator+(PolygonPoint a, PolygonPoint b) { return {a.x + b.x, a.y + b.y}; }
PolygonPoint operator-(PolygonPoint a, PolygonPoint b) { return {a.x - b.x, a.y - b.y}; }
PolygonPoint operator*(PolygonPoint a, float k) { return {a.x * k, a.y * k}; }

float lengthOf(PolygonPoint v) { return std::sqrt(v.x * v.x + v.y * v.y); }

PolygonPoint direction(PolygonPoint v) {
    float length = lengthOf(v);
    return length > 0.001f ? v * (1 / length) : v;
}

// Texture points and positions of one quad, in the batch's corner order.
struct Quad {
    KQuadPoint texels[4];
    KQuadPoint positions[4];
};

void setTexels(Quad& quad, float x0, float y0, float x1, float y1) {
    quad.texels[0] = {x0, y0};
    quad.texels[1] = {x1, y0};
    quad.texels[2] = {x1, y1};
    quad.texels[3] = {x0, y1};
}

void setPositions(Quad& quad, PolygonPoint a, PolygonPoint b, PolygonPoint c, PolygonPoint d) {
    quad.positions[0] = {a.x, a.y};
    quad.positions[1] = {b.x, b.y};
    quad.positions[2] = {c.x, c.y};
    quad.positions[3] = {d.x, d.y};
}

// The grid of a nine-part frame, four rows of four points.
void frameGrid(const Corners& c, float cw, float ch, bool around, PolygonPoint grid[16]) {
    PolygonPoint e1 = direction(c[1] - c[0]) * cw, e2 = direction(c[2] - c[1]) * ch;
    PolygonPoint e3 = direction(c[3] - c[2]) * cw, e4 = direction(c[0] - c[3]) * ch;
    const PolygonPoint outside[16] = {
        c[0] - e1 + e4, c[0] + e4, c[1] - e2,      c[1] + e1 - e2, //
        c[0] - e1,      c[0],      c[1],           c[1] + e1,      //
        c[3] + e3,      c[3],      c[2],           c[2] - e3,      //
        c[3] + e3 - e4, c[3] - e4, c[2] + e2,      c[2] - e3 + e2,
    };
    const PolygonPoint inside[16] = {
        c[0],      c[0] + e1,      c[1] - e1,      c[1],      //
        c[0] - e4, c[0] + e1 - e4, c[1] - e1 - e4, c[1] - e4, //
        c[3] + e4, c[3] + e1 + e4, c[2] - e1 + e4, c[2] + e4, //
        c[3],      c[3] + e1,      c[2] - e1,      c[2],
    };
    for (int i = 0; i < 16; ++i)
        grid[i] = around ? outside[i] : inside[i];
}

void drawFrame(KQuadBatch& batch, const MElement& e, const MTexture& texture, const FrameRect& r,
               const Corners& c, uint32_t color) {
    float cw = std::fmin(texture.drawWidth() / 3, lengthOf(c[1] - c[0]) / 2);
    float ch = std::fmin(texture.drawHeight() / 3, lengthOf(c[3] - c[0]) / 2);
    PolygonPoint grid[16];
    frameGrid(c, cw, ch, e.stretch > 0, grid);
    const float columns[4] = {r.x0, r.x0 + cw, r.x1 - cw, r.x1};
    const float rows[4] = {r.y0, r.y0 + ch, r.y1 - ch, r.y1};
    for (int row = 0; row < 3; ++row) {
        for (int k = 0; k < 3; ++k) {
            Quad quad;
            setTexels(quad, columns[k], rows[row], columns[k + 1], rows[row + 1]);
            setPositions(quad, grid[row * 4 + k], grid[row * 4 + k + 1], grid[(row + 1) * 4 + k + 1],
                         grid[(row + 1) * 4 + k]);
            batch.addQuad(quad.texels, quad.positions, color);
        }
    }
}

// Stays the same for a name through the whole run, and from run to run.
uint32_t nameSeed(const Symbol* name) {
    uint32_t hash = 2166136261u;
    for (const char* p = name && name->text ? name->text : ""; *p; ++p)
        hash = (hash ^ static_cast<unsigned char>(*p)) * 16777619u;
    return hash;
}

// Elements that name another as their "hstretching_owner" sway with it.
uint32_t waveSeed(const MElement& e) {
    const Value* owner = e.members.get(sym::hstretching_owner());
    if (owner && owner->is(ValueType::Element) && owner->pointer)
        return nameSeed(owner->as<ScriptElement>()->name);
    return nameSeed(e.name);
}

struct Wave {
    int strips;
    float speed, amount;
    bool pinFirst, pinLast;
    bool columns;
};

float clamp01(float v) { return v < 0 ? 0 : v > 1 ? 1 : v; }

void drawStrips(KQuadBatch& batch, const MElement& e, const Wave& wave, const FrameRect& r, const Corners& c,
                uint32_t color) {
    uint32_t seed = waveSeed(e);
    int32_t h = static_cast<int32_t>((seed ^ (seed >> 16)) & 0xFFFF);
    int32_t ticks = e.owner() ? e.owner()->tickCounter : 0;
    const int n = wave.strips;
    for (int i = 0; i < n; ++i) {
        float a0 = static_cast<float>(i) / n, a1 = static_cast<float>(i + 1) / n;
        int32_t p = 7 * h + ticks + 137 * i, next = p + 137;
        float p0 = a0 + tableSinCos(p * wave.speed * 0.63f).cos * wave.amount * 0.001f;
        float p1 = a1 + tableSinCos(next * wave.speed * 0.63f).cos * wave.amount * 0.001f;
        if (i == 0 && wave.pinFirst)
            p0 = a0;
        if (i == n - 1 && wave.pinLast)
            p1 = a1;
        float t0 = i == 0 ? 0 : clamp01(a0 + tableSinCos(p * wave.speed * 0.85f).sin * wave.amount * 0.026f * 0.01f);
        float t1 = i == n - 1 ? 1
                              : clamp01(a1 + tableSinCos(next * wave.speed * 0.85f).sin * wave.amount * 0.026f * 0.01f);
        Quad quad;
        if (wave.columns) {
            setPositions(quad, c[0] + (c[1] - c[0]) * p0, c[0] + (c[1] - c[0]) * p1, c[3] + (c[2] - c[3]) * p1,
                         c[3] + (c[2] - c[3]) * p0);
            setTexels(quad, r.x0 + (r.x1 - r.x0) * t0, r.y0, r.x0 + (r.x1 - r.x0) * t1, r.y1);
        } else {
            setPositions(quad, c[0] + (c[3] - c[0]) * p0, c[1] + (c[2] - c[1]) * p0, c[1] + (c[2] - c[1]) * p1,
                         c[0] + (c[3] - c[0]) * p1);
            setTexels(quad, r.x0, r.y0 + (r.y1 - r.y0) * t0, r.x1, r.y0 + (r.y1 - r.y0) * t1);
        }
        batch.addQuad(quad.texels, quad.positions, color);
    }
}

} // namespace

uint32_t elementColor(const MElement& e, float opacity) {
    float tint[3] = {1, 1, 1};
    if (e.hasFlag(kElementTinted))
        for (int i = 0; i < 3; ++i)
            tint[i] = e.tint[i] / 255.0f;
    return packColor(e.channels[kChannelRed] * tint[0], e.channels[kChannelGreen] * tint[1],
                     e.channels[kChannelBlue] * tint[2], opacity);
}

void drawElementImage(const MElement& e, const MImageAnim& image, const FrameRect& r, const Corners& c,
                      uint32_t color) {
    KQuadBatch* batch = KQuadBatch::current();
    const MTexture* texture = image.texture;
    if (!batch || !texture || !texture->page()->image)
        return;
    batch->setState(texture->page()->image, e.blendMode, K_PRIMITIVE_QUADS);
    const MElementVisual* own = e.visual;
    const uint16_t kinds = own ? own->kindFlags : 0;
    if (own && own->waveColumns >= 2) {
        drawStrips(*batch, e,
                   {own->waveColumns, own->waveSpeedX, own->waveAmountX, (kinds & kVisualWavePinFirstColumn) != 0,
                    (kinds & kVisualWavePinLastColumn) != 0, true},
                   r, c, color);
    } else if (own && own->waveRows >= 2) {
        drawStrips(*batch, e,
                   {own->waveRows, own->waveSpeedY, own->waveAmountY, (kinds & kVisualWavePinFirstRow) != 0,
                    (kinds & kVisualWavePinLastRow) != 0, false},
                   r, c, color);
    } else if (e.stretch != 0) {
        drawFrame(*batch, e, *texture, r, c, color);
    } else {
        Quad quad;
        setTexels(quad, r.x0, r.y0, r.x1, r.y1);
        setPositions(quad, c[0], c[1], c[2], c[3]);
        batch->addQuad(quad.texels, quad.positions, color);
    }
}

} // namespace glint
