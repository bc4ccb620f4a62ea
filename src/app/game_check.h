// glint check GAME_DIR: what the loading sequence reads of a game's text,
// without a window: the scene registry, every scene's description, and
// every scene's scripts compiled and linked. Authors run it before they ship.
#pragma once

#include <cstdio>

namespace glint {

// Prints every diagnostic line as it arrives, then "checked N scenes: E
// errors". Returns the number of errors. The data path must be set.
int checkGame(std::FILE* out);

// Whether a diagnostic line counts as an error: warnings, resource traces
// and the call-stack lines that follow a script error do not.
bool countsAsError(const char* line);

} // namespace glint
