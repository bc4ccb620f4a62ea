// Rectangle packing for atlas pages: max-rects with the best-short-side-fit
// rule, tallest rectangles first. Each page is the smallest power-of-two
// size that holds what is left, or a full page when nothing smaller does.
#pragma once

#include <vector>

namespace glint::tool {

struct PackSize {
    int width = 0;
    int height = 0;
};

struct PackPlace {
    int page = 0;
    int x = 0;
    int y = 0;
};

// Places every size (each at most maxPage in both directions) on pages of
// at most maxPage x maxPage pixels, with padding pixels kept free to the
// right of and below each one (a page's edge needs none). The result is in
// the order of sizes; pages gets each page's size. The same input always
// gives the same placement.
std::vector<PackPlace> packRectangles(const std::vector<PackSize>& sizes, int maxPage, int padding,
                                      std::vector<PackSize>* pages);

} // namespace glint::tool
