// Files that are replaced whole: the new content goes to a side file in the
// same folder, reaches the disk, and is renamed over the old file, so that a
// process killed at any moment leaves either the old file or the new one,
// complete.
#pragma once

#include <cstddef>
#include <string>

namespace glint {

// Writes size bytes as the new content of path. The side file is
// path + ".part"; it never outlives a successful call. False, with the old
// file untouched, when any step fails.
bool replaceFileDurably(const std::string& path, const void* data, size_t size);

// A player file found damaged leaves its place under path + ".damaged"
// (replacing an older copy) instead of being deleted, so that nothing the
// player made is lost without a trace; the move is logged. False when
// there was no file at path (or it could not be moved, and then it stays).
bool setAsideDamagedFile(const std::string& path);

// The steps of a replacement, reported to the observer below.
enum class DurableStep { Opened, Chunk, Flushed, Renamed };

// Called after each step (Chunk after every piece written, at most 4 KiB
// each); tests use it to stop a writer part-way. Null by default.
using DurableStepObserver = void (*)(DurableStep step);
void setDurableStepObserver(DurableStepObserver observer);

} // namespace glint
