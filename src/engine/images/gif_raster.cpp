#include "engine/images/gif_raster.h"

namespace glint {

namespace {

// First row and row step of each interlaced pass.
constexpr uint32_t passStart[4] = {0, 4, 2, 1};
constexpr uint32_t passStep[4] = {8, 8, 4, 2};

} // namespace

GifRaster::GifRaster(uint32_t* canvas, uint32_t canvasWidth, const GifRectangle& rectangle, const uint32_t* palette)
    : canvas_(canvas), canvasWidth_(canvasWidth), rectangle_(rectangle), palette_(palette) {
    if (rectangle_.width == 0)
        row_ = rectangle_.height;
}

bool GifRaster::put(uint8_t index) {
    if (full())
        return false;
    size_t row = size_t{rectangle_.top} + row_;
    canvas_[row * canvasWidth_ + rectangle_.left + x_] = palette_[index];
    if (++x_ == rectangle_.width) {
        x_ = 0;
        nextRow();
    }
    return !full();
}

void GifRaster::nextRow() {
    if (!rectangle_.interlaced) {
        ++row_;
        return;
    }
    row_ += passStep[pass_];
    while (row_ >= rectangle_.height && pass_ < 3) {
        ++pass_;
        row_ = passStart[pass_];
    }
}

} // namespace glint
