// The image of an element's visual or of a particle system: a texture, or a
// movie whose frames replace it, shown whole or as a sprite sheet of
// columns x rows frames played from the owner's clock.
#pragma once

#include <cstdint>

namespace glint {

class MTexture;
class MVideo;

// A rectangle in the pixels of the image that is bound to draw it (the
// atlas page for a sub-texture).
struct FrameRect {
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

struct MImageAnim {
    MTexture* texture = nullptr;
    MVideo* movie = nullptr;
    uint8_t columns = 1;
    uint8_t rows = 1;
    uint8_t firstFrame = 0; // shown at time 0
    float fps = 0;
    // Ticks to wait on frame 0 before the sequence; a negative value waits
    // at the end instead.
    int32_t delay = 0;

    int frameCount() const { return columns * rows; }
    // The frame number the clock (ticks) shows, 0 for a single picture.
    int frameAt(float time) const;
    // That frame's cell of the texture's drawing rectangle; the whole
    // rectangle for a single picture, and all zero without a texture.
    FrameRect frameRect(float time) const;
};

} // namespace glint
