// Theora clips made by ffmpeg for the tests, and ffmpeg's own decoding of
// them to compare our frames with.
#pragma once

#include "support/image_compare.h"

#include <ogg/ogg.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace glint {
class KTexture;
}

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

// The file's Ogg pages again, each passed to edit (with its index) before
// its check sum is made again; an edit that returns false leaves the page
// and all after it out.
std::string editPages(const std::string& file, const std::function<bool(int index, ogg_page& page)>& edit);
// The same for one page.
std::string editPage(const std::string& file, int nth, const std::function<void(ogg_page&)>& edit);

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
// A texture's pixels read back from GL, 0xAARRGGBB, textureWidth wide.
std::vector<uint32_t> texturePixels(const KTexture& texture);

inline bool coloursNear(uint32_t a, uint32_t b) { return channelsNear(a, b, 4); }
std::string hexColour(uint32_t pixel);

} // namespace glint::test
