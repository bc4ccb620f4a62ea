#include "engine/render/quad_planner.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace glint {

namespace {

// Far beyond any picture, near enough that a cell number fits an int.
constexpr float kLimit = 1e7f;

float bounded(float value, float otherwise) { return value >= -kLimit && value <= kLimit ? value : otherwise; }

} // namespace

KQuadPlanner::Span KQuadPlanner::spanOf(float low, float high) {
    // A bound that is not a number stretches the quad over every cell.
    int first = static_cast<int>(std::floor(bounded(low, -kLimit) / kCellSize));
    int last = static_cast<int>(std::floor(bounded(high, kLimit) / kCellSize));
    return {first, std::clamp(last - first + 1, 1, kGrid)};
}

int KQuadPlanner::place(int wanted, int fresh, float minX, float minY, float maxX, float maxY) {
    const Span columns = spanOf(minX, maxX), rows = spanOf(minY, maxY);
    bool free = wanted >= 0;
    for (int r = 0; r < rows.count && free; ++r) {
        const Cell* row = cells_ + ((rows.first + r) & (kGrid - 1)) * kGrid;
        for (int c = 0; c < columns.count && free; ++c) {
            const Cell& cell = row[(columns.first + c) & (kGrid - 1)];
            free = cell.stamp != stamp_ || cell.run <= wanted;
        }
    }
    const int run = free ? wanted : fresh;
    for (int r = 0; r < rows.count; ++r) {
        Cell* row = cells_ + ((rows.first + r) & (kGrid - 1)) * kGrid;
        for (int c = 0; c < columns.count; ++c) {
            Cell& cell = row[(columns.first + c) & (kGrid - 1)];
            if (cell.stamp != stamp_)
                cell = {stamp_, static_cast<uint16_t>(run)};
            else
                cell.run = std::max(cell.run, static_cast<uint16_t>(run));
        }
    }
    return run;
}

void KQuadPlanner::clear() {
    if (++stamp_ == 0) {
        // Once in 65,535 flushes: old stamps could come back.
        std::fill(std::begin(cells_), std::end(cells_), Cell{});
        stamp_ = 1;
    }
}

} // namespace glint
