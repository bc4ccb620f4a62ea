// glint check GAME_DIR: what the loading sequence reads of a game's text,
// without a window: the scene registry, every scene's description, and
// every scene's scripts compiled and linked; then the author's lint
// (missing files and keys, overflowing texts, unused files). Authors run it
// before they ship.
#pragma once

#include <cstdio>

namespace glint {

struct CheckResult {
    int errors = 0;
    int warnings = 0;
};

// Prints every diagnostic line as it arrives, then the lint's findings as
// "PATH:LINE: error|warning: TEXT", then "checked N scenes: E errors". The
// data path must be set.
CheckResult checkGame(std::FILE* out);

// Whether a diagnostic line counts as an error: warnings, resource traces
// and the call-stack lines that follow a script error do not.
bool countsAsError(const char* line);

} // namespace glint
