// Decoded Theora pictures as 32-bit B, G, R, A pixels (0xAARRGGBB): the
// size a video is shown at, the colour conversion, and the two ways a
// video carries alpha.
#pragma once

#include <theora/theoradec.h>

#include <cstdint>

namespace glint {

// How a video's picture becomes frames.
struct KVideoFrameLayout {
    bool stackedAlpha = false; // the picture's lower half is the alpha of its upper half
    bool colorAlpha = false;   // alpha is the blue of the colour itself
    uint32_t width = 0;        // the picture's width rounded down to even
    uint32_t height = 0;       // its height (the upper half's with stacked alpha) rounded up to even
    uint32_t textureSize = 2;  // square power of two holding the frame

    bool hasAlpha() const { return stackedAlpha || colorAlpha; }
};

KVideoFrameLayout videoFrameLayout(const th_info& info, bool stackedAlpha, bool colorAlpha);

// Converts the picture area of planes into pixels (layout.width x
// layout.height, rows of layout.width) with BT.601, then applies the
// layout's alpha. Rows of the frame that the decoded frame does not have
// are left as they are.
void convertVideoPicture(const th_info& info, const th_ycbcr_buffer planes, const KVideoFrameLayout& layout,
                         uint32_t* pixels);

} // namespace glint
