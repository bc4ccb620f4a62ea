#include "engine/render/quad_batch.h"

#include "engine/render/gl.h"
#include "engine/render/render_state.h"
#include "engine/render/texture.h"

namespace glint {

namespace {

KQuadBatch* batch = nullptr;

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

void KQuadBatch::pointArrays() const {
    renderState.blendSource = renderState.blendDestination = -1;
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, 1);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, colors_);
    glTexCoordPointer(2, GL_FLOAT, 0, texCoords_);
    glVertexPointer(2, GL_FLOAT, 0, positions_);
}

KQuadBatch* KQuadBatch::current() { return batch; }

void KQuadBatch::destroy() {
    delete batch;
    batch = nullptr;
}

void KQuadBatch::setDrawer(Drawer drawer, void* user) {
    drawer_ = drawer ? drawer : drawWithGl;
    drawerUser_ = drawer ? user : nullptr;
}

void KQuadBatch::setState(KTexture* texture, int blendMode, int primitive) {
    if (texture != texture_ || blendMode != blendMode_ || primitive != primitive_ || primitive_ != K_PRIMITIVE_QUADS)
        flush(true);
    texture_ = texture;
    blendMode_ = blendMode;
    primitive_ = primitive;
    textureWidth_ = texture ? static_cast<float>(texture->textureWidth) : 1;
    textureHeight_ = texture ? static_cast<float>(texture->textureHeight) : 1;
    inverseWidth_ = inverseOf(textureWidth_);
    inverseHeight_ = inverseOf(textureHeight_);
}

void KQuadBatch::addQuad(const KQuadPoint texels[4], const KQuadPoint points[4], uint32_t color) {
    if (!texture_)
        return;
    if (count_ > kCapacity - 4)
        flush(false);
    float height = static_cast<float>(renderState.flipHeight);
    for (int corner = 0; corner < 4; ++corner) {
        int at = count_ + corner;
        colors_[at] = color;
        positions_[at * 2] = points[corner].x;
        positions_[at * 2 + 1] = height - points[corner].y;
        // Texel points are corners: a quad drawn 1:1 then samples every
        // texel at its centre, as GL samples fragments at theirs.
        texCoords_[at * 2] = texels[corner].x * inverseWidth_;
        texCoords_[at * 2 + 1] = texels[corner].y * inverseHeight_;
    }
    count_ += 4;
}

void KQuadBatch::addRect(float x1, float y1, float x2, float y2, float x, float y, float scaleX, float scaleY,
                         uint32_t color) {
    float right = x + (x2 - x1) * scaleX, bottom = y + (y2 - y1) * scaleY;
    const KQuadPoint texels[4] = {{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}};
    const KQuadPoint points[4] = {{x, y}, {right, y}, {right, bottom}, {x, bottom}};
    addQuad(texels, points, color);
}

void KQuadBatch::flush(bool reset) {
    if (texture_ && count_ > 0)
        drawer_(*this, drawerUser_);
    if (reset) {
        texture_ = nullptr;
        blendMode_ = -1;
        primitive_ = -1;
    }
    count_ = 0;
}

namespace {

const GLushort* quadIndices() {
    static const auto indices = [] {
        static GLushort table[KQuadBatch::kCapacity / 4 * 6];
        for (int quad = 0; quad < KQuadBatch::kCapacity / 4; ++quad) {
            const GLushort first = static_cast<GLushort>(quad * 4);
            const GLushort corners[6] = {first, static_cast<GLushort>(first + 1), static_cast<GLushort>(first + 2),
                                         first, static_cast<GLushort>(first + 2), static_cast<GLushort>(first + 3)};
            for (int i = 0; i < 6; ++i)
                table[quad * 6 + i] = corners[i];
        }
        return table;
    }();
    return indices;
}

} // namespace

void KQuadBatch::drawWithGl(const KQuadBatch& self, void*) {
    self.texture_->bind();
    BlendFactors factors = blendFactorsFor(self.blendMode_);
    if (factors.source != renderState.blendSource || factors.destination != renderState.blendDestination) {
        glBlendFunc(static_cast<GLenum>(factors.source), static_cast<GLenum>(factors.destination));
        renderState.blendSource = factors.source;
        renderState.blendDestination = factors.destination;
    }
    if (self.primitive_ == K_PRIMITIVE_LINES) {
        glDrawArrays(GL_LINES, 0, self.count_);
        return;
    }
    // Two triangles per quad: drivers that turn quads into triangles
    // themselves spend time on it at every draw.
    glDrawElements(GL_TRIANGLES, self.count_ / 4 * 6, GL_UNSIGNED_SHORT, quadIndices());
}

} // namespace glint
