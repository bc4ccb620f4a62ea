// The SubRip subtitle format: numbered blocks of a times line and text
// lines, each closed by an empty line (or the end of the file).
//
//   1
//   00:00:01,500 --> 00:00:04,000
//   The lamp is lit.
//
// Numbers run 1, 2, 3, ...; a number line of 0 (or no number) is passed
// over, so stray lines before the first block do no harm. The times are
// read at fixed places: hours at 0-1, minutes 3-4, seconds 6-7 and
// milliseconds 9-11, then the end time at 17-18, 20-21, 23-24 and from 26.
#pragma once

#include <string>

namespace glint {

// What the reader finds, block by block.
class SubtitleSink {
public:
    virtual ~SubtitleSink() = default;
    // The times of title number (from 1), in seconds.
    virtual void title(int number, double start, double duration) = 0;
    // The text of a title (lines joined by line feeds), once its block
    // closes at line.
    virtual void text(int number, int line, const std::string& text) = 0;
    // The whole file was read: next is the number a further title would
    // have had; line counts the end of the file as one more line.
    virtual void end(int next, int line) = 0;
};

// Reads the zero-terminated text of the file name (name only appears in
// messages). A title number out of order, a negative start time or an end
// before the start stops reading with an "ERROR: ..." trace line; what was
// read before stays.
void readSubtitleText(char* text, const char* name, SubtitleSink& sink);

} // namespace glint
