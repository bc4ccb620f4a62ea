// Runs another program without a shell, so that no path needs quoting.
#pragma once

#include <string>
#include <vector>

namespace glint::tool {

// Runs arguments[0] (searched in PATH) and waits for it. With output, its
// standard output is collected there and its standard error discarded;
// without, both pass through. Returns
// the exit status, or -1 when it could not be started or did not exit.
int runProgram(const std::vector<std::string>& arguments, std::string* output = nullptr);

} // namespace glint::tool
