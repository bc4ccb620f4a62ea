#include "engine/render/quad_batch.h"

#include "engine/render/gl.h"
#include "engine/render/render_state.h"
#include "engine/render/texture.h"

#include <algorithm>

namespace glint {

namespace {

KQuadBatch* batch = nullptr;

// How far back a change of state looks for a run to join: a scene switches
// among a few pages, and the search stays short when it does not.
constexpr int kLookBack = 64;

static_assert(KQuadBatch::kCapacity / 4 <= 0xFFFF, "the planner keeps run numbers in 16 bits");

float inverseOf(float size) { return size != 0 ? 1 / size : 1; }

} // namespace

BlendFactors blendFactorsFor(int blendMode) {
    switch (blendMode) {
    case K_BLEND_ADD: return {GL_SRC_ALPHA, GL_ONE};
    case K_BLEND_MULTIPLY: return {GL_ZERO, GL_SRC_COLOR};
    default: return {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
    }
}

KQuadBatch::KQuadBatch() = default;

KQuadBatch* KQuadBatch::setup() {
    if (!batch)
        batch = new KQuadBatch();
    reapply();
    return batch;
}

void KQuadBatch::reapply() {
    if (batch)
        batch->pointArrays();
}

KQuadBatch* KQuadBatch::current() { return batch; }

void KQuadBatch::destroy() {
    delete batch;
    batch = nullptr;
}

void KQuadBatch::setDrawer(Drawer drawer, void* user) {
    drawer_ = drawer;
    drawerUser_ = drawer ? user : nullptr;
}

void KQuadBatch::setState(KTexture* texture, int blendMode, int primitive) {
    if (primitive_ == K_PRIMITIVE_LINES || (primitive == K_PRIMITIVE_LINES && count_ > 0))
        flush(true);
    const bool same = texture == texture_ && blendMode == blendMode_ && primitive == primitive_;
    texture_ = texture;
    blendMode_ = blendMode;
    primitive_ = primitive;
    inverseWidth_ = inverseOf(texture ? static_cast<float>(texture->textureWidth) : 1);
    inverseHeight_ = inverseOf(texture ? static_cast<float>(texture->textureHeight) : 1);
    if (!same)
        run_ = newestRunOfState();
}

int KQuadBatch::newestRunOfState() const {
    const int oldest = reordering_ ? std::max(0, runCount_ - kLookBack) : std::max(0, runCount_ - 1);
    for (int r = runCount_ - 1; r >= oldest; --r) {
        const Run& run = runs_[r];
        if (run.texture == texture_ && run.blendMode == blendMode_ && run.primitive == primitive_)
            return r;
    }
    return -1;
}

void KQuadBatch::addQuad(const KQuadPoint texels[4], const KQuadPoint points[4], uint32_t color) {
    if (!texture_)
        return;
    if (count_ > kCapacity - 4)
        flush(false);
    const float height = static_cast<float>(renderState.flipHeight);
    KQuadVertex* corners = pending_ + count_;
    for (int corner = 0; corner < 4; ++corner) {
        // Texel points are corners: a quad drawn 1:1 then samples every
        // texel at its centre, as GL samples fragments at theirs.
        corners[corner] = {points[corner].x, height - points[corner].y, texels[corner].x * inverseWidth_,
                           texels[corner].y * inverseHeight_, color};
    }
    join(runFor(corners), count_ / 4);
    count_ += 4;
}

int KQuadBatch::runFor(const KQuadVertex* corners) {
    if (!reordering_)
        return run_ >= 0 && run_ == runCount_ - 1 ? run_ : runCount_;
    float minX = corners[0].x, maxX = minX, minY = corners[0].y, maxY = minY;
    for (int corner = 1; corner < 4; ++corner) {
        minX = std::min(minX, corners[corner].x), maxX = std::max(maxX, corners[corner].x);
        minY = std::min(minY, corners[corner].y), maxY = std::max(maxY, corners[corner].y);
    }
    return planner_.place(run_, runCount_, minX, minY, maxX, maxY);
}

void KQuadBatch::join(int run, int quad) {
    nextQuad_[quad] = -1;
    if (run == runCount_) {
        runs_[runCount_++] = {texture_, blendMode_, primitive_, quad, quad, 1};
    } else {
        Run& joined = runs_[run];
        nextQuad_[joined.lastQuad] = quad;
        joined.lastQuad = quad;
        ++joined.quads;
        interleaved_ = interleaved_ || run != runCount_ - 1;
    }
    run_ = run;
}

void KQuadBatch::addRect(float x1, float y1, float x2, float y2, float x, float y, float scaleX, float scaleY,
                         uint32_t color) {
    float right = x + (x2 - x1) * scaleX, bottom = y + (y2 - y1) * scaleY;
    const KQuadPoint texels[4] = {{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}};
    const KQuadPoint points[4] = {{x, y}, {right, y}, {right, bottom}, {x, bottom}};
    addQuad(texels, points, color);
}

// The runs laid end to end; each run's firstQuad then counts in that order.
const KQuadVertex* KQuadBatch::inDrawingOrder() {
    if (!interleaved_)
        return pending_;
    int at = 0;
    for (int r = 0; r < runCount_; ++r) {
        Run& run = runs_[r];
        const int first = at;
        for (int quad = run.firstQuad; quad >= 0; quad = nextQuad_[quad], ++at)
            std::copy_n(pending_ + quad * 4, 4, ordered_ + at * 4);
        run.firstQuad = first;
    }
    return ordered_;
}

void KQuadBatch::flush(bool reset) {
    if (count_ > 0) {
        const KQuadVertex* vertices = inDrawingOrder();
        if (drawer_) {
            for (int r = 0; r < runCount_; ++r) {
                const Run& run = runs_[r];
                drawer_({run.texture, run.blendMode, run.primitive, vertices + run.firstQuad * 4, run.quads * 4},
                        drawerUser_);
            }
        } else {
            drawWithGl(vertices);
        }
        planner_.clear();
    }
    count_ = 0;
    runCount_ = 0;
    run_ = -1;
    interleaved_ = false;
    if (reset) {
        texture_ = nullptr;
        blendMode_ = -1;
        primitive_ = -1;
    }
}

void KQuadBatch::flushIfUses(const KTexture* texture) {
    for (int r = 0; r < runCount_; ++r) {
        if (runs_[r].texture == texture) {
            flush(false);
            return;
        }
    }
}

} // namespace glint
