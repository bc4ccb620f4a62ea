// Where a new quad may go in the batch without changing the picture: a
// coarse grid over the game plane remembers, for each cell, the newest run
// that drew into it. A quad may join an earlier run when no cell it covers
// was drawn into by a later one. Cells are coarse and wrap around, so two
// quads may seem to overlap when they do not (a draw call more), never the
// other way round.
#pragma once

#include <cstdint>

namespace glint {

class KQuadPlanner {
public:
    // The run that a quad with these bounds (game units) joins: `wanted`
    // when it is a run (not -1) that no later run overlaps there, else
    // `fresh`, a run after every other. The quad's cells then know it.
    int place(int wanted, int fresh, float minX, float minY, float maxX, float maxY);
    // Forgets every run (after the batch is drawn).
    void clear();

private:
    static constexpr int kGrid = 128; // cells per side, a power of two
    static constexpr float kCellSize = 16;

    struct Span {
        int first, count; // cells, already wrapped by count
    };
    static Span spanOf(float low, float high);

    struct Cell {
        uint16_t stamp; // the cell is empty unless this is the planner's
        uint16_t run;   // a batch holds fewer runs
    };
    Cell cells_[kGrid * kGrid] = {};
    uint16_t stamp_ = 1;
};

} // namespace glint
