// Pictures compared with committed expected images (PNG), pixel by pixel
// within a tolerance per channel. With GLINT_WRITE_EXPECTED=1 in the
// environment the picture is written to the expected path instead: look at
// it before committing it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace glint::test {

// Whether the three low bytes of two pixels differ by at most tolerance
// each.
bool channelsNear(uint32_t a, uint32_t b, int tolerance);

// pixels: width x height values 0xRRGGBB, top row first.
void expectPixelsMatch(int width, int height, const std::vector<uint32_t>& pixels, const std::string& path,
                       int tolerance = 2);
// A PNG file image, such as a shot of the headless player; with shrink > 1
// each shrink x shrink block is compared as its mean, so that the expected
// image of a full screen stays small.
void expectPngMatches(const std::string& png, const std::string& path, int tolerance = 2, int shrink = 1);

} // namespace glint::test
