// Theora clips made by ffmpeg for the tests, and ffmpeg's own decoding of
// them to compare our frames with.
#pragma once

#include "support/image_compare.h"

#include <cstdint>
#include <string>
#include <vector>

namespace glint::test {

// Encodes the filter graph (whose output is the picture) as an Ogg Theora
// file; extra goes before the output (more inputs, maps, codecs).
void makeClip(const std::string& path, const std::string& graph, const std::string& extra = "");

// A graph of solid colours (ffmpeg colour names or 0xRRGGBB) shown one
// second each, at width x height and fps. A small square in the top left
// corner changes every frame: the encoder would otherwise leave out the
// repeated pictures and number the frames with gaps.
std::string colourSeconds(const std::vector<std::string>& colours, int width, int height, int fps);

// A graph whose every frame has a colour of its own (red and green grow
// with the frame number).
std::string colourPerFrame(int frames, int width, int height, int fps);

// Rewrites the picture size in the Theora identification header of an
// encoded clip (frame size unchanged, picture at the top left), for sizes
// the encoder will not make.
void setPictureSize(const std::string& path, uint32_t width, uint32_t height);

// Every frame ffmpeg decodes from the file, as 0xAARRGGBB pixels of
// width x height.
struct DecodedClip {
    int width = 0, height = 0;
    std::vector<std::vector<uint32_t>> frames;
    uint32_t at(size_t frame, int x, int y) const { return frames[frame][static_cast<size_t>(y) * width + x]; }
};
DecodedClip decodeWithFfmpeg(const std::string& path);

// Whether the red, green and blue of two pixels are the same but for the
// rounding of two colour conversions.
inline bool coloursNear(uint32_t a, uint32_t b) { return channelsNear(a, b, 4); }
std::string hexColour(uint32_t pixel);

} // namespace glint::test
