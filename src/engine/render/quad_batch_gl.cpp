// The batch on the GL: the vertices of a flush go to the driver in one
// piece, into a buffer object when the driver has them (GL 1.5 or
// ARB_vertex_buffer_object), else straight from the batch's memory; then
// each run is one draw call over its part.
#include "engine/render/gl.h"
#include "engine/render/quad_batch.h"
#include "engine/render/render_state.h"
#include "engine/render/texture.h"

#include <cstddef>
#include <cstdint>

namespace glint {

namespace {

constexpr int kIndexCount = KQuadBatch::kCapacity / 4 * 6;

// Two triangles per quad, quad q on vertices 4q to 4q + 3: drivers that turn
// quads into triangles themselves spend time on it at every draw.
const GLushort* quadIndices() {
    static const GLushort* const indices = [] {
        static GLushort table[kIndexCount];
        for (int quad = 0; quad < KQuadBatch::kCapacity / 4; ++quad) {
            const int first = quad * 4;
            const int corners[6] = {first, first + 1, first + 2, first, first + 2, first + 3};
            for (int i = 0; i < 6; ++i)
                table[quad * 6 + i] = static_cast<GLushort>(corners[i]);
        }
        return table;
    }();
    return indices;
}

// `offset` bytes after `base`: an address in memory, or an offset into the
// bound buffer when base is null.
const void* at(const void* base, size_t offset) {
    return reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(base) + offset);
}

void pointTo(const KQuadVertex* base) {
    constexpr GLsizei stride = sizeof(KQuadVertex);
    glVertexPointer(2, GL_FLOAT, stride, at(base, offsetof(KQuadVertex, x)));
    glTexCoordPointer(2, GL_FLOAT, stride, at(base, offsetof(KQuadVertex, u)));
    glColorPointer(4, GL_UNSIGNED_BYTE, stride, at(base, offsetof(KQuadVertex, color)));
}

void useBlendMode(int blendMode) {
    BlendFactors factors = blendFactorsFor(blendMode);
    if (factors.source != renderState.blendSource || factors.destination != renderState.blendDestination) {
        glBlendFunc(static_cast<GLenum>(factors.source), static_cast<GLenum>(factors.destination));
        renderState.blendSource = factors.source;
        renderState.blendDestination = factors.destination;
    }
}

} // namespace

KQuadBatch::~KQuadBatch() {
    const BufferFunctions& gl = renderState.buffers;
    if (vertexBuffer_ && gl.deleteBuffers) {
        const GLuint names[2] = {vertexBuffer_, indexBuffer_};
        gl.deleteBuffers(2, names);
    }
}

void KQuadBatch::createBuffers() {
    const BufferFunctions& gl = renderState.buffers;
    GLuint names[2] = {0, 0};
    gl.genBuffers(2, names);
    if (!names[0] || !names[1])
        return;
    vertexBuffer_ = names[0], indexBuffer_ = names[1];
    gl.bindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
    gl.bufferData(GL_ELEMENT_ARRAY_BUFFER, kIndexCount * sizeof(GLushort), quadIndices(), GL_STATIC_DRAW);
}

void KQuadBatch::pointArrays() {
    renderState.blendSource = renderState.blendDestination = -1;
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, 1);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    const BufferFunctions& gl = renderState.buffers;
    if (!vertexBuffer_ && gl.available())
        createBuffers();
    if (vertexBuffer_) {
        gl.bindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
        gl.bindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
        pointTo(nullptr);
    }
}

void KQuadBatch::drawWithGl(const KQuadVertex* vertices) {
    const GLushort* indices = nullptr;
    if (vertexBuffer_) {
        // A new store each flush: the driver need not wait for draws that
        // still read the last one.
        renderState.buffers.bufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count_ * sizeof(KQuadVertex)),
                                       vertices, GL_STREAM_DRAW);
    } else {
        pointTo(vertices);
        indices = quadIndices();
    }
    for (int r = 0; r < runCount_; ++r) {
        const Run& run = runs_[r];
        run.texture->bind();
        useBlendMode(run.blendMode);
        if (renderState.pixelsUnseen)
            continue;
        const int first = run.firstQuad * 4, count = run.quads * 4;
        if (run.primitive == K_PRIMITIVE_LINES)
            glDrawArrays(GL_LINES, first, count);
        else
            glDrawRangeElements(GL_TRIANGLES, static_cast<GLuint>(first), static_cast<GLuint>(first + count - 1),
                                run.quads * 6, GL_UNSIGNED_SHORT, at(indices, run.firstQuad * 6 * sizeof(GLushort)));
    }
}

} // namespace glint
