// The process's heap as the system sees it.
#pragma once

namespace glint {

// Hands the free pages inside the heap back to the system. The allocator
// gives back only free memory at the top of its heap, and a game that
// loads and drops whole scenes of images leaves its free memory scattered
// between blocks still in use: without this, the resident memory of a long
// session creeps up with every scene although the engine holds no more.
// Costs a walk over the heap's free blocks, so it is called where a scene
// has just gone, not every frame.
void releaseFreeMemory();

} // namespace glint
