// Where decoded GIF pixels go: the image rectangle inside the canvas, row by
// row or in the four interlaced passes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace glint {

struct GifRectangle {
    uint32_t left = 0;
    uint32_t top = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    bool interlaced = false;
};

class GifRaster {
public:
    // canvas must hold the rectangle; palette has 256 entries.
    GifRaster(uint32_t* canvas, uint32_t canvasWidth, const GifRectangle& rectangle, const uint32_t* palette);

    // Stores the next pixel; false once the rectangle is full.
    bool put(uint8_t index);
    bool full() const { return row_ >= rectangle_.height; }

private:
    void nextRow();

    uint32_t* canvas_;
    uint32_t canvasWidth_;
    GifRectangle rectangle_;
    const uint32_t* palette_;
    uint32_t x_ = 0;
    uint32_t row_ = 0;
    int pass_ = 0;
};

} // namespace glint
