// The scripts' own small files: ftouch, fdelete, the log files of the
// per-user folder (fcreatelog, flog, fdeletelog), line lists (read_lines,
// write_lines) and single keys of key=value files (read_cfg, write_cfg).
// Each acts only below the game folder and the per-user folder; any other
// path is refused with a script error.
#pragma once

#include "script/array_object.h"
#include "script/file_paths.h"

namespace glint {

// Points the commands at their callbacks (after registerBuiltinCommands);
// relative paths count from folders->game, log names from folders->user.
// With null the commands do nothing until registered again.
void registerFileCommands(const ScriptFolders* folders);

// read_lines' reading of a loaded text: the array gets one string per line
// (CR, LF or CR LF end a line; empty lines count), at most limit of them.
// False when lines were left out.
bool appendTextLines(char* text, ArrayObject& array, int limit);

// The most lines read_lines takes from a file (as many as an array holds),
// and the largest file it reads.
constexpr int kMaxReadLines = ArrayObject::kMaxSlots;
constexpr int kMaxReadLinesBytes = 16 << 20;

} // namespace glint
