// The clip player's own log: each text on a line of its own on the
// standard output, and nowhere else.
#pragma once

#include <string>

namespace glint {

void theoraLog(const std::string& text);

} // namespace glint
