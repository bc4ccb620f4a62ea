// The clip player's own log: each text on a line of its own on the
// standard output, and nowhere else.
#pragma once

#include <functional>
#include <string>

namespace glint {

void theoraLog(const std::string& text);

// Tests read the lines here instead; null restores the standard output.
using TheoraLogSink = std::function<void(const std::string& text)>;
void setTheoraLogSink(TheoraLogSink sink);

} // namespace glint
