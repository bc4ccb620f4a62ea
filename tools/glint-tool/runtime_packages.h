// The Debian packages a player needs on a fresh machine, found from the
// libraries the player binary links.
#pragma once

#include <string>
#include <vector>

namespace glint::tool {

// Package names, sorted and without repeats. A library that no installed
// package claims is listed by its own name, so that nothing is silently
// left out. False with a message when the program cannot be read.
bool runtimePackages(const std::string& program, std::vector<std::string>& packages, std::string& error);

} // namespace glint::tool
