// The one vertex batch that every visible thing is drawn through: quads (or
// lines) that share a texture, a blend mode and a primitive kind are
// collected and drawn with one call.
#pragma once

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

// The GL blend factors of a blend mode.
struct BlendFactors {
    int source, destination;
};
BlendFactors blendFactorsFor(int blendMode);

class KQuadBatch {
public:
    static constexpr int kCapacity = 4096; // vertices: 1024 quads per draw

    // Creates the batch when there is none and points the GL client arrays
    // at it, with blending on and the colour opaque white.
    static KQuadBatch* setup();
    // The same GL set-up for an existing batch (each frame).
    static void reapply();
    static KQuadBatch* current();
    // Frees the batch (with the window).
    static void destroy();

    // Draws what is collected when the texture, blend mode or primitive
    // changes (lines are never kept across calls), then takes the new state.
    void setState(KTexture* texture, int blendMode, int primitive);
    // Texture points in texels (corners, so (0, 0)-(w, h) is the whole
    // image), positions in game units (y down), colour
    // packed R, G, B, A from the lowest byte. Ignored without a texture.
    void addQuad(const KQuadPoint texels[4], const KQuadPoint positions[4], uint32_t color);
    // The source rectangle (x1, y1)-(x2, y2) drawn at (x, y), scaled.
    void addRect(float x1, float y1, float x2, float y2, float x, float y, float scaleX, float scaleY,
                 uint32_t color);
    // Draws what is collected; reset also forgets the state.
    void flush(bool reset);

    // Where a flush sends its vertices; the GL drawer by default. Tests
    // install their own to watch the batching.
    using Drawer = void (*)(const KQuadBatch& batch, void* user);
    void setDrawer(Drawer drawer, void* user);

    KTexture* texture() const { return texture_; }
    int blendMode() const { return blendMode_; }
    int primitive() const { return primitive_; }
    int count() const { return count_; }
    const float* positions() const { return positions_; }
    const float* texCoords() const { return texCoords_; }
    const uint32_t* colors() const { return colors_; }

private:
    KQuadBatch();
    void pointArrays() const;
    static void drawWithGl(const KQuadBatch& batch, void* user);

    float positions_[kCapacity * 2];
    float texCoords_[kCapacity * 2];
    uint32_t colors_[kCapacity];
    KTexture* texture_ = nullptr;
    int blendMode_ = -1;
    int primitive_ = -1;
    float textureWidth_ = 1, inverseWidth_ = 1;
    float textureHeight_ = 1, inverseHeight_ = 1;
    int count_ = 0;
    Drawer drawer_ = drawWithGl;
    void* drawerUser_ = nullptr;
};

} // namespace glint
