#include "atlas_pack.h"

#include <algorithm>
#include <climits>
#include <numeric>

namespace glint::tool {

namespace {

struct Rect {
    int x, y, width, height;
    int right() const { return x + width; }
    int bottom() const { return y + height; }
    bool contains(const Rect& other) const {
        return other.x >= x && other.y >= y && other.right() <= right() && other.bottom() <= bottom();
    }
    bool overlaps(const Rect& other) const {
        return other.x < right() && x < other.right() && other.y < bottom() && y < other.bottom();
    }
};

// One page: the free space is kept as the list of maximal free rectangles,
// which may overlap one another.
class MaxRectsPage {
public:
    MaxRectsPage(int width, int height) : free_{{0, 0, width, height}} {}

    // Where a width x height rectangle fits best (the least leftover on its
    // shorter side, then on its longer side), or false when it fits nowhere.
    bool find(int width, int height, Rect* found) const {
        int bestShort = INT_MAX, bestLong = INT_MAX;
        for (const Rect& space : free_) {
            if (width > space.width || height > space.height)
                continue;
            int leftW = space.width - width, leftH = space.height - height;
            int shortSide = std::min(leftW, leftH), longSide = std::max(leftW, leftH);
            if (shortSide < bestShort || (shortSide == bestShort && longSide < bestLong)) {
                bestShort = shortSide;
                bestLong = longSide;
                *found = {space.x, space.y, width, height};
            }
        }
        return bestShort != INT_MAX;
    }

    void place(const Rect& used) {
        std::vector<Rect> next;
        for (const Rect& space : free_) {
            if (space.overlaps(used))
                split(space, used, next);
            else
                next.push_back(space);
        }
        free_ = prune(next);
    }

private:
    // The up to four maximal pieces of space that used leaves free.
    static void split(const Rect& space, const Rect& used, std::vector<Rect>& out) {
        if (used.x > space.x)
            out.push_back({space.x, space.y, used.x - space.x, space.height});
        if (used.right() < space.right())
            out.push_back({used.right(), space.y, space.right() - used.right(), space.height});
        if (used.y > space.y)
            out.push_back({space.x, space.y, space.width, used.y - space.y});
        if (used.bottom() < space.bottom())
            out.push_back({space.x, used.bottom(), space.width, space.bottom() - used.bottom()});
    }

    // Drops free rectangles that lie inside another (of two equal ones, the
    // later), so that the list stays short.
    static std::vector<Rect> prune(const std::vector<Rect>& spaces) {
        std::vector<Rect> kept;
        for (size_t i = 0; i < spaces.size(); ++i) {
            bool inside = false;
            for (size_t j = 0; j < spaces.size() && !inside; ++j) {
                if (i == j || !spaces[j].contains(spaces[i]))
                    continue;
                inside = !spaces[i].contains(spaces[j]) || j < i;
            }
            if (!inside)
                kept.push_back(spaces[i]);
        }
        return kept;
    }

    std::vector<Rect> free_;
};

constexpr int kSmallestPage = 16;

// Tallest first, then widest; ties keep the input order.
std::vector<size_t> packingOrder(const std::vector<PackSize>& sizes) {
    std::vector<size_t> order(sizes.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        if (sizes[a].height != sizes[b].height)
            return sizes[a].height > sizes[b].height;
        return sizes[a].width > sizes[b].width;
    });
    return order;
}

// Places what fits of the waiting rectangles on one page of the given size
// and returns the rest.
std::vector<size_t> fillPage(const std::vector<PackSize>& sizes, const std::vector<size_t>& waiting,
                             const PackSize& page, int padding, int number, std::vector<PackPlace>& places) {
    MaxRectsPage bin(page.width + padding, page.height + padding);
    std::vector<size_t> rest;
    for (size_t index : waiting) {
        Rect found{};
        if (!bin.find(sizes[index].width + padding, sizes[index].height + padding, &found)) {
            rest.push_back(index);
            continue;
        }
        bin.place(found);
        places[index] = {number, found.x, found.y};
    }
    return rest;
}

// Power-of-two page sizes up to maxPage, smallest area first and, of equal
// areas, the squarer first.
std::vector<PackSize> candidatePages(int maxPage) {
    std::vector<PackSize> candidates;
    for (int w = kSmallestPage; w <= maxPage; w *= 2)
        for (int h = kSmallestPage; h <= maxPage; h *= 2) candidates.push_back({w, h});
    std::stable_sort(candidates.begin(), candidates.end(), [](const PackSize& a, const PackSize& b) {
        long areaA = long{a.width} * a.height, areaB = long{b.width} * b.height;
        if (areaA != areaB)
            return areaA < areaB;
        return std::max(a.width, a.height) < std::max(b.width, b.height);
    });
    return candidates;
}

} // namespace

std::vector<PackPlace> packRectangles(const std::vector<PackSize>& sizes, int maxPage, int padding,
                                      std::vector<PackSize>* pages) {
    std::vector<PackPlace> places(sizes.size());
    const std::vector<PackSize> candidates = candidatePages(maxPage);
    std::vector<size_t> waiting = packingOrder(sizes);
    pages->clear();
    while (!waiting.empty()) {
        const int number = static_cast<int>(pages->size());
        long area = 0;
        for (size_t index : waiting) area += long{sizes[index].width} * sizes[index].height;
        bool allFit = false;
        for (const PackSize& page : candidates) {
            if (long{page.width} * page.height < area)
                continue;
            if (fillPage(sizes, waiting, page, padding, number, places).empty()) {
                pages->push_back(page);
                allFit = true;
                break;
            }
        }
        if (allFit)
            break;
        pages->push_back({maxPage, maxPage});
        waiting = fillPage(sizes, waiting, pages->back(), padding, number, places);
    }
    return places;
}

} // namespace glint::tool
