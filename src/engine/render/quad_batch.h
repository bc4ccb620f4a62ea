// The one vertex batch that every visible thing is drawn through: quads (or
// lines) that share a texture, a blend mode and a primitive kind are
// collected into runs, and each run is drawn with one call when the batch
// is flushed.
//
// A quad whose state differs from the quad before does not end the batch:
// it joins the newest run of its own state when no quad of a later run
// overlaps it, since quads that do not overlap can be drawn in any order
// without changing the picture. A scene whose images come from a few atlas
// pages thus costs a few draw calls instead of one per change of page.
#pragma once

#include "engine/render/quad_planner.h"

#include <cstdint>

namespace glint {

class KTexture;

enum KBlendMode : int {
    K_BLEND_ALPHA = 0,    // also every unknown mode
    K_BLEND_ADD = 1,
    K_BLEND_MULTIPLY = 2,
};

enum KPrimitive : int {
    K_PRIMITIVE_QUADS = 0,
    K_PRIMITIVE_LINES = 1, // each quad's four vertices are two lines
};

struct KQuadPoint {
    float x = 0, y = 0;
};

// One vertex as the GL reads it, its attributes side by side.
struct KQuadVertex {
    float x, y;     // game units, y up
    float u, v;     // 0..1 across the texture
    uint32_t color; // R, G, B, A from the lowest byte
};

// A run of quads drawn with one call.
struct KQuadRun {
    KTexture* texture;
    int blendMode;
    int primitive;
    const KQuadVertex* vertices;
    int count; // vertices
};

// The GL blend factors of a blend mode.
struct BlendFactors {
    int source, destination;
};
BlendFactors blendFactorsFor(int blendMode);

class KQuadBatch {
public:
    static constexpr int kCapacity = 16384; // vertices held until a flush: 4096 quads

    // Creates the batch when there is none and points the GL vertex arrays
    // at it, with blending on and the colour opaque white.
    static KQuadBatch* setup();
    // The same GL set-up for an existing batch (each frame).
    static void reapply();
    static KQuadBatch* current();
    // Frees the batch and its GL buffers (with the window).
    static void destroy();

    // Takes the state for the quads that follow. Lines are never kept
    // across calls: what is collected is drawn before and after them.
    void setState(KTexture* texture, int blendMode, int primitive);
    // Texture points in texels (corners, so (0, 0)-(w, h) is the whole
    // image), positions in game units (y down), colour
    // packed R, G, B, A from the lowest byte. Ignored without a texture.
    // A full batch is drawn first.
    void addQuad(const KQuadPoint texels[4], const KQuadPoint positions[4], uint32_t color);
    // The source rectangle (x1, y1)-(x2, y2) drawn at (x, y), scaled.
    void addRect(float x1, float y1, float x2, float y2, float x, float y, float scaleX, float scaleY,
                 uint32_t color);
    // Draws what is collected, run by run; reset also forgets the state.
    void flush(bool reset);
    // Draws what is collected when a waiting quad uses the texture, before
    // its pixels change or it goes away.
    void flushIfUses(const KTexture* texture);
    // Off, quads keep the order they came in (each change of state starts
    // a run); for comparing pictures and counting draw calls.
    void setReordering(bool on) { reordering_ = on; }

    // Where a flush sends each run; the GL drawer by default. Tests
    // install their own to watch the batching.
    using Drawer = void (*)(const KQuadRun& run, void* user);
    void setDrawer(Drawer drawer, void* user);

    KTexture* texture() const { return texture_; }
    int blendMode() const { return blendMode_; }
    int primitive() const { return primitive_; }
    int count() const { return count_; } // vertices waiting

private:
    struct Run {
        KTexture* texture;
        int blendMode, primitive;
        int firstQuad, lastQuad, quads;
    };

    KQuadBatch();
    ~KQuadBatch();
    int newestRunOfState() const;
    int runFor(const KQuadVertex* corners);
    void join(int run, int quad);
    const KQuadVertex* inDrawingOrder();
    // The GL side (quad_batch_gl.cpp).
    void pointArrays();
    void createBuffers();
    void drawWithGl(const KQuadVertex* vertices);

    KQuadVertex pending_[kCapacity];   // in the order they came
    KQuadVertex ordered_[kCapacity];   // run after run, when runs interleave
    int nextQuad_[kCapacity / 4];      // the next quad of the same run; -1 none
    Run runs_[kCapacity / 4];
    int runCount_ = 0;
    int run_ = -1;                     // the newest run of the current state
    bool interleaved_ = false;         // a quad joined a run before the last
    bool reordering_ = true;
    KQuadPlanner planner_;
    KTexture* texture_ = nullptr;
    int blendMode_ = -1;
    int primitive_ = -1;
    float inverseWidth_ = 1, inverseHeight_ = 1;
    int count_ = 0;
    Drawer drawer_ = nullptr;
    void* drawerUser_ = nullptr;
    unsigned vertexBuffer_ = 0, indexBuffer_ = 0; // GL names; 0 = client arrays
};

} // namespace glint
